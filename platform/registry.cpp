// The file-backed hive: reading it, the registry calls on the tree, and the
// atomic, merging write.
#include "platform/registry.h"

#include <dirent.h>    // Required for: fdopendir(), readdir()
#include <fcntl.h>     // Required for: open(), O_DIRECTORY, unlinkat()
#include <signal.h>    // Required for: kill()
#include <sys/file.h>  // Required for: flock()
#include <sys/stat.h>  // Required for: fstat(), fchmod(), lstat(), fstatat()
#include <unistd.h>    // Required for: read(), write(), fsync(), close(), rename(), unlink()

#include <cerrno>
#include <climits>  // Required for: PATH_MAX
#include <cstdlib>  // Required for: getenv(), realpath(), mkostemp(), strtol()
#include <cstring>  // Required for: strerror()
#include <ctime>    // Required for: time()

#include "platform/fd_write.h"
#include "platform/file_bytes.h"
#include "platform/fs_paths.h"
#include "platform/program_paths.h"
#include "platform/registry_tree.h"

namespace platform {

namespace {

constexpr uint64_t kMaxFileBytes = 16u << 20;  // far above any real hive
// A temp file left by a save is taken for abandoned past this age even when
// its writer's process id is in use again.
constexpr time_t kStaleTempSeconds = 60;

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A registry file that is a symbolic link (a dotfile manager's) is replaced
// where it really lives, so the link survives the rename.
std::string WriteTarget(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) return resolved;
  }
  return path;
}

enum class ReadResult {
  kMissing,
  kRead,
  kUnreadable,  // a regular file that could not be read
  kNotRegular,  // a FIFO, device or folder in the file's place: never opened
};

ReadResult ReadWholeFile(const std::string& path, std::string& out, std::string& problem) {
  out.clear();
  struct stat st;
  int error = 0;
  int fd = OpenRegularFile(path.c_str(), st, error);
  if (fd < 0) {
    if (error == ENOENT) return ReadResult::kMissing;
    if (error == EISDIR || error == EINVAL) {
      problem = "not a regular file";
      return ReadResult::kNotRegular;
    }
    problem = "cannot open the file: " + std::string(std::strerror(error));
    return ReadResult::kUnreadable;
  }
  if (uint64_t(st.st_size) > kMaxFileBytes) {
    ::close(fd);
    problem = "the file is too large to be a settings file";
    return ReadResult::kUnreadable;
  }
  out.resize(size_t(st.st_size));
  size_t got = 0;
  while (got < out.size()) {
    ssize_t n = ::read(fd, out.data() + got, out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      problem = "cannot read the file: " + std::string(std::strerror(errno));
      ::close(fd);
      return ReadResult::kUnreadable;
    }
    if (n == 0) break;  // it shrank under us: parse what is there
    got += size_t(n);
  }
  out.resize(got);
  ::close(fd);
  return ReadResult::kRead;
}

// Keeps the damaged bytes beside the file before anything overwrites them.
std::string BackUpDamaged(const std::string& path, const std::string& bytes) {
  std::string backup = DamagedCopyPath(path);
  int fd = ::open(backup.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return "";
  bool ok = WriteAll(fd, bytes.data(), bytes.size()) == 0 && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  return ok ? backup : "";
}

// Reads and parses `path` into `root`.
ReadResult ReadHive(const std::string& path, RegNode& root, RegLoadReport& report) {
  report = RegLoadReport{};
  std::string text;
  std::string problem;
  ReadResult result = ReadWholeFile(path, text, problem);
  if (result == ReadResult::kMissing) return result;
  report.file_found = true;
  if (result != ReadResult::kRead) {
    report.damaged = true;
    report.unread = true;
    report.special_file = result == ReadResult::kNotRegular;
    report.first_problem = problem;
    return result;
  }
  ParseHive(text, root, report);
  if (report.damaged) report.backup_path = BackUpDamaged(path, text);
  return result;
}

// Temp file in the target's folder, fsync, rename over the target, fsync the
// folder: a crash leaves either the old file or the new one, never a mix.
RegStatus WriteAtomically(int dir_fd, const std::string& target, const std::string& text) {
  // The writer's process id in the name tells a later save whether the file
  // was abandoned (RemoveStaleTemps).
  std::string temp = target + ".tmp-" + std::to_string(::getpid()) + "-XXXXXX";
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return RegStatus::kIoError;
  struct stat old;
  if (::stat(target.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
  bool ok = WriteAll(fd, text.data(), text.size()) == 0 && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    return RegStatus::kIoError;
  }
  // The rename is done; a folder that cannot be synced (some file systems
  // refuse) still holds the new file.
  ::fsync(dir_fd);
  return RegStatus::kOk;
}

// The process id in "<name>.tmp-<pid>-XXXXXX", or 0 for a name without one
// (older builds wrote "<name>.tmp-XXXXXX").
pid_t TempWriter(std::string_view suffix) {
  size_t digits = 0;
  while (digits < suffix.size() && suffix[digits] >= '0' && suffix[digits] <= '9') ++digits;
  if (digits == 0 || digits > 9 || digits >= suffix.size() || suffix[digits] != '-') return 0;
  return pid_t(std::strtol(std::string(suffix.substr(0, digits)).c_str(), nullptr, 10));
}

// A save killed between writing its temp file and the rename leaves the temp
// file behind. Run under the folder's lock, so no save of ours is writing
// one; the lock is only advisory though, so a file goes only when its writer
// is gone or it is older than a minute.
void RemoveStaleTemps(int dir_fd, const std::string& target) {
  size_t slash = target.find_last_of('/');
  const std::string prefix = target.substr(slash == std::string::npos ? 0 : slash + 1) + ".tmp-";
  int list_fd = ::dup(dir_fd);
  if (list_fd < 0) return;
  DIR* dir = ::fdopendir(list_fd);
  if (!dir) {
    ::close(list_fd);
    return;
  }
  std::vector<std::string> stale;
  const time_t now = ::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) continue;
    struct stat st;
    if (::fstatat(dir_fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
      continue;
    pid_t writer = TempWriter(name.substr(prefix.size()));
    bool writer_gone = writer > 0 && ::kill(writer, 0) != 0 && errno == ESRCH;
    if (writer_gone || now - st.st_mtime > kStaleTempSeconds) stale.emplace_back(name);
  }
  ::closedir(dir);
  for (const std::string& name : stale) ::unlinkat(dir_fd, name.c_str(), 0);
}

std::string HomeDir() {
  std::string home = HomeFolder();
  return home.empty() ? "." : home;
}

}  // namespace

const char* RegStatusText(RegStatus status) {
  switch (status) {
    case RegStatus::kOk: return "ok";
    case RegStatus::kNotFound: return "not found";
    case RegStatus::kHasSubkeys: return "the key has subkeys";
    case RegStatus::kInvalidArgument: return "invalid key or value name";
    case RegStatus::kNoMoreItems: return "no more items";
    case RegStatus::kIoError: return "the settings file could not be written";
  }
  return "unknown";
}

std::string ConfigDir() {
  if (const char* dir = std::getenv("VANTOR_CONFIG_DIR"); dir && *dir) return dir;
  // Relative XDG paths are to be ignored, as the base-directory rules say.
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
    return std::string(xdg) + "/vantor";
  return HomeDir() + "/.config/vantor";
}

std::string DefaultRegistryPath() { return ConfigDir() + "/registry.reg"; }

std::string DamagedCopyPath(const std::string& file_path) { return file_path + ".damaged"; }

RegistryStore::RegistryStore() : root_(std::make_unique<RegNode>()) {}
RegistryStore::~RegistryStore() = default;

const RegLoadReport& RegistryStore::Open(std::string file_path) {
  std::lock_guard<std::mutex> hold(mutex_);
  file_path_ = std::move(file_path);
  pending_.clear();
  root_ = std::make_unique<RegNode>();
  ReadHive(file_path_, *root_, report_);
  // Tidy what killed saves left, when no save holds the folder right now;
  // a busy folder is tidied by the next save.
  std::string target = WriteTarget(file_path_);
  int dir_fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    if (::flock(dir_fd, LOCK_EX | LOCK_NB) == 0) {
      RemoveStaleTemps(dir_fd, target);
      ::flock(dir_fd, LOCK_UN);
    }
    ::close(dir_fd);
  }
  return report_;
}

std::string RegistryStore::file_path() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return file_path_;
}

