// Image file I/O through stdio (writes) and the platform's whole-file read.
#include "imaging/image_file.h"

#include <cerrno>  // Required for: errno, EACCES, EFBIG
#include <cstdio>  // Required for: fopen, fwrite, fclose


ImageResult ReadImageFile(const std::string& path, std::vector<uint8_t>& out, uint64_t max_bytes) {
  int e = platform::ReadFileBytes(path, out, max_bytes);
  if (e == EACCES) return img::kPermission;
  if (e == EFBIG) return img::kSizeError;
  if (e != 0) return img::kCantOpen;
  return img::kSuccess;
}

ImageResult MapImageFile(const std::string& path, platform::MappedFile& out, uint64_t max_bytes) {
  int e = out.Open(path, max_bytes);
  if (e == EACCES) return img::kPermission;
  if (e == EFBIG) return img::kSizeError;
  if (e != 0) return img::kCantOpen;
  return img::kSuccess;
}

ImageResult WriteImageFile(const std::string& path, std::span<const uint8_t> bytes) {
  if (path.empty()) return img::kCantOpen;
  errno = 0;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return errno == EACCES ? img::kPermission : img::kCantOpen;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  return ok ? img::kSuccess : img::kCantOpen;
}
