// The job progress moves within a surface read, never past 99 (the GUI
// thread may read any value it takes), and the worker puts every move on
// its board, not only the values at step boundaries.
#include <gtest/gtest.h>

#include <vector>

#include "base/notice_board.h"
#include "jobs/xmodel_threaded.h"
#include "tests/model/model_test_support.h"

namespace {

TEST(Progress, MovesWithinTheSurfaceReadNeverPasses99AndReachesTheBoard) {
  // Three COD 4 surfaces step 33 from 1: a fourth step would land on 100.
  model_test::TempDir dir;
  const fixture::ModelFiles big = fixture::MakeBigModel(3, 40, 2, Cod4);

  Xmodel m;
  std::vector<int32_t> seen;
  m.progress.SetSink([](void* out, int32_t v) { static_cast<std::vector<int32_t>*>(out)->push_back(v); }, &seen);
  ASSERT_EQ(model_test::WriteAndLoadSurfaces(dir.path(), big, m, Cod4), err::kSuccess);
  ASSERT_GE(seen.size(), 3u) << "one move a surface at least";
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_GT(seen[i], seen[i - 1]);
  EXPECT_EQ(seen.back(), 99);
  EXPECT_FALSE(m.busy.load());
  m.progress.SetSink(nullptr, nullptr);

  NoticeBoard board;
  XmodelThreaded worker;
  worker.SetBoard(&board);
  worker.SetModelGame(Cod4);
  worker.Start(dir.path());
  const uint64_t before = board.version();
  worker.AddJob(dir.path() + "/raw/xmodel/" + big.name, job::kLoad | job::kSurfaces);
  worker.WaitIdle();
  worker.Stop();
  EXPECT_GE(board.version() - before, 3u);
  EXPECT_EQ(board.Progress(kWorkerProgressName), 1.0f);
}

}  // namespace