RegLoadReport RegistryStore::load_report() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return report_;
}

RegStatus RegistryStore::OpenKey(std::string_view key) const {
  std::lock_guard<std::mutex> hold(mutex_);
  return FindNode(*root_, key) ? RegStatus::kOk : RegStatus::kNotFound;
}

RegStatus RegistryStore::CreateKey(std::string_view key) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (FindNode(*root_, key)) return RegStatus::kOk;
  RegChange change;
  change.kind = RegChange::kCreateKey;
  change.key = std::string(key);
  RegStatus status = ApplyChange(*root_, change);
  if (status == RegStatus::kOk) pending_.push_back(std::move(change));
  return status;
}

RegStatus RegistryStore::DeleteKey(std::string_view key) {
  std::lock_guard<std::mutex> hold(mutex_);
  RegChange change;
  change.kind = RegChange::kDeleteKey;
  change.key = std::string(key);
  RegStatus status = ApplyChange(*root_, change);
  if (status == RegStatus::kOk) pending_.push_back(std::move(change));
  return status;
}

RegStatus RegistryStore::EnumSubKey(std::string_view key, size_t index, std::string& name) const {
  std::lock_guard<std::mutex> hold(mutex_);
  name.clear();
  const RegNode* node = FindNode(*root_, key);
  if (!node) return RegStatus::kNotFound;
  if (index >= node->subkeys.size()) return RegStatus::kNoMoreItems;
  auto it = node->subkeys.begin();
  std::advance(it, index);
  name = it->second->name;
  return RegStatus::kOk;
}

