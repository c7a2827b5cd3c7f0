// The model list loader: what the list box shows while listing and after,
// the status lines, the filter and its query, refusals, a failed listing and
// a listing cut short at exit.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "jobs/facts_index.h"
#include "jobs/qor_loader.h"
#include "model/model_query.h"
#include "platform/file_bytes.h"
#include "tests/model/model_test_support.h"
#include "base/list_source.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/scoped_env.h"
#include "tools/fixture/sample_tree.h"

namespace {

std::vector<std::string> Items(ListSource& view) {
  std::lock_guard<std::mutex> hold(view.lock);
  return view.items;
}

// Refreshes until the listing has been taken (then once more), or with
// `facts` until the facts a filter reads are in.
void Finish(QorLoader& loader, bool facts = false) {
  for (int i = 0; i < 5000 && (facts ? loader.reading_facts() : loader.loading()); ++i) {
    loader.Refresh();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!facts) loader.Refresh();
}

class QorLoaderTest : public ::testing::Test {
 protected:
  // `count` model files ("model_000"...), each file empty: the list is made
  // from names alone.
  void Models(int count) {
    for (int i = 0; i < count; ++i) shell_test::WriteText(dir.Sub("model_" + std::to_string(1000 + i).substr(1)), "");
  }

  shell_test::LogCapture log;
  test_support::TempDir dir;
  ListSource view;
  QorLoader loader{view};
};

TEST_F(QorLoaderTest, ListsModelNamesWithStatusLinesAndLeavesOutDottedNamesAndFolders) {
  Models(247);
  for (const char* name : {"weapon_ak47_mp", "notes.txt", ".hidden"}) shell_test::WriteText(dir.Sub(name), "");
  ::mkdir(dir.Sub("subfolder").c_str(), 0755);
  // 249 + ".", ".." + 2 dotted + 1 folder = 254 entries: 253 after the first.
  std::vector<std::string> status;
  loader.on_status = [&](const std::string& line) { status.push_back(line); };
  ASSERT_TRUE(loader.SetFolder(dir.path()));
  EXPECT_EQ(loader.folder().back(), '/');
  ASSERT_TRUE(loader.LoadList());
  EXPECT_EQ(Items(view), std::vector<std::string>{"Loading: 0"});
  Finish(loader);
  EXPECT_EQ(status, (std::vector<std::string>{"Loading: 100", "Loading: 200"}));
  const std::vector<std::string> shown = Items(view);
  EXPECT_EQ(shown.size(), 248u);  // the models, without the dotted names and the folder
  EXPECT_EQ(shown, loader.names());
  EXPECT_NE(std::find(shown.begin(), shown.end(), "weapon_ak47_mp"), shown.end());
  EXPECT_TRUE(loader.Listed("model_010"));
  EXPECT_FALSE(loader.Listed("Loading: 100"));
}

// Created last to first: the list still comes sorted as NTFS lists it,
// without regard to case and with "_" after the letters. Filters of two
// characters or fewer show every name; longer ones the names holding them,
// case and all. A filter typed while listing keeps the status line and
// applies to the names that come.
TEST_F(QorLoaderTest, ListsInTheGamesFolderOrderAndFiltersOnlyFromThreeCharacters) {
  const std::vector<std::string> sorted = {"ab",          "AK47",      "ak_47",    "a_b",
                                           "body_M16",    "viewhands", "vm_m16",   "Weapon_b",
                                           "weapon_m16",  "zeta"};
  for (auto name = sorted.rbegin(); name != sorted.rend(); ++name) shell_test::WriteText(dir.Sub(*name), "");
  int resets = 0;
  loader.reset_listbox = [&] { ++resets; };
  ASSERT_TRUE(loader.SetFolder(dir.path()));
  ASSERT_TRUE(loader.LoadList());
  Finish(loader);
  EXPECT_EQ(Items(view), sorted);
  for (const char* text : {"m", "m1", ""}) {
    loader.Filter(text);
    EXPECT_EQ(Items(view), sorted) << text;
  }
  EXPECT_EQ(resets, 0);
  loader.Filter("m16");
  EXPECT_EQ(Items(view), (std::vector<std::string>{"vm_m16", "weapon_m16"}));
  EXPECT_EQ(resets, 1);
  loader.Filter("");  // the whole list back, as it was
  EXPECT_EQ(Items(view), sorted);
  shell_test::WriteText(dir.Sub("vm_m16_gl"), "");
  ASSERT_TRUE(loader.LoadList());
  loader.Filter("vm_");
  EXPECT_EQ(Items(view), std::vector<std::string>{"Loading: 0"});
  Finish(loader);
  EXPECT_EQ(Items(view), (std::vector<std::string>{"vm_m16", "vm_m16_gl"}));
  loader.Filter("vm");
  EXPECT_EQ(Items(view).size(), sorted.size() + 1);
  // Without terms (the animation list) a word that looks like one is text.
  loader.terms = false;
  loader.Filter("a_b !zeta");
  EXPECT_TRUE(Items(view).empty() && !loader.reading_facts());
}

// Refusals, then a listing that fails halfway: it keeps its status line and
// the loader lists again; a folder that went away fails from the start.
TEST_F(QorLoaderTest, RefusalsAndFailedListingsLeaveTheLoaderReadyToListAgain) {
  Models(150);
  EXPECT_FALSE(loader.LoadList());
  EXPECT_TRUE(log.Contains("QorLoader::LoadList called when path is not valid."));
  EXPECT_FALSE(loader.SetFolder(dir.Sub("missing")));
  EXPECT_FALSE(loader.SetFolder(dir.Sub("model_000")));  // a file is not a folder
  EXPECT_TRUE(log.Contains("QorLoader Folder dose not exsist: " + dir.Sub("model_000")));
  EXPECT_FALSE(loader.path_valid());

  ASSERT_TRUE(loader.SetFolder(dir.path()));
  std::atomic<bool> hold{true};
  loader.fault = [&](size_t) {
    while (hold) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return 0;
  };
  ASSERT_TRUE(loader.LoadList());
  EXPECT_FALSE(loader.LoadList());
  EXPECT_FALSE(loader.SetFolder(dir.path()));  // a folder change would mix two listings
  hold = false;
  Finish(loader);
  EXPECT_TRUE(log.Contains("QorLoader::LoadList called while already loading directroy"));
  EXPECT_EQ(Items(view).size(), 150u);

  std::vector<bool> ends;
  loader.on_finished = [&](bool ok) { ends.push_back(ok); };
  loader.fault = [](size_t count) { return count == 120 ? EIO : 0; };
  ASSERT_TRUE(loader.LoadList());
  Finish(loader);
  EXPECT_TRUE(log.Contains("QorLoader::LoadList Error: " + std::to_string(EIO)));
  EXPECT_EQ(Items(view), std::vector<std::string>{"Loading: 100"});
  EXPECT_TRUE(loader.names().empty());
  loader.fault = nullptr;
  ASSERT_TRUE(loader.LoadList());
  Finish(loader);
  EXPECT_EQ(Items(view).size(), 150u);
  EXPECT_EQ(ends, (std::vector<bool>{false, true}));
  ASSERT_TRUE(loader.SetFolder(dir.path()));
  std::filesystem::remove_all(dir.path());
  ASSERT_TRUE(loader.LoadList());
  Finish(loader);
  EXPECT_EQ(Items(view), std::vector<std::string>{"Loading: 0"});
  EXPECT_EQ(ends.back(), false);
}

// The search box's query: which words are terms, what each holds, and the
// words refused.
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

// Terms read the models' facts on the facts thread; the index stored under
// the cache folder serves the next loader until a file changes, and a
// damaged index is read again rather than believed.
TEST_F(QorLoaderTest, TermsReadTheFactsOnceAndTheIndexOnlyWhileFilesAreUnchanged) {
  test_support::ScopedEnv cache("XDG_CACHE_HOME", dir.Sub("cache"));
  ASSERT_FALSE(fixture::WriteModel(dir.path(), fixture::MakePropModel("crate", Cod4)).empty());
  ASSERT_FALSE(fixture::WriteModel(dir.path(), fixture::MakeSoldierModel("soldier", Cod5)).empty());
  ASSERT_FALSE(fixture::WriteModel(dir.path(), fixture::MakeBarrelModel("barrel_t5")).empty());
  auto search = [&](const std::string& text) {
    ListSource view;
    QorLoader loader(view);
    EXPECT_TRUE(loader.SetFolder(dir.Sub("raw/xmodel")) && loader.LoadList());
    Finish(loader);
    loader.Filter(text);
    Finish(loader, /*facts=*/true);
    return Items(view);
  };
  // How many models the last search read rather than took from the index.
  auto read = [this] {
    const std::vector<std::string> lines = log.lines();
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
      if (size_t at = line->find(" ms ("); at != std::string::npos) return std::stoi(line->substr(at + 5));
    return -1;
  };
  using Names = std::vector<std::string>;
  EXPECT_EQ(search("bones:>20"), Names{"soldier"});
  EXPECT_EQ(read(), 3);
  EXPECT_EQ(search("game:bo"), Names{"barrel_t5"});
  EXPECT_EQ(search("game:cod5 lods:2"), Names{"soldier"});
  EXPECT_EQ(search("verts:<=24 !t5"), Names{"crate"});
  EXPECT_EQ(search("material:_HEAD"), Names{"soldier"});
  EXPECT_EQ(read(), 0);
  EXPECT_EQ(search("lods:2 bones:x"), Names{"Bad search term: bones:x"});

  // The soldier's bones replaced by the crate's: its facts are read again.
  const std::string index = FactsIndex::StorePath(dir.Sub("raw/xmodel/"));
  const std::vector<uint8_t> crate_parts = fixture::WriteXmodelparts(fixture::MakePropModel("c", Cod4).parts);
  ASSERT_TRUE(fixture::WriteFile(dir.Sub("raw/xmodelparts/soldier_lod0"), crate_parts));
  EXPECT_EQ(search("bones:>20"), Names{});
  EXPECT_EQ(read(), 1);
  // A stored bone count changed behind the index's back: dropped whole.
  ASSERT_TRUE(fixture::WriteModel(dir.path(), fixture::MakeSoldierModel("soldier", Cod5)).size());
  EXPECT_EQ(search("bones:>20"), Names{"soldier"});
  std::vector<uint8_t> bytes;
  ASSERT_EQ(platform::ReadFileBytes(index, bytes), 0);
  const std::string text(bytes.begin(), bytes.end());
  const size_t name = text.find("soldier");
  ASSERT_NE(name, std::string::npos);
  bytes[name + 7 + 3 * 16 + 8] = 5;  // after the name, three stamps, result and game
  ASSERT_TRUE(fixture::WriteFile(index, bytes));
  EXPECT_EQ(search("bones:>20"), Names{"soldier"});
  EXPECT_EQ(read(), 3);
}

TEST_F(QorLoaderTest, DestroyingTheLoaderStopsItsListing) {
  Models(50);
  std::atomic<size_t> seen{0};
  {
    QorLoader loader(view);
    loader.fault = [&](size_t count) {
      seen = count;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      return 0;
    };
    ASSERT_TRUE(loader.SetFolder(dir.path()));
    ASSERT_TRUE(loader.LoadList());
    while (seen < 3) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_LT(seen.load(), 50u);
}

// A filter typed on every frame while listings run: the thread checker
// sees the list box, the handover and the names.
TEST_F(QorLoaderTest, FilteringOnEveryFrameWhileListing) {
  Models(400);
  ASSERT_TRUE(loader.SetFolder(dir.path()));
  const char* texts[] = {"m", "mo", "mod", "model_1", "model_19", ""};
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(loader.LoadList());
    for (int frame = 0; loader.loading(); ++frame) {
      std::this_thread::yield();
      loader.Filter(texts[frame % 6]);
      loader.Refresh();
      std::lock_guard<std::mutex> hold(view.lock);
      ASSERT_FALSE(view.items.empty());
    }
  }
  loader.Filter("model_19");
  EXPECT_EQ(Items(view).size(), 10u);  // model_190 to model_199
}

}  // namespace
