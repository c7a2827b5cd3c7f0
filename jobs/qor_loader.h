// The model list: the names of the model files in a game's raw/xmodel
// folder, listed on a thread of its own so that thousands of files never
// stall the window, and narrowed by the search box's text (a query, see
// model/model_query.h). The facts that terms such as "bones:>20" ask for
// are read on a second thread when a query first needs them. Both threads
// hand over whole lists; everything the list box sees is written on the
// main thread, in Refresh and Filter.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "model/model_facts.h"
#include "model/model_query.h"

struct ListSource;

class QorLoader {
 public:
  explicit QorLoader(ListSource& view);
  // A running listing is told to stop and waited for.
  ~QorLoader();
  QorLoader(const QorLoader&) = delete;
  QorLoader& operator=(const QorLoader&) = delete;

  // Refused (false) for a path that is not a folder, and while a listing
  // runs. The folder keeps a trailing separator.
  bool SetFolder(const std::string& folder);
  // Starts a listing of the folder; logs and returns false when there is
  // no valid folder or one is already being listed.
  bool LoadList();
  // The search box's text; plain text of 1 or 2 characters shows every
  // name. `reapply` runs the filter in force again (after a new listing or
  // new facts). A term with a bad value shows "Bad search term: WORD".
  void Filter(const std::string& text, bool reapply = false);
  // The word of the filter in force that is a term with a bad value.
  const std::string& query_error() const { return query_.error; }

  // Main thread, once a frame: takes what the listing thread handed over,
  // in order. True when the list box's contents changed.
  bool Refresh();

  // A listing runs, or its names have not been taken by Refresh yet (main
  // thread).
  bool loading() const { return waiting_ || loading_.load(); }
  // The filter waits for the models' facts (main thread).
  bool reading_facts() const { return facts_waiting_; }
  bool path_valid() const { return path_valid_; }
  const std::string& folder() const { return folder_; }
  // The last complete listing, sorted as the games' own tools list a folder
  // (ListingOrder in qor_loader.cpp; main thread).
  const std::vector<std::string>& names() const { return names_; }
  const std::string& filter_text() const { return filter_text_; }
  // True when `name` is one of the listed names (not a status line).
  bool Listed(const std::string& name) const;

  // False: a list of files that are not models (the animations): the
  // search text is always plain, never terms.
  bool terms = true;

  // "reset_listbox xmodels;": the list box back to its top.
  std::function<void()> reset_listbox;
  // Listing thread: something was handed over (the window wakes up).
  std::function<void()> wake;
  // Main thread, from Refresh: each status line ("Loading: 100"), and the
  // end of each listing (false: it failed, nothing was handed over).
  std::function<void(const std::string& line)> on_status;
  std::function<void(bool ok)> on_finished;
  // Test seam: called on the listing thread with the count of entries
  // examined; a non-zero result ends the listing with that error code.
  std::function<int(size_t count)> fault;

 private:
  enum class Kind { kStatus, kNames, kFailed, kFactsStatus, kFacts };
  struct Handover {
    uint64_t generation = 0;
    Kind kind = Kind::kStatus;
    std::string line;
    std::vector<std::string> names;
    // A copy of `names` for the list box, made on the listing thread: a
    // copy of a few hundred thousand names is longer than a frame.
    std::vector<std::string> shown;
    std::vector<ModelFacts> facts;  // kFacts: one per name, in order
    bool with_verts = false;
  };
  void ListDirctory(std::string folder, uint64_t generation);
  void ReadFacts(std::string folder, std::vector<std::string> names, bool with_verts, uint64_t generation);
  void StartFacts(bool with_verts);
  void StopFacts();
  void Publish(Handover handover);
  // `all`: the items are the whole list.
  void Show(std::vector<std::string> items, bool all = false);

  ListSource& view_;
  std::string folder_;
  bool path_valid_ = false;
  std::atomic<bool> loading_{false};
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::atomic<bool> facts_stop_{false};
  std::thread facts_thread_;
  uint64_t generation_ = 0;
  double started_ms_ = 0;  // when the listing began, for its log line

  // Main thread only.
  std::vector<std::string> names_;
  std::vector<std::string> filtered_;
  std::string filter_text_;
  ModelQuery query_;
  std::vector<ModelFacts> facts_;  // empty, or one per name
  bool facts_verts_ = false;       // facts_ holds the vertex counts
  bool facts_waiting_ = false;     // a facts thread runs or its facts were not taken
  bool showing_all_ = false;  // the view holds the whole list
  std::vector<std::string> parked_;  // the whole list, out of the view while a filter shows
  bool waiting_ = false;  // a listing's names have not been taken yet

  std::mutex lock_;  // guards `handed_`
  std::vector<Handover> handed_;
};
