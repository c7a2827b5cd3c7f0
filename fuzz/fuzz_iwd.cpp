// Fuzzes the archive side of the images: the input is one ".iwd" in a
// scratch game root's "main" folder, read the three ways the program reads
// archives: the index (the end record found, the central directory read in
// one piece and parsed, the entries' checks), every indexed image read back
// through the index (one record read alone, its local header), and the
// mover's pass into "raw/images". The record parser also walks the input
// itself as a directory, without an end record to find first. Input: the
// archive.
#include <unistd.h>  // Required for: getpid()

#include <cstddef>
#include <cstdint>
#include <cstdlib>  // Required for: atexit()
#include <filesystem>
#include <string>
#include <vector>

#include "base/notice_board.h"
#include "imaging/iwd_image_read.h"
#include "imaging/iwd_index.h"
#include "imaging/zip_directory.h"
#include "jobs/iwd_utils.h"
#include "tools/fixture/fixture_writer.h"

namespace {

namespace fs = std::filesystem;

// One root a process, in memory when /dev/shm is there: every input is
// written to disk, since the readers read files. Never destroyed: the exit
// handler that removes the folder runs after static destructors.
const std::string& Root() {
  static const std::string& root = *new std::string([] {
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path r = base / ("vantor_fuzz_iwd_" + std::to_string(::getpid()));
    fs::create_directories(r / "main");
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(Root(), ec);
    });
    return r.string();
  }());
  return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZipRecord record;
  for (size_t at = 0; ParseZipRecord(data, size, size, at, record); at += record.length) {
  }

  const std::string& root = Root();
  std::error_code ec;
  fs::remove_all(root + "/raw", ec);
  fs::create_directories(root + "/raw/images", ec);
  if (!fixture::WriteFile(root + "/main/iw_00.iwd", std::vector<uint8_t>(data, data + size))) return 0;

  if (auto index = IwdImageIndex::Build(root + "/main")) {
    std::vector<uint8_t> bytes;
    for (const IwdIndexedEntry* e : index->FirstEntries()) (void)ReadArchivedImage(*index, e->image, bytes);
  }
  NoticeBoard board;
  QorIWDUtils mover(board);
  mover.SetRoot(root);
  if (mover.IWDToImages()) mover.WaitForPass();
  return 0;
}
