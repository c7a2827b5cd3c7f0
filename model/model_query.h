// The search box's text as a query over the model list. Text without terms
// keeps the list's old rule (the whole text, as typed, a part of the name).
// With terms, the text is words separated by spaces, each of which must
// hold:
//   bones:>20  lods:4  lods:>1  verts:<1000    a count: N, =N, <N, >N, <=N, >=N
//   material:NAME                              a material whose name holds NAME
//   game:cod4 | game:cod5 | game:bo            the layout of the xmodel file
//   !WORD                                      WORD does not hold
//   WORD                                       the name holds WORD
// Case counts in names, not in material names. A model whose files cannot
// be read holds no term on its facts, negated or not.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ModelFacts;

struct ModelQuery {
  enum class Key { kName, kBones, kLods, kVerts, kMaterial, kGame };
  struct Term {
    Key key = Key::kName;
    bool negated = false;
    char op = '=';  // '=', '<', '>', 'l' (<=), 'g' (>=)
    int64_t number = 0;
    std::string text;
  };
  std::vector<Term> terms;  // empty: plain text
  std::string error;        // the first word naming a term with a bad value

  bool plain() const { return terms.empty(); }
  bool needs_facts() const;
  bool needs_verts() const;
};

ModelQuery ParseModelQuery(std::string_view text);

// Whether `name` (with its facts; null when none were read) holds every term.
bool Matches(const ModelQuery& query, std::string_view name, const ModelFacts* facts);
