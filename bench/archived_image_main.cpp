// One texture read from the game's archives beside the same texture read
// as a loose file. Writes ENTRIES small images over ARCHIVES archives
// (DIR/game/main/iw_NN.iwd) with a 512 x 512 DXT1 image with mip levels
// ("bench_target.iwi", deflated) in the last one, and that image loose in
// DIR/loose/raw/images; then, RUNS times, with a new index cache each run:
//   first   the index built (every archive's central directory walked),
//           then the image read and parsed (IwiImage::LoadIWIBytes)
//   later   the same read through the index kept (its archives checked
//           for changes, the entry read and parsed)
//   loose   IwiImage::SetImagePath + LoadIWI of the loose copy
// Prints the median, fastest and slowest of each in milliseconds. The
// files are in the page cache: the figures are CPU and system calls.
//
//   vantor_archived_image_bench DIR [RUNS] [ENTRIES] [ARCHIVES]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "imaging/iwd_image_read.h"
#include "imaging/iwd_index.h"
#include "imaging/iwi_image.h"
#include "platform/clock.h"
#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/iwd_writer.h"
#include "tools/fixture/iwi_writer.h"

namespace {

struct Figures {
  std::vector<double> ms;
  void Print(const char* what) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-6s median %8.3f ms   fastest %8.3f   slowest %8.3f   (%zu runs)\n", what, ms[ms.size() / 2],
                ms.front(), ms.back(), ms.size());
  }
};

bool ReadArchived(IwdIndexCache& cache, const std::string& root) {
  std::shared_ptr<const IwdImageIndex> index = cache.Get(root);
  if (!index) return false;
  std::vector<uint8_t> bytes;
  if (ReadArchivedImage(*index, "bench_target.iwi", bytes) != img::kSuccess) return false;
  IwiImage image;
  return image.LoadIWIBytes({bytes.data(), bytes.size()}) == img::kSuccess;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vantor_archived_image_bench DIR [RUNS] [ENTRIES] [ARCHIVES]\n");
    return 2;
  }
  const std::string dir = argv[1];
  const int runs = argc > 2 ? std::atoi(argv[2]) : 11;
  const int entries = argc > 3 ? std::atoi(argv[3]) : 10000;
  const int archives = argc > 4 ? std::atoi(argv[4]) : 8;
  if (runs < 1 || entries < 1 || archives < 1 || archives > 100) {
    std::fprintf(stderr, "RUNS and ENTRIES must be at least 1, ARCHIVES 1 to 100\n");
    return 2;
  }

  fixture::IwiDesc desc;
  desc.format = 11;
  desc.mips = true;
  desc.picture = fixture::MakeTestPicture(512, 512);
  const std::vector<uint8_t> target = fixture::WriteIwi(desc);
  const std::string root = dir + "/game";
  for (int a = 0; a < archives; ++a) {
    int count = entries / archives + (a < entries % archives ? 1 : 0);
    fixture::IwdDesc archive = fixture::MakeImageArchive("bench" + std::to_string(a), count, uint32_t(a + 1));
    if (a == archives - 1) archive.entries.push_back({"images/bench_target.iwi", target});
    char name[16];
    std::snprintf(name, sizeof name, "iw_%02d.iwd", a);
    if (!fixture::WriteIwdFile(root + "/main/" + name, archive)) {
      std::fprintf(stderr, "could not write %s/main/%s\n", root.c_str(), name);
      return 1;
    }
  }
  const std::string loose = dir + "/loose/raw/images/bench_target.iwi";
  if (!fixture::WriteFile(loose, target)) {
    std::fprintf(stderr, "could not write %s\n", loose.c_str());
    return 1;
  }

  Figures first, later, loose_read;
  for (int run = 0; run < runs; ++run) {
    IwdIndexCache cache;
    double t0 = platform::NowMsPrecise();
    bool ok = ReadArchived(cache, root);
    double t1 = platform::NowMsPrecise();
    ok = ReadArchived(cache, root) && ok;
    double t2 = platform::NowMsPrecise();
    IwiImage image;
    ok = image.SetImagePath(loose) && image.LoadIWI() == img::kSuccess && ok;
    double t3 = platform::NowMsPrecise();
    if (!ok || cache.builds() != 1) {
      std::fprintf(stderr, "run %d: a read failed\n", run);
      return 1;
    }
    first.ms.push_back(t1 - t0);
    later.ms.push_back(t2 - t1);
    loose_read.ms.push_back(t3 - t2);
  }
  std::printf("%d images in %d archives, the image read: %zu bytes\n", entries + 1, archives, target.size());
  first.Print("first");
  later.Print("later");
  loose_read.Print("loose");
  return 0;
}
