// Folder listing over opendir/readdir.
#include "platform/folder_list.h"

#include <dirent.h>    // Required for: opendir(), readdir()
#include <fcntl.h>     // Required for: AT_* flags
#include <sys/stat.h>  // Required for: fstatat()

#include <cerrno>
#include <string>

namespace platform {

int ListFolder(std::string_view folder, const std::function<void(std::string_view name, bool is_folder)>& visit) {
  std::string path(folder.empty() ? "." : folder);
  DIR* d = ::opendir(path.c_str());
  if (!d) return errno;
  int rc = 0;
  for (;;) {
    errno = 0;
    dirent* e = ::readdir(d);
    if (!e) {
      rc = errno;
      break;
    }
    std::string_view name = e->d_name;
    if (name == "." || name == "..") continue;
    bool is_folder = e->d_type == DT_DIR;
    // Links and file systems that give no type: ask for the target's.
    if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      struct stat st;
      is_folder = ::fstatat(::dirfd(d), e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    }
    visit(name, is_folder);
  }
  ::closedir(d);
  return rc;
}

}  // namespace platform