RegStatus RegistryStore::QueryValue(std::string_view key, std::string_view name,
                                    RegValue& out) const {
  std::lock_guard<std::mutex> hold(mutex_);
  out = RegValue{};
  RegNode* node = FindNode(*root_, key);
  if (!node) return RegStatus::kNotFound;
  const RegValue* value = FindValue(*node, name);
  if (!value) return RegStatus::kNotFound;
  out = *value;
  return RegStatus::kOk;
}

RegStatus RegistryStore::SetValue(std::string_view key, std::string_view name, RegType type,
                                  const void* data, size_t size) {
  return AddValue(false, key, name, type, data, size);
}

RegStatus RegistryStore::SetDefaultValue(std::string_view key, std::string_view name, RegType type,
                                         const void* data, size_t size) {
  return AddValue(true, key, name, type, data, size);
}

RegStatus RegistryStore::AddValue(bool only_if_absent, std::string_view key, std::string_view name,
                                  RegType type, const void* data, size_t size) {
  std::lock_guard<std::mutex> hold(mutex_);
  RegChange change;
  change.kind = only_if_absent ? RegChange::kSetDefault : RegChange::kSetValue;
  change.key = std::string(key);
  change.name = std::string(name);
  change.value.type = type;
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  change.value.data.assign(bytes, bytes + size);
  RegStatus status = ApplyChange(*root_, change);
  if (status == RegStatus::kOk) pending_.push_back(std::move(change));
  return status;
}

RegStatus RegistryStore::DeleteValue(std::string_view key, std::string_view name) {
  std::lock_guard<std::mutex> hold(mutex_);
  RegChange change;
  change.kind = RegChange::kDeleteValue;
  change.key = std::string(key);
  change.name = std::string(name);
  RegStatus status = ApplyChange(*root_, change);
  if (status == RegStatus::kOk) pending_.push_back(std::move(change));
  return status;
}

bool RegistryStore::HasPendingChanges() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return !pending_.empty();
}

std::string RegistryStore::ExportText() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return SerializeHive(*root_);
}

RegStatus RegistryStore::Flush() {
  std::lock_guard<std::mutex> hold(mutex_);
  if (pending_.empty()) return RegStatus::kOk;
  if (file_path_.empty()) return RegStatus::kIoError;

  std::string target = WriteTarget(file_path_);
  std::string folder = FolderOf(target);
  if (!CreateDirectories(folder)) return RegStatus::kIoError;
  int dir_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd < 0) return RegStatus::kIoError;
  // Another program of ours (the command line beside the window) may have
  // written the file since we read it: under the folder's lock, read it again
  // and replay our changes onto it, as the registry would have merged them.
  ::flock(dir_fd, LOCK_EX);
  RemoveStaleTemps(dir_fd, target);

  auto merged = std::make_unique<RegNode>();
  RegLoadReport reread;
  std::string text;
  RegStatus status = RegStatus::kOk;
  switch (ReadHive(target, *merged, reread)) {
    case ReadResult::kMissing:
    case ReadResult::kRead:
      for (const RegChange& change : pending_) ApplyChange(*merged, change);
      text = SerializeHive(*merged);
      break;
    case ReadResult::kUnreadable:
      // It may well hold the user's settings (a store grown past the size we
      // read): keep it aside rather than write over it, then write our view.
      if (::rename(target.c_str(), DamagedCopyPath(target).c_str()) != 0) {
        status = RegStatus::kIoError;
        break;
      }
      report_.backup_path = DamagedCopyPath(target);
      report_.unread = false;  // what is there from now on is ours
      text = SerializeHive(*root_);
      merged.reset();
      break;
    case ReadResult::kNotRegular:
      // Someone put it there on purpose; it is not ours to replace.
      status = RegStatus::kIoError;
      break;
  }
  if (status == RegStatus::kOk) status = WriteAtomically(dir_fd, target, text);
  ::flock(dir_fd, LOCK_UN);
  ::close(dir_fd);
  if (status != RegStatus::kOk) return status;
  if (merged) root_ = std::move(merged);
  pending_.clear();
  return RegStatus::kOk;
}

RegistryStore& UserRegistry() {
  // Never destroyed: threads may still save while the process exits.
  static RegistryStore* store = [] {
    auto* s = new RegistryStore;
    s->Open(DefaultRegistryPath());
    return s;
  }();
  return *store;
}

}  // namespace platform
