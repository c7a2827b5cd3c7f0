// Folder listing over opendir/readdir.
#include "platform/folder_list.h"

#include <dirent.h>    // Required for: opendir(), readdir()
#include <fcntl.h>     // Required for: AT_* flags
#include <sys/stat.h>  // Required for: fstatat()

#include <cerrno>
#include <string>

namespace platform {

namespace {

// One pass over a folder's entries, "." and ".." included, until `visit`
// returns false (ECANCELED). 0, or the errno of opening or reading it.
int Walk(std::string_view folder, const std::function<bool(DIR* d, dirent* e)>& visit) {
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
    if (!visit(d, e)) {
      rc = ECANCELED;
      break;
    }
  }
  ::closedir(d);
  return rc;
}

}  // namespace

int ListFolderTypes(std::string_view folder,
                    const std::function<void(std::string_view name, FolderEntry type)>& visit) {
  return Walk(folder, [&visit](DIR* d, dirent* e) {
    std::string_view name = e->d_name;
    if (name == "." || name == "..") return true;
    FolderEntry type = e->d_type == DT_DIR ? FolderEntry::kFolder : FolderEntry::kFile;
    // Links and file systems that give no type: ask for the target's.
    if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      struct stat st;
      if (::fstatat(::dirfd(d), e->d_name, &st, 0) == 0) {
        type = S_ISDIR(st.st_mode) ? FolderEntry::kFolder : FolderEntry::kFile;
      } else if (errno == ENOENT &&
                 ::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
        type = FolderEntry::kDanglingLink;
      }
    }
    visit(name, type);
    return true;
  });
}

int ListFolderEntries(std::string_view folder,
                      const std::function<bool(std::string_view name, bool is_folder)>& visit) {
  return Walk(folder, [&visit](DIR* d, dirent* e) {
    bool is_folder = e->d_type == DT_DIR;
    if (e->d_type == DT_UNKNOWN) {
      struct stat st;
      is_folder = ::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
    }
    return visit(e->d_name, is_folder);
  });
}

int ListFolder(std::string_view folder, const std::function<void(std::string_view name, bool is_folder)>& visit) {
  return ListFolderTypes(folder, [&visit](std::string_view name, FolderEntry type) {
    visit(name, type == FolderEntry::kFolder);
  });
}

}  // namespace platform
