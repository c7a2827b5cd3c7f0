// The current user's registry hive, kept as one text file in the Windows
// ".reg" export format: keys with subkeys and typed values (REG_SZ,
// REG_DWORD, REG_BINARY), key and value names compared case-insensitively.
// Changes live in memory until Flush, which merges them into the file on disk
// (so two programs sharing the file keep each other's changes) and replaces
// it atomically. Paths are relative to HKEY_CURRENT_USER, separated by "\".
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The registry's own type numbers.
enum class RegType : uint32_t {
  kSz = 1,      // REG_SZ: the bytes of a string and its terminating NUL
  kBinary = 3,  // REG_BINARY
  kDword = 4,   // REG_DWORD: 4 bytes, little-endian
};

struct RegNode;    // platform/registry_tree.h
struct RegChange;  // platform/registry_tree.h

enum class RegStatus {
  kOk,
  kNotFound,     // no such key or value (ERROR_FILE_NOT_FOUND)
  kHasSubkeys,   // a key with subkeys cannot be deleted on its own
  kInvalidArgument,  // no key named, a name the file cannot hold, or a value too large
  kNoMoreItems,  // enumeration past the last subkey
  kIoError,      // the file could not be written
};

const char* RegStatusText(RegStatus status);

struct RegValue {
  RegType type = RegType::kBinary;
  std::vector<uint8_t> data;
};

// What the last read of the file found.
struct RegLoadReport {
  bool file_found = false;
  bool damaged = false;       // lines were skipped, or the file could not be read
  // The file is there but none of it was read (too large, not a regular
  // file, no permission): the hive is empty, yet the file may hold the
  // user's settings. Flush moves such a file aside before it writes.
  bool unread = false;
  bool special_file = false;  // unread as a FIFO, device or folder: never opened nor replaced
  int skipped_lines = 0;
  std::string first_problem;  // "line 12: ..." for the warning
  std::string backup_path;    // a copy of the damaged file, when one was made
};

// The name a damaged or unread settings file is kept under beside the store.
std::string DamagedCopyPath(const std::string& file_path);

// The folder of the program's configuration: $VANTOR_CONFIG_DIR when set,
// else $XDG_CONFIG_HOME/vantor (an absolute one), else ~/.config/vantor.
std::string ConfigDir();
// ConfigDir() + "/registry.reg".
std::string DefaultRegistryPath();

class RegistryStore {
 public:
  RegistryStore();
  ~RegistryStore();
  RegistryStore(const RegistryStore&) = delete;
  RegistryStore& operator=(const RegistryStore&) = delete;

  // Reads the file (a missing file is an empty hive) and forgets unflushed
  // changes. Never fails: whatever cannot be parsed is skipped and reported.
  const RegLoadReport& Open(std::string file_path);
  std::string file_path() const;
  RegLoadReport load_report() const;

  // RegOpenKeyEx: kOk when the key exists.
  RegStatus OpenKey(std::string_view key) const;
  // RegCreateKeyEx: creates the key and every missing key above it.
  RegStatus CreateKey(std::string_view key);
  // RegDeleteKey: deletes a key that has no subkeys.
  RegStatus DeleteKey(std::string_view key);
  // RegEnumKeyEx: the name of subkey `index`, in name order.
  RegStatus EnumSubKey(std::string_view key, size_t index, std::string& name) const;

  RegStatus QueryValue(std::string_view key, std::string_view name, RegValue& out) const;
  // The key must exist (open or create it first), as in the registry.
  RegStatus SetValue(std::string_view key, std::string_view name, RegType type,
                     const void* data, size_t size);
  // SetValue only where the value does not exist, checked again against the
  // file when Flush merges: a default written on a first run never replaces
  // a value another program saved after this one read the file.
  RegStatus SetDefaultValue(std::string_view key, std::string_view name, RegType type,
                            const void* data, size_t size);
  RegStatus DeleteValue(std::string_view key, std::string_view name);

  // Writes the changes made since the last Open or Flush. kOk when there was
  // nothing to write. On failure the file on disk is untouched and the
  // changes stay pending for the next Flush. A regular file that cannot be
  // read is first renamed to DamagedCopyPath(); anything else in the file's
  // place (a FIFO, a device, a folder) is never replaced: kIoError.
  RegStatus Flush();
  bool HasPendingChanges() const;

  // The whole hive in the file format, as Flush would write it.
  std::string ExportText() const;


 private:
  RegStatus AddValue(bool only_if_absent, std::string_view key, std::string_view name,
                     RegType type, const void* data, size_t size);

  mutable std::mutex mutex_;
  std::string file_path_;
  RegLoadReport report_;
  std::unique_ptr<RegNode> root_;  // HKEY_CURRENT_USER
  std::vector<RegChange> pending_;  // what Flush merges into the file
};

// The program's hive, opened at DefaultRegistryPath() on first use.
RegistryStore& UserRegistry();

}  // namespace platform
