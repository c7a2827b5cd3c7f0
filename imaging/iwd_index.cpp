// The archive index: one walk over each archive's central directory, and the
// cache that keeps one index and its build thread.
#include "imaging/iwd_index.h"

#include "base/logger.h"
#include "imaging/iwd_archive.h"
#include "imaging/iwd_entry_name.h"
#include "imaging/iwd_list.h"
#include "platform/clock.h"
#include "platform/fs_paths.h"
#include "platform/text_case.h"

std::string ArchivedImageKey(std::string_view image) {
  std::string key;
  key.reserve(image.size());
  for (char c : image) {
    if (c == '\\') c = '/';
    if (c == '/' && (key.empty() || key.back() == '/')) continue;
    key += platform::AsciiLower(c);
  }
  if (!key.empty() && key.back() == '/') key.pop_back();
  return key;
}

std::string GameRootOfRawDir(std::string_view raw_dir) {
  std::string dir = platform::NormalizePath(raw_dir);
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  size_t up = platform::LastSeparator(dir);
  if (up == std::string::npos) return "./";
  return dir.substr(0, up + 1);
}

std::string MainFolderOf(const std::string& game_root) {
  // One spelling per folder, however the root was typed: the cache keeps an
  // index by it.
  std::string path = platform::NormalizePath(game_root);
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  std::optional<std::string> found = platform::ResolveExisting(path + "main");
  if (!found || !platform::FolderExists(*found)) return "";
  return *found;
}

// ------------------------------------------------------------ the index

std::shared_ptr<IwdImageIndex> IwdImageIndex::Build(const std::string& main_path, const std::atomic<bool>* stop) {
  const double start = platform::NowMsPrecise();
  auto index = std::make_shared<IwdImageIndex>();
  index->main_path_ = main_path;
  int err = 0;
  std::vector<std::string> names = ListIwdArchives(main_path, err);
  if (err) Logger().warning("IwdIndex:: '%s' could not be listed: error %u", main_path.c_str(), unsigned(err));

  IwdArchive archive;
  size_t refused = 0;
  for (const std::string& name : names) {
    if (stop && stop->load()) return nullptr;
    IwdIndexedArchive listed;
    listed.name = name;
    listed.path = main_path + "/" + name;
    // Stamped before the walk: a change during it shows as a change later.
    std::optional<platform::FileStamp> stamp = platform::StampOf(listed.path);
    if (stamp) listed.stamp = *stamp;
    const uint32_t number = uint32_t(index->archives_.size());
    index->archives_.push_back(std::move(listed));
    if (!stamp || !archive.Open(index->archives_.back().path)) {
      Logger().warning("IwdIndex:: '%s' is not a readable ZIP archive", PrintableEntryName(name).c_str());
      continue;
    }
    for (IwdStep step = archive.First(); step == IwdStep::kEntry; step = archive.Next()) {
      if (stop && stop->load()) return nullptr;
      IwdEntryInfo info;
      if (!archive.Info(info) || !IsIwiEntryName(info.name)) continue;
      std::optional<std::string> target = IwdImageTarget(info.name);
      // Nothing is extracted here, so the archive's expansion budget is
      // whole for every entry, as it is for a read of one image.
      IwdRead check = target ? archive.Check(info) : IwdRead::kOk;
      if (!target || check != IwdRead::kOk) {
        ++refused;
        Logger().warning("IwdIndex:: '%s' in '%s' left out: %s", PrintableEntryName(info.name).c_str(),
                         PrintableEntryName(name).c_str(), target ? IwdReadText(check) : "its name leaves raw/images");
        continue;
      }
      IwdIndexedEntry entry;
      entry.archive = number;
      entry.directory_pos = info.directory_pos;
      entry.compressed_size = info.compressed_size;
      entry.uncompressed_size = info.uncompressed_size;
      entry.crc = info.crc;
      entry.name = std::move(info.name);
      entry.image = std::move(*target);
      index->images_[ArchivedImageKey(entry.image)].push_back(std::move(entry));
    }
    archive.Close();
  }
  if (!names.empty())
    Logger().log("IwdIndex:: %u images in %u archives of '%s', %u entries left out (%.1f ms)",
                 unsigned(index->images_.size()), unsigned(names.size()), main_path.c_str(), unsigned(refused),
                 platform::NowMsPrecise() - start);
  return index;
}

