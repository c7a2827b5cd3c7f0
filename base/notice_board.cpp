// The notice board's lock discipline: every call takes the lock once and
// never calls out while holding it, so writers on any thread can publish
// while holding locks of their own.
#include "base/notice_board.h"

#include <algorithm>  // Required for: clamp()
#include <cmath>      // Required for: lround()

namespace {

float ClampFill(float fill) { return fill == fill ? std::clamp(fill, 0.0f, 1.0f) : 0.0f; }  // NaN: empty

template <typename Map, typename Value>
void Store(Map& map, std::string_view name, Value value) {
  auto it = map.find(name);
  if (it == map.end())
    map.emplace(std::string(name), std::move(value));
  else
    it->second = std::move(value);
}

}  // namespace

const std::string& BoardSnapshot::Text(std::string_view name) const {
  static const std::string kNone;
  auto it = texts.find(name);
  return it == texts.end() ? kNone : it->second;
}

float BoardSnapshot::Progress(std::string_view name) const {
  auto it = progress.find(name);
  return it == progress.end() ? 0.0f : it->second;
}

SharedRows BoardSnapshot::Rows(std::string_view name) const {
  auto it = rows.find(name);
  return it == rows.end() ? nullptr : it->second;
}

int BoardSnapshot::ProgressWidth(std::string_view name, int full_width) const {
  return int(std::lround(double(Progress(name)) * full_width));
}

void NoticeBoard::SetText(std::string_view name, std::string_view text) {
  std::lock_guard<std::mutex> hold(lock_);
  Store(texts_, name, std::string(text));
  ++version_;
}

void NoticeBoard::SetProgress(std::string_view name, float fill) {
  std::lock_guard<std::mutex> hold(lock_);
  Store(progress_, name, ClampFill(fill));
  ++version_;
}

void NoticeBoard::SetRows(std::string_view name, std::vector<DetailRow> rows) {
  // Built outside the lock; the lock only swaps the pointer.
  auto shared = std::make_shared<const std::vector<DetailRow>>(std::move(rows));
  std::lock_guard<std::mutex> hold(lock_);
  Store(rows_, name, std::move(shared));
  ++version_;
}

void NoticeBoard::Publish(const BoardValues& values) {
  std::lock_guard<std::mutex> hold(lock_);
  for (const auto& [name, text] : values.texts) Store(texts_, name, text);
  for (const auto& [name, fill] : values.progress) Store(progress_, name, ClampFill(fill));
  ++version_;
}

std::string NoticeBoard::Text(std::string_view name) const {
  std::lock_guard<std::mutex> hold(lock_);
  auto it = texts_.find(name);
  return it == texts_.end() ? std::string() : it->second;
}

float NoticeBoard::Progress(std::string_view name) const {
  std::lock_guard<std::mutex> hold(lock_);
  auto it = progress_.find(name);
  return it == progress_.end() ? 0.0f : it->second;
}

SharedRows NoticeBoard::Rows(std::string_view name) const {
  std::lock_guard<std::mutex> hold(lock_);
  auto it = rows_.find(name);
  return it == rows_.end() ? nullptr : it->second;
}

void NoticeBoard::Touch() {
  std::lock_guard<std::mutex> hold(lock_);
  ++version_;
}

void NoticeBoard::PostCommand(std::string commands) {
  std::lock_guard<std::mutex> hold(lock_);
  commands_.push_back(std::move(commands));
  ++version_;
}

void NoticeBoard::ShowError(std::string text) {
  std::lock_guard<std::mutex> hold(lock_);
  errors_.push_back(std::move(text));
  ++version_;
}

void NoticeBoard::ShowMessage(std::string text) {
  std::lock_guard<std::mutex> hold(lock_);
  notes_.push_back(std::move(text));
  ++version_;
}

void NoticeBoard::PlaySound(std::string name) {
  std::lock_guard<std::mutex> hold(lock_);
  sounds_.push_back(std::move(name));
  ++version_;
}

void NoticeBoard::PostMessage(AppMessage message) {
  std::lock_guard<std::mutex> hold(lock_);
  messages_.push_back(std::move(message));
  ++version_;
}

uint64_t NoticeBoard::version() const {
  std::lock_guard<std::mutex> hold(lock_);
  return version_;
}

bool NoticeBoard::Drain(BoardSnapshot& view) {
  // The queues swap into `view` with their storage, so the board's start
  // empty and the vectors are reused frame after frame.
  view.commands.clear();
  view.errors.clear();
  view.notes.clear();
  view.sounds.clear();
  view.messages.clear();
  std::lock_guard<std::mutex> hold(lock_);
  if (view.version == version_) return false;
  view.texts = texts_;
  view.progress = progress_;
  view.rows = rows_;
  view.commands.swap(commands_);
  view.errors.swap(errors_);
  view.notes.swap(notes_);
  view.sounds.swap(sounds_);
  view.messages.swap(messages_);
  view.version = version_;
  return true;
}

void NoticeBoard::Clear() {
  std::lock_guard<std::mutex> hold(lock_);
  texts_.clear();
  progress_.clear();
  rows_.clear();
  commands_.clear();
  errors_.clear();
  notes_.clear();
  sounds_.clear();
  messages_.clear();
  ++version_;
}

NoticeBoard& Board() {
  static NoticeBoard* board = new NoticeBoard;  // lives until exit
  return *board;
}
