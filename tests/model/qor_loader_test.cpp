// The model list loader: what the list box shows while listing and after,
// the status lines, the filter, refusals, a failed listing and a listing
// cut short at exit.
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
#include "platform/file_bytes.h"
#include "tests/model/model_test_support.h"
#include "base/list_source.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/scoped_env.h"
#include "tools/fixture/sample_tree.h"

namespace {

using shell_test::LogCapture;

std::vector<std::string> Items(ListSource& view) {
  std::lock_guard<std::mutex> hold(view.lock);
  return view.items;
}

// Refreshes until the listing has been taken.
void Finish(QorLoader& loader) {
  for (int i = 0; i < 5000 && loader.loading(); ++i) {
    loader.Refresh();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  loader.Refresh();
}

// A folder of `count` model files ("model_000"...), each file empty: the
// list is made from names alone.
void Models(const std::string& folder, int count) {
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "model_%03d", i);
    shell_test::WriteText(folder + "/" + name, "");
  }
}

TEST(QorLoaderTest, ListsModelNamesWithStatusLinesAndLeavesOutDottedNamesAndFolders) {
  test_support::TempDir dir;
  Models(dir.path(), 247);
  shell_test::WriteText(dir.Sub("weapon_ak47_mp"), "");
  shell_test::WriteText(dir.Sub("notes.txt"), "");
  shell_test::WriteText(dir.Sub(".hidden"), "");
  ::mkdir(dir.Sub("subfolder").c_str(), 0755);
  // 249 + ".", ".." + 2 dotted + 1 folder = 254 entries: 253 after the first.
  ListSource view;
  QorLoader loader(view);
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
TEST(QorLoaderTest, ListsInTheGamesFolderOrderAndFiltersOnlyFromThreeCharacters) {
  const std::vector<std::string> sorted = {"ab",          "AK47",      "ak_47",    "a_b",
                                           "body_M16",    "viewhands", "vm_m16",   "Weapon_b",
                                           "weapon_m16",  "zeta"};
  test_support::TempDir dir;
  for (auto name = sorted.rbegin(); name != sorted.rend(); ++name) shell_test::WriteText(dir.Sub(*name), "");
  ListSource view;
  QorLoader loader(view);
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
TEST(QorLoaderTest, RefusalsAndFailedListingsLeaveTheLoaderReadyToListAgain) {
  LogCapture log;
  test_support::TempDir dir;
  Models(dir.path(), 150);
  ListSource view;
  QorLoader loader(view);
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

// Terms read the models' facts on the facts thread; the index stored under
// the cache folder serves the next loader until a file changes, and a
// damaged index is read again rather than believed.
TEST(QorLoaderTest, TermsReadTheFactsOnceAndTheIndexOnlyWhileFilesAreUnchanged) {
  LogCapture log;
  test_support::TempDir dir;
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
    for (int i = 0; i < 5000 && loader.reading_facts(); ++i) {
      loader.Refresh();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return Items(view);
  };
  // How many models the last search read rather than took from the index.
  auto read = [&log] {
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

TEST(QorLoaderTest, DestroyingTheLoaderStopsItsListing) {
  test_support::TempDir dir;
  Models(dir.path(), 50);
  ListSource view;
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
TEST(QorLoaderTest, FilteringOnEveryFrameWhileListing) {
  test_support::TempDir dir;
  Models(dir.path(), 400);
  ListSource view;
  QorLoader loader(view);
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
