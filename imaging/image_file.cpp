// Image file I/O: the platform's whole-file read, and writes that replace
// their target only once complete.
#include "imaging/image_file.h"

#include <cerrno>  // Required for: EACCES, EFBIG

#include "platform/replace_file.h"


ImageResult ReadImageFile(const std::string& path, std::vector<uint8_t>& out, uint64_t max_bytes) {
  int e = platform::ReadFileBytes(path, out, max_bytes);
  if (e == EACCES) return img::kPermission;
  if (e == EFBIG) return img::kSizeError;
  if (e != 0) return img::kCantOpen;
  return img::kSuccess;
}

ImageResult LoadImageFile(const std::string& path, platform::LoadedFile& out, uint64_t max_bytes) {
  int e = out.Open(path, max_bytes);
  if (e == EACCES) return img::kPermission;
  if (e == EFBIG) return img::kSizeError;
  if (e != 0) return img::kCantOpen;
  return img::kSuccess;
}

ImageResult WriteImageResult(int err) {
  if (err == 0) return img::kSuccess;
  return err == EACCES || err == EPERM || err == EROFS ? img::kPermission : img::kCantOpen;
}

ImageResult WriteImageFile(const std::string& path, std::span<const uint8_t> bytes) {
  if (path.empty()) return img::kCantOpen;
  platform::ReplaceFile file;
  if (int err = file.Open(path); err != 0) return WriteImageResult(err);
  (void)file.Write(bytes.data(), bytes.size());  // a failed write shows in Commit
  return WriteImageResult(file.Commit());
}