const std::vector<IwdIndexedEntry>* IwdImageIndex::Find(std::string_view image) const {
  auto it = images_.find(ArchivedImageKey(image));
  return it == images_.end() ? nullptr : &it->second;
}

bool IwdImageIndex::Current() const {
  int err = 0;
  std::vector<std::string> names = ListIwdArchives(main_path_, err);
  if (err || names.size() != archives_.size()) return false;
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] != archives_[i].name) return false;
    std::optional<platform::FileStamp> stamp = platform::StampOf(archives_[i].path);
    if (!stamp || !(*stamp == archives_[i].stamp)) return false;
  }
  return true;
}

std::vector<const IwdIndexedEntry*> IwdImageIndex::FirstEntries() const {
  std::vector<const IwdIndexedEntry*> out;
  out.reserve(images_.size());
  for (const auto& [key, entries] : images_)
    if (!entries.empty()) out.push_back(&entries.front());
  return out;
}

std::string IwdImageIndex::Label(const IwdIndexedEntry& entry) const {
  return entry.archive < archives_.size() ? "main/" + archives_[entry.archive].name : "main";
}

// ------------------------------------------------------------ the cache

IwdIndexCache::~IwdIndexCache() {
  stop_.store(true);
  std::thread finishing;
  {
    std::lock_guard<std::mutex> hold(lock_);
    finishing = std::move(thread_);
  }
  if (finishing.joinable()) finishing.join();
}

bool IwdIndexCache::Answers(const std::shared_ptr<const IwdImageIndex>& index, const std::string& main_path) {
  return index && index->main_path() == main_path && index->Current();
}

void IwdIndexCache::Finish(const std::string& main_path, std::shared_ptr<IwdImageIndex> built) {
  std::lock_guard<std::mutex> hold(lock_);
  building_ = false;
  ++builds_;
  if (built) {
    index_ = std::move(built);
  } else if (index_ && index_->main_path() == main_path) {
    index_.reset();
  }
  built_.notify_all();
}

void IwdIndexCache::Prepare(const std::string& game_root) {
  const std::string main_path = MainFolderOf(game_root);
  if (main_path.empty()) return;
  std::shared_ptr<const IwdImageIndex> kept;
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (building_ || stop_.load()) return;
    kept = index_;
  }
  // Checked outside the lock: it lists "main" and stamps every archive.
  if (Answers(kept, main_path)) return;
  std::thread previous;
  {
    std::lock_guard<std::mutex> hold(lock_);
    // Another thread started a build or finished one meanwhile.
    if (building_ || stop_.load() || index_ != kept) return;
    building_ = true;
    // The previous build has finished (building_ was clear): joined below,
    // outside the lock.
    previous = std::move(thread_);
    thread_ = std::thread([this, main_path] { Finish(main_path, IwdImageIndex::Build(main_path, &stop_)); });
  }
  if (previous.joinable()) previous.join();
}

std::shared_ptr<const IwdImageIndex> IwdIndexCache::Get(const std::string& game_root) {
  const std::string main_path = MainFolderOf(game_root);
  if (main_path.empty()) return nullptr;
  for (;;) {
    std::shared_ptr<const IwdImageIndex> kept;
    {
      // One build at a time: a build for another root is waited out too,
      // and then this root's index is looked at again.
      std::unique_lock<std::mutex> hold(lock_);
      built_.wait(hold, [this] { return !building_; });
      kept = index_;
    }
    if (Answers(kept, main_path)) return kept;
    std::unique_lock<std::mutex> hold(lock_);
    built_.wait(hold, [this] { return !building_; });
    if (index_ != kept) continue;  // built again meanwhile: looked at anew
    if (stop_.load()) return nullptr;
    building_ = true;
    hold.unlock();
    std::shared_ptr<IwdImageIndex> built = IwdImageIndex::Build(main_path, &stop_);
    Finish(main_path, built);
    return built;
  }
}

uint64_t IwdIndexCache::builds() const {
  std::lock_guard<std::mutex> hold(lock_);
  return builds_;
}

IwdIndexCache& IwdImages() {
  static IwdIndexCache cache;
  return cache;
}
