// A set of names kept in one block of text with an open-addressed table of
// where each starts: a folder listing of thousands of names costs a few
// allocations in all, not one or two a name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>  // Required for: hash<string_view>
#include <string>
#include <string_view>
#include <vector>

class NameSet {
 public:
  bool Contains(std::string_view name) const {
    return !slots_.empty() && slots_[Find(name, Hash(name))].used;
  }

  void Insert(std::string_view name) {
    if (2 * (count_ + 1) > slots_.size()) Grow();
    const uint64_t hash = Hash(name);
    Slot& slot = slots_[Find(name, hash)];
    if (slot.used) return;
    slot = {hash, text_.size(), name.size(), true};
    text_.append(name);
    ++count_;
  }

 private:
  struct Slot {
    uint64_t hash = 0;
    size_t at = 0;
    size_t size = 0;
    bool used = false;
  };

  static uint64_t Hash(std::string_view name) { return std::hash<std::string_view>{}(name); }

  // The slot holding `name`, or the empty one where it would go. The table
  // is never more than half full, so the probe ends.
  size_t Find(std::string_view name, uint64_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = size_t(hash) & mask;; i = (i + 1) & mask) {
      const Slot& s = slots_[i];
      if (!s.used) return i;
      if (s.hash == hash && std::string_view(text_).substr(s.at, s.size) == name) return i;
    }
  }

  void Grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.resize(old.empty() ? 64 : 2 * old.size());
    const size_t mask = slots_.size() - 1;
    for (const Slot& s : old) {
      if (!s.used) continue;
      size_t i = size_t(s.hash) & mask;
      while (slots_[i].used) i = (i + 1) & mask;
      slots_[i] = s;
    }
  }

  std::string text_;
  std::vector<Slot> slots_;  // a power of two in size
  size_t count_ = 0;
};
