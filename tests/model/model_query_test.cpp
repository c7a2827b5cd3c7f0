// The search box's query: which words are terms, what each holds, and the
// words refused.
#include <gtest/gtest.h>

#include "model/model_facts.h"
#include "model/model_query.h"

namespace {

TEST(ModelQueryTest, TermsHoldOnTheFactsAndPlainTextStaysOneString) {
  ModelFacts rifle;
  rifle.result = err::kSuccess;
  rifle.game = Cod4;
  rifle.bones = 24;
  rifle.lods = 3;
  rifle.verts = 999;
  rifle.materials = {"mtl_weapon_M16", "mtl_scope"};
  ModelFacts unread;  // files that could not be read
  struct Case {
    const char* text;
    bool rifle, unread;
  } cases[] = {
      {"bones:>20", true, false},  {"bones:>24", false, false}, {"bones:>=24", true, false},
      {"bones:24", true, false},   {"bones:=23", false, false}, {"bones:<=24 lods:3", true, false},
      {"lods:>1", true, false},    {"lods:4", false, false},    {"verts:<1000", true, false},
      {"verts:<999", false, false}, {"material:m16", true, false}, {"material:gun", false, false},
      {"game:cod4", true, false},  {"game:bo", false, false},   {"!bones:>20", false, false},
      {"!ak47 m16", true, true},        {"!m16", false, false},      {"!ak47", true, true},
      {"weapon  !ak47 bones:24", true, false},                   {"!ak47 M16", false, false},
  };
  for (const Case& c : cases) {
    const ModelQuery q = ParseModelQuery(c.text);
    ASSERT_FALSE(q.plain()) << c.text;
    ASSERT_TRUE(q.error.empty()) << c.text;
    EXPECT_EQ(Matches(q, "weapon_m16", &rifle), c.rifle) << c.text;
    EXPECT_EQ(Matches(q, "weapon_m16", &unread), c.unread) << c.text;
  }
  // Words without a known key keep the old rule: the text is one string.
  for (const char* plain : {"weapon m16", "foo:bar", "!", "x:>2"}) EXPECT_TRUE(ParseModelQuery(plain).plain()) << plain;
  for (const char* bad : {"bones:", "bones:abc", "lods:>", "verts:-1", "verts:1e3", "game:cod6", "material:",
                          "bones:99999999999"})
    EXPECT_EQ(ParseModelQuery(std::string("m16 ") + bad).error, bad);
}

}  // namespace
