// Tags report (its bytes, the tree with roots and late parents included,
// are pinned in writer_bytes_test): preconditions, the two pictures written
// once, and the page in headless Chromium: no script errors, and hovering a
// tree link lights its table row (and the other way round).
#include <gtest/gtest.h>

#include "export/model_exports.h"
#include "export/tags_report.h"
#include "tests/export/export_test_support.h"
#include "tools/fixture/sample_tree.h"

namespace {

using namespace export_test;

using TagsReportTest = ExportTest;

TEST_F(TagsReportTest, NeedsTheModelsTags) {
  Load(fixture::MakePropModel("crate", Cod4));
  model_.parts_loaded = false;
  EXPECT_EQ(DumpTags(model_, Out()), err::kTagsNotLoaded);
  EXPECT_FALSE(fs::exists(Out()));
}

TEST_F(TagsReportTest, PicturesAreWrittenOnceAndAMissingOneIsRestored) {
  ExportWritten written;
  ASSERT_EQ(WriteStaticFiles(Out(), &written), err::kSuccess);
  EXPECT_EQ(written, (ExportWritten{OutFile("dotted.gif").string(), OutFile("joint.png").string()}));
  EXPECT_EQ(ReadText(OutFile("dotted.gif")).substr(0, 10), std::string("GIF89a\x01\x00\x06\x00", 10));
  EXPECT_EQ(ReadText(OutFile("joint.png")).substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(WriteStaticFiles(Out()), kStaticFilesPresent);

  // A run that wrote the first picture and failed on the second.
  fs::remove(OutFile("joint.png"));
  fs::resize_file(OutFile("dotted.gif"), 3);  // a user's own picture: kept
  written.clear();
  ASSERT_EQ(WriteStaticFiles(Out(), &written), err::kSuccess);
  EXPECT_EQ(written, ExportWritten{OutFile("joint.png").string()});
  EXPECT_EQ(fs::file_size(OutFile("dotted.gif")), 3u);
}

// ------------------------------------------------------------ Chromium

TEST_F(TagsReportTest, ChromiumRunsTheReportAndHoverLightsTheRow) {
  const fs::path browser_dir = fs::path(VANTOR_SOURCE_DIR) / "tests" / "export" / "browser";
  if (!fs::exists("/usr/bin/chromium")) GTEST_SKIP() << "chromium (Debian) is not installed";
  if (!HaveProgram("node")) GTEST_SKIP() << "node is not installed";
  if (!fs::exists(browser_dir / "node_modules" / "playwright-core"))
    GTEST_SKIP() << "playwright-core missing: run scripts/install-deps (npm install in " << browser_dir << ")";
  Load(fixture::MakeSoldierModel("soldier", Cod4));
  ASSERT_EQ(DumpTags(model_, Out()), err::kSuccess);
  ASSERT_EQ(WriteStaticFiles(Out()), err::kSuccess);
  int status = -1;
  const std::string json = RunCommand("cd '" + browser_dir.string() + "' && timeout 120 node tags_report_check.js '" +
                                   OutFile("soldier_tags.html").string() + "' 5 2>&1",
                               &status);
  ASSERT_EQ(status, 0) << json;
  // The row lights while its tree link is hovered and goes back, the link
  // reddens while its row is, and both pictures are read at their sizes.
  EXPECT_EQ(json,
            R"j({"errors":[],"row_before":"rgba(0, 0, 0, 0)","row_hovered":"rgb(216, 229, 242)",)j"
            R"j("row_after":"rgba(0, 0, 0, 0)","link_before":"rgb(0, 0, 0)","link_hovered":"rgb(255, 0, 0)",)j"
            R"j("row_hovered_itself":"rgb(216, 229, 242)","link_after":"rgb(0, 0, 0)",)j"
            R"j("pictures":{"dotted":[1,6],"joint":[16,16]}})j"
            "\n");
}

}  // namespace
