// Reads every compiled animation in a folder, as the viewer's list would
// load them: `vantor_xanim_decode DIR` prints the files, bytes and keys
// read and the time of the reads (the files' own read included).
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "model/xanim.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vantor_xanim_decode DIR\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  size_t files = 0, bytes = 0, keys = 0, failed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    Xanim a;
    if (LoadXanim(entry.path(), a) != err::kSuccess) {
      ++failed;
      continue;
    }
    ++files;
    bytes += entry.file_size();
    for (const XanimBone& b : a.bones) keys += b.rotation.values.size() / 4 + b.translation.values.size() / 3;
  }
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("%zu files, %zu bytes, %zu keys, %zu failed, %.1f ms\n", files, bytes, keys, failed, ms);
  return failed ? 1 : 0;
}
