#include "jobs/qor_loader.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "base/list_source.h"
#include "jobs/facts_index.h"
#include "base/logger.h"
#include "platform/clock.h"
#include "platform/folder_list.h"
#include "platform/fs_paths.h"

namespace {

// The order the games' own tools list a folder in (NTFS keeps names sorted
// by their upper-case form), so a tree lists the same on every file system:
// case does not count and "_" comes after the letters. Names that differ
// only in case (possible here, not there) keep a fixed order.
bool ListingOrder(const std::string& a, const std::string& b) {
  auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : int(c); };
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int ca = upper(static_cast<unsigned char>(a[i])), cb = upper(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

}  // namespace

QorLoader::QorLoader(ListSource& view) : view_(view) {}

QorLoader::~QorLoader() {
  stop_ = true;
  StopFacts();
  if (thread_.joinable()) thread_.join();
}

void QorLoader::StopFacts() {
  facts_stop_ = true;
  if (facts_thread_.joinable()) facts_thread_.join();
  facts_stop_ = false;
  facts_waiting_ = false;
}

bool QorLoader::SetFolder(const std::string& folder) {
  // A new folder under a running listing would mix two folders' names.
  if (loading()) {
    Logger().log("QorLoader::SetFolder called while already loading directroy");
    return false;
  }
  const std::optional<std::string> found = platform::ResolveExisting(folder);
  if (!found || !platform::FolderExists(*found)) {
    Logger().log("QorLoader Folder dose not exsist: %s", folder.c_str());
    path_valid_ = false;
    return false;
  }
  StopFacts();
  folder_ = *found;
  if (folder_.back() != '/' && folder_.back() != '\\') folder_ += '/';
  names_.clear();
  filtered_.clear();
  facts_.clear();
  path_valid_ = true;
  return true;
}

bool QorLoader::LoadList() {
  if (!path_valid_) {
    Logger().log("QorLoader::LoadList called when path is not valid.");
    return false;
  }
  if (loading()) {
    Logger().log("QorLoader::LoadList called while already loading directroy");
    return false;
  }
  // The previous listing has ended: collect its thread. Facts being read
  // are of the old names.
  if (thread_.joinable()) thread_.join();
  StopFacts();
  names_.clear();
  filtered_.clear();
  facts_.clear();
  parked_.clear();
  showing_all_ = false;
  Show({"Loading: 0"});
  started_ms_ = platform::NowMsPrecise();
  loading_ = true;
  waiting_ = true;
  stop_ = false;
  thread_ = std::thread(&QorLoader::ListDirctory, this, folder_, ++generation_);
  return true;
}

void QorLoader::ListDirctory(std::string folder, uint64_t generation) {
  std::vector<std::string> names;
  size_t examined = 0;  // entries after the first one, skipped ones included
  bool first = true;
  int error = 0;
  int rc = platform::ListFolderEntries(folder, [&](std::string_view name, bool is_folder) {
    if (stop_) return false;
    if (!first && fault) error = fault(examined + 1);
    if (error != 0) return false;
    // Model files have no extension: ".", "..", folders and every name
    // with a dot are left out.
    if (!is_folder && name.find('.') == std::string_view::npos) names.emplace_back(name);
    if (first) {
      first = false;
    } else if (++examined % 100 == 0) {
      Publish({generation, Kind::kStatus, "Loading: " + std::to_string(examined), {}, {}, {}, false});
    }
    return true;
  });
  if (error != 0) rc = error;
  if (stop_) {
    loading_ = false;
    return;
  }
  if (rc != 0) {
    Logger().log("QorLoader::LoadList Error: %u", unsigned(rc));
    Publish({generation, Kind::kFailed, {}, {}, {}, {}, false});
  } else {
    std::sort(names.begin(), names.end(), ListingOrder);
    std::vector<std::string> shown = names;
    Publish({generation, Kind::kNames, {}, std::move(names), std::move(shown), {}, false});
  }
  loading_ = false;
  if (wake) wake();
}

void QorLoader::Publish(Handover handover) {
  const bool status = handover.kind == Kind::kStatus;
  {
    std::lock_guard<std::mutex> hold(lock_);
    handed_.push_back(std::move(handover));
  }
  if (status && wake) wake();
}

bool QorLoader::Refresh() {
  std::vector<Handover> handed;
  {
    std::lock_guard<std::mutex> hold(lock_);
    handed.swap(handed_);
  }
  bool changed = false;
  for (Handover& h : handed) {
    if (h.generation != generation_) continue;  // a listing since replaced
    switch (h.kind) {
      case Kind::kStatus:
        Show({h.line});
        if (on_status) on_status(h.line);
        break;
      case Kind::kNames:
        names_ = std::move(h.names);
        parked_.clear();
        waiting_ = false;
        if (filter_text_.empty()) {
          Show(std::move(h.shown), true);
        } else {
          Filter(filter_text_, true);
        }
        Logger().log("QorLoader::LoadList %zu models listed and shown in %.1f ms", names_.size(),
                     platform::NowMsPrecise() - started_ms_);
        if (on_finished) on_finished(true);
        break;
      case Kind::kFailed:
        waiting_ = false;
        if (on_finished) on_finished(false);
        break;
      case Kind::kFactsStatus:
        // Shown only while a query waits for them.
        if (query_.needs_facts()) Show({h.line});
        break;
      case Kind::kFacts:
        facts_waiting_ = false;
        if (h.facts.size() == names_.size()) {
          facts_ = std::move(h.facts);
          facts_verts_ = h.with_verts;
        }
        if (query_.needs_facts()) Filter(filter_text_, true);
        break;
    }
    changed = true;
  }
  return changed;
}

void QorLoader::Filter(const std::string& text, bool reapply) {
  const std::string effective = reapply ? filter_text_ : text;
  query_ = terms ? ParseModelQuery(effective) : ModelQuery{};
  // While a listing runs the list box shows its status line; the filter is
  // kept and applied to the names when they come.
  if (query_.plain() && effective.size() <= 2) {
    filter_text_.clear();
    if (waiting_ || showing_all_) return;
    if (parked_.size() == names_.size()) {
      Show(std::exchange(parked_, {}), true);
    } else {
      Show(names_, true);
    }
    return;
  }
  filter_text_ = effective;
  if (waiting_) return;
  if (!query_.error.empty()) {
    Show({"Bad search term: " + query_.error});
    return;
  }
  const bool have_facts = !facts_.empty() && (facts_verts_ || !query_.needs_verts());
  if (query_.needs_facts() && !have_facts) {
    StartFacts(query_.needs_verts());
    return;
  }
  const double started = platform::NowMsPrecise();
  filtered_.clear();
  if (query_.plain()) {
    for (const std::string& name : names_)
      if (name.find(filter_text_) != std::string::npos) filtered_.push_back(name);
  } else {
    for (size_t i = 0; i < names_.size(); ++i)
      if (Matches(query_, names_[i], facts_.empty() ? nullptr : &facts_[i])) filtered_.push_back(names_[i]);
    Logger().log("QorLoader::Filter %zu of %zu models hold \"%s\" (%.1f ms)", filtered_.size(), names_.size(),
                 filter_text_.c_str(), platform::NowMsPrecise() - started);
  }
  if (reset_listbox) reset_listbox();
  Show(std::move(filtered_));
}

void QorLoader::StartFacts(bool with_verts) {
  if (facts_waiting_) return;  // the facts on their way are read again if they fall short
  if (facts_thread_.joinable()) facts_thread_.join();
  facts_waiting_ = true;
  Show({"Reading facts: 0"});
  facts_thread_ = std::thread(&QorLoader::ReadFacts, this, folder_, names_, with_verts, generation_);
}

void QorLoader::ReadFacts(std::string folder, std::vector<std::string> names, bool with_verts, uint64_t generation) {
  const double started = platform::NowMsPrecise();
  FactsIndex index(folder, FactsIndex::StorePath(folder));
  index.Load();
  std::vector<ModelFacts> facts;
  facts.reserve(names.size());
  size_t read = 0;
  for (const std::string& name : names) {
    if (facts_stop_) return;
    bool fresh = false;
    facts.push_back(index.Get(name, with_verts, fresh));
    read += fresh;
    if (facts.size() % 100 == 0)
      Publish({generation, Kind::kFactsStatus, "Reading facts: " + std::to_string(facts.size()), {}, {}, {}, false});
  }
  if (read != 0 && !index.Save()) Logger().log("QorLoader facts index not written: %s", FactsIndex::StorePath(folder).c_str());
  Logger().log("QorLoader facts of %zu models in %.1f ms (%zu read, the rest from the index)", names.size(),
               platform::NowMsPrecise() - started, read);
  Publish({generation, Kind::kFacts, {}, {}, {}, std::move(facts), with_verts});
  if (wake) wake();
}

bool QorLoader::Listed(const std::string& name) const {
  if (waiting_) return false;
  for (const std::string& n : names_)
    if (n == name) return true;
  return false;
}

// The old list is freed after the lock is let go (with `items`): for a
// few hundred thousand names that takes a while.
void QorLoader::Show(std::vector<std::string> items, bool all) {
  {
    std::lock_guard<std::mutex> hold(view_.lock);
    view_.items.swap(items);
    view_.ready = true;
    view_.changed = true;
  }
  // The whole list leaving the view waits for the next time it is shown:
  // copying a few hundred thousand names back would be longer than a frame.
  if (showing_all_ && !all) parked_ = std::move(items);
  showing_all_ = all;
}
