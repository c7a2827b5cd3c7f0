// Which ".iwi" images a game's "main/*.iwd" archives hold, so that an image
// missing from "raw/images" can be read straight from its archive. The
// archives are taken in the mover's order, and an image name held by more
// than one counts in that order (the mover copies the first and then skips
// the rest as present). Names are compared without case, as the mover's
// and the image lookups' are.
//
// One index per game root is kept by IwdIndexCache, built on a thread of its
// own when a root is announced and reused by every later lookup until an
// archive is added, removed, rewritten or touched.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/file_identity.h"

// One archive entry that holds an image, with the facts read when it was
// indexed; a read finds the same facts there or refuses the entry.
struct IwdIndexedEntry {
  uint32_t archive = 0;  // into IwdImageIndex::archives()
  uint64_t directory_pos = 0;
  uint64_t compressed_size = 0;
  uint64_t uncompressed_size = 0;
  uint32_t crc = 0;
  std::string name;  // as stored
  // Its path below "images/" as the mover would write it ("ui/Foo.iwi"):
  // the spelling a loose copy would have on disk.
  std::string image;
};

struct IwdIndexedArchive {
  std::string name;  // the file name in "main"
  std::string path;
  platform::FileStamp stamp;
};

class IwdImageIndex {
 public:
  // Walks every archive of `main_path`. Entries that fail the mover's
  // checks on their stored facts (names that leave "images/", sizes that
  // cannot be true, data shared with another entry, encryption, unknown
  // methods) are left out and logged. Null when `stop` was set meanwhile.
  static std::shared_ptr<IwdImageIndex> Build(const std::string& main_path, const std::atomic<bool>* stop = nullptr);

  // The entries holding `image` (a name below "images/", "/" or "\"
  // separated, any case), in archive order; null when none does.
  const std::vector<IwdIndexedEntry>* Find(std::string_view image) const;
  // Whether the archives are still the ones indexed: the same names, and
  // each with the same identity, size and times.
  bool Current() const;

  const std::string& main_path() const { return main_path_; }
  const std::vector<IwdIndexedArchive>& archives() const { return archives_; }
  // The entry each image is read from first, in no particular order.
  std::vector<const IwdIndexedEntry*> FirstEntries() const;
  size_t image_count() const { return images_.size(); }
  // "main/<archive>", as the properties panel shows where an image is from.
  std::string Label(const IwdIndexedEntry& entry) const;

 private:
  std::string main_path_;
  std::vector<IwdIndexedArchive> archives_;
  std::unordered_map<std::string, std::vector<IwdIndexedEntry>> images_;  // by ArchivedImageKey
};

// The lookup key of an image name: lower case, "/" separated, empty
// components folded ("UI\\Foo.IWI" and "ui//foo.iwi" give "ui/foo.iwi").
std::string ArchivedImageKey(std::string_view image);

// The game root above a model's raw folder ("/g/raw/" gives "/g/") and its
// "main" folder as it exists on disk (matched without case); "" when there
// is none.
std::string GameRootOfRawDir(std::string_view raw_dir);
std::string MainFolderOf(const std::string& game_root);

// The current index of each game root asked about last; one build at a
// time, on its own thread or on the caller's.
class IwdIndexCache {
 public:
  IwdIndexCache() = default;
  ~IwdIndexCache();  // stops a build in flight and waits for it
  IwdIndexCache(const IwdIndexCache&) = delete;
  IwdIndexCache& operator=(const IwdIndexCache&) = delete;

  // Starts building the root's index in the background unless a current
  // one is there or a build is under way. Returns at once.
  void Prepare(const std::string& game_root);
  // The root's current index: the one kept when its archives are
  // unchanged, else the one being built (waited for), else one built on the
  // calling thread. Null when the root has no "main" folder.
  std::shared_ptr<const IwdImageIndex> Get(const std::string& game_root);
  // Indexes built so far, finished or stopped.
  uint64_t builds() const;

 private:
  // Whether `index` answers for `main_path` as it is now. File work: never
  // under `lock_`.
  static bool Answers(const std::shared_ptr<const IwdImageIndex>& index, const std::string& main_path);
  void Finish(const std::string& main_path, std::shared_ptr<IwdImageIndex> built);

  mutable std::mutex lock_;
  std::condition_variable built_;  // with lock_, when `building_` clears
  std::shared_ptr<const IwdImageIndex> index_;
  bool building_ = false;
  uint64_t builds_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;  // the last background build
};

// The program's cache. Destroyed at exit, which stops a build in flight.
IwdIndexCache& IwdImages();
