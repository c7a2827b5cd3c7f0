#include "model/model_query.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

#include "model/game_names.h"
#include "model/model_facts.h"

namespace {

using Key = ModelQuery::Key;

struct KeyName {
  std::string_view word;
  Key key;
};
constexpr KeyName kKeys[] = {
    {"bones", Key::kBones}, {"lods", Key::kLods}, {"verts", Key::kVerts},
    {"material", Key::kMaterial}, {"game", Key::kGame},
};
constexpr int64_t kMaxCount = 1'000'000'000;

bool IsCount(Key key) { return key == Key::kBones || key == Key::kLods || key == Key::kVerts; }

// "<=20" and the like; false for anything but an operator and a whole number.
bool ParseCount(std::string_view value, ModelQuery::Term& term) {
  if (value.starts_with("<=")) term.op = 'l', value.remove_prefix(2);
  else if (value.starts_with(">=")) term.op = 'g', value.remove_prefix(2);
  else if (value.starts_with('<')) term.op = '<', value.remove_prefix(1);
  else if (value.starts_with('>')) term.op = '>', value.remove_prefix(1);
  else if (value.starts_with('=')) term.op = '=', value.remove_prefix(1);
  const char* end = value.data() + value.size();
  const auto [at, ec] = std::from_chars(value.data(), end, term.number);
  return !value.empty() && ec == std::errc() && at == end && term.number >= 0 && term.number <= kMaxCount;
}

bool ParseValue(std::string_view value, ModelQuery::Term& term) {
  if (IsCount(term.key)) return ParseCount(value, term);
  if (value.empty()) return false;
  term.text = value;
  if (term.key == Key::kMaterial) {
    std::transform(term.text.begin(), term.text.end(), term.text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return true;
  }
  const std::optional<int> game = ParseGameName(term.text);
  term.number = game.value_or(-1);
  return game.has_value();
}

bool Compare(int64_t have, const ModelQuery::Term& term) {
  if (have < 0) return false;
  switch (term.op) {
    case '<': return have < term.number;
    case '>': return have > term.number;
    case 'l': return have <= term.number;
    case 'g': return have >= term.number;
    default: return have == term.number;
  }
}

bool HoldsIgnoringCase(std::string_view text, std::string_view lower_part) {
  auto it = std::search(text.begin(), text.end(), lower_part.begin(), lower_part.end(),
                        [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
  return it != text.end() || lower_part.empty();
}

// The term without its negation; null facts hold no facts term.
bool Holds(const ModelQuery::Term& term, std::string_view name, const ModelFacts* facts) {
  if (term.key == Key::kName) return name.find(term.text) != std::string_view::npos;
  if (!facts || !facts->read()) return false;
  switch (term.key) {
    case Key::kBones: return Compare(facts->bones, term);
    case Key::kLods: return Compare(facts->lods, term);
    case Key::kVerts: return Compare(facts->verts, term);
    case Key::kGame: return facts->game == term.number;
    case Key::kMaterial:
      return std::any_of(facts->materials.begin(), facts->materials.end(),
                         [&](const std::string& m) { return HoldsIgnoringCase(m, term.text); });
    default: return false;
  }
}

}  // namespace

bool ModelQuery::needs_facts() const {
  return std::any_of(terms.begin(), terms.end(), [](const Term& t) { return t.key != Key::kName; });
}

bool ModelQuery::needs_verts() const {
  return std::any_of(terms.begin(), terms.end(), [](const Term& t) { return t.key == Key::kVerts; });
}

ModelQuery ParseModelQuery(std::string_view text) {
  ModelQuery query;
  bool any_term = false;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = std::min(text.find(' ', at), text.size());
    std::string_view word = text.substr(at, end - at);
    const std::string_view whole = word;
    at = end + 1;
    if (word.empty()) continue;
    ModelQuery::Term term;
    if (word.size() > 1 && word[0] == '!') {
      term.negated = true;
      word.remove_prefix(1);
      any_term = true;
    }
    const size_t colon = word.find(':');
    const auto known = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const KeyName& k) {
      return colon != std::string_view::npos && word.substr(0, colon) == k.word;
    });
    if (known == std::end(kKeys)) {
      term.text = word;
    } else {
      any_term = true;
      term.key = known->key;
      if (!ParseValue(word.substr(colon + 1), term) && query.error.empty())
        query.error = whole;
    }
    query.terms.push_back(std::move(term));
  }
  if (!any_term) query.terms.clear();
  return query;
}

bool Matches(const ModelQuery& query, std::string_view name, const ModelFacts* facts) {
  for (const ModelQuery::Term& term : query.terms) {
    const bool holds = Holds(term, name, facts);
    if (term.key != Key::kName && (!facts || !facts->read())) return false;
    if (holds == term.negated) return false;
  }
  return true;
}
