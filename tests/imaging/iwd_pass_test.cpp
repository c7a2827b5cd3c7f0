// The image check and the copy pass: when raw/images looks incomplete the
// mover is offered (once counted on the counter thread), what a root must
// hold for it; what a pass writes, what it skips, how it stops, and what it
// leaves for the main thread.
#include <gtest/gtest.h>
#include <sys/stat.h>  // Required for: chmod()
#include <unistd.h>    // Required for: geteuid()

#include <filesystem>
#include <fstream>

#include "imaging/image_folder.h"
#include "tests/imaging/iwd_test_support.h"

namespace {

using namespace iwd_test;
using fixture::IwdDesc;
using fixture::MakeIwiBytes;

using IwdPass = PassTest;
using IwdList = PassTest;

// `count` empty files "img_<i><ext>" in `folder`.
void TouchImages(const std::string& folder, int count, const char* ext = ".iwi") {
  std::filesystem::create_directories(folder);
  for (int i = 0; i < count; ++i) ASSERT_TRUE(std::ofstream(folder + "/img_" + std::to_string(i) + ext).good());
}

std::optional<IwdMessage> Check(QorIWDUtils& utils, NoticeBoard& board, const TempRoot& root) {
  utils.CheckForImages(root.path());
  utils.WaitForCheck();
  return TakeMessage(board);
}

// 2,500 images is the line: one fewer offers the mover, once, with its log
// line; that many offers nothing and logs nothing. The folders are found
// whatever their case; partial files and other files are no images.
TEST(IwdCheck, FewerThan2500ImagesOfferTheMover) {
  for (int count : {2499, 2500}) {
    SCOPED_TRACE(count);
    Mover mover;
    auto& [root, log, board, utils] = mover;
    std::filesystem::create_directories(root.Sub("Main"));
    TouchImages(root.Sub("Raw/Images"), count);
    for (const char* ext : {".iwi.vantor-part", ".dds"}) TouchImages(root.Sub("Raw/Images"), 3, ext);
    std::optional<IwdMessage> m = Check(utils, board, root);
    const bool offered = count < 2500;
    EXPECT_EQ(utils.last_count(), size_t(count));
    EXPECT_EQ(utils.images_folder(), root.Sub("Raw/Images"));
    EXPECT_EQ(std::vector<bool>({utils.asked(), utils.menu_offered(), m.has_value(), log.Contains("ImageCheck::")}),
              std::vector<bool>(4, offered));
    if (!offered || !m) continue;
    EXPECT_EQ(*m, IwdMessage("open iwd_images_menu;", ""));
    EXPECT_TRUE(log.Contains("ImageCheck:: 'raw/images' looks incomplete with only: '2499 iwis' suggested user to "
                             "run IWDToImages, Path: '" + root.Sub("Raw/Images") + "'")) << log.Joined();
  }
}

// A root without "main", an empty one and a missing one: logged, and
// nothing offered.
TEST(IwdCheck, RootWithoutMainOrNoRootOffersNothing) {
  Mover mover;
  auto& [root, log, board, utils] = mover;
  TouchImages(root.images(), 10);
  EXPECT_FALSE(Check(utils, board, root).has_value());
  EXPECT_TRUE(log.Contains("CheckForImages:: Could not find 'main' / 'raw/images'")) << log.Joined();
  EXPECT_FALSE(utils.last_count().has_value());
  EXPECT_FALSE(utils.menu_offered());
  utils.CheckForImages("");
  utils.CheckForImages(root.Sub("nowhere"));
  utils.WaitForCheck();
  EXPECT_EQ(log.lines().size(), 3u);
  EXPECT_TRUE(log.Contains("CheckForImages:: in-valid Path"));
  EXPECT_FALSE(TakeMessage(board).has_value());
}

// Archives in Windows order, folders and other files left out; without
// "main" the listing error is logged.
TEST_F(IwdList, KeepsArchivesInWindowsOrderAndSkipsTheRest) {
  utils.SetRoot(root.path());
  EXPECT_TRUE(utils.IWDList().empty());
  EXPECT_TRUE(log.Contains("IWDList:: Error: ")) << log.Joined();
  std::filesystem::create_directories(root.Sub("main/folder.iwd"));
  for (const char* name : {"iw_01.iwd", "IW_00.iwd", "z_mod.iwd", "localized_english_iw00.iwd", "readme.txt"})
    std::ofstream(root.Sub(std::string("main/") + name));
  EXPECT_EQ(utils.IWDList(),
            (std::vector<std::string>{"IW_00.iwd", "iw_01.iwd", "localized_english_iw00.iwd", "z_mod.iwd"}));
}

TEST_F(IwdPass, CancelStopsBeforeTheNextEntryAndKeepsWhatWasWritten) {
  IwdDesc desc;
  for (int i = 0; i < 5; ++i) desc.entries.push_back({"images/a" + std::to_string(i) + ".iwi", MakeIwiBytes(i, 16, 16)});
  // Refusing this one logs a warning on the pass thread, which cancels.
  desc.entries.push_back({"images/../cancel_here.iwi", MakeIwiBytes(9, 16, 16)});
  for (int i = 0; i < 5; ++i) desc.entries.push_back({"images/b" + std::to_string(i) + ".iwi", MakeIwiBytes(i, 16, 16)});
  root.Archive("iw_00.iwd", desc);
  root.Archive("iw_01.iwd", fixture::MakeImageArchive("c", 5));
  Logger().set_sink([this](std::string_view line) {
    if (line.find("cancel_here") != std::string_view::npos) utils.Cancel();
  });
  IwdProgress p = Run();
  Logger().set_sink(nullptr);
  EXPECT_EQ(std::make_tuple(p.cancelled, p.total_copied, p.archive_index), std::make_tuple(true, 5u, 1u));
  auto tree = Tree(root.images());
  EXPECT_EQ(tree.size(), 5u);
  EXPECT_EQ(tree["a4.iwi"], MakeIwiBytes(4, 16, 16));
  EXPECT_FALSE(TakeMessage(board).has_value());  // the Cancel button closes the panel itself
  // The next pass starts afresh and finishes the job.
  p = Run();
  EXPECT_FALSE(p.cancelled);
  EXPECT_EQ(CountsOf(p), (Counts{16, 10, 5, 1, 0}));
}

// The index of a folder of hundreds of images (its name set grown many
// times over) finds each of them whatever its case, and nothing else.
TEST_F(IwdPass, FolderIndexFindsEveryListedImage) {
  TouchImages(root.images(), 500);
  ImageFolderIndex index(root.images());
  for (int i = 0; i < 500; ++i) ASSERT_TRUE(index.Contains("IMG_" + std::to_string(i) + ".iwi")) << i;
  EXPECT_FALSE(index.Contains("img_500.iwi"));
  EXPECT_FALSE(index.Contains("img_1.iw"));
  index.Add("New.iwi");
  EXPECT_TRUE(index.Contains("new.IWI"));
}

// Present images match whatever their case. What a pass killed half way
// through "cut.iwi" leaves behind is no image: our partial names do not end
// in ".iwi", so none is ever written from an archive either.
TEST_F(IwdPass, PresentImagesMatchWhateverTheirCaseAndLeftoverPartialsDoNot) {
  root.Archive("iw_00.iwd", {{{"images/Stone.iwi", MakeIwiBytes(5, 16, 16)},
                              {"images/ui/icon.iwi", MakeIwiBytes(6, 16, 16)},
                              {"images/cut.iwi", MakeIwiBytes(4, 16, 16)},
                              {"images/cut.iwi.vantor-part", MakeIwiBytes(4, 16, 16)}}});
  std::filesystem::create_directories(root.images() + "/UI");
  shell_test::WriteText(root.images() + "/stone.IWI", "mine");
  shell_test::WriteText(root.images() + "/cut.iwi.vantor-part", "IWi");
  EXPECT_EQ(CountsOf(Run()), (Counts{3, 2, 1, 0, 0}));
  auto tree = Tree(root.images());
  EXPECT_EQ(tree.size(), 3u);
  EXPECT_EQ(tree["UI/icon.iwi"], MakeIwiBytes(6, 16, 16));  // into the folder that is there
  EXPECT_EQ(tree["cut.iwi"], MakeIwiBytes(4, 16, 16));
}

TEST_F(IwdPass, PermissionFailureEndsThePassWithTheAdministratorMessage) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into a read-only folder";
  root.Archive("iw_00.iwd", fixture::MakeImageArchive("a", 3));
  root.Archive("iw_01.iwd", fixture::MakeImageArchive("b", 3));
  std::filesystem::create_directories(root.images());
  ASSERT_EQ(::chmod(root.images().c_str(), 0555), 0);
  IwdProgress p = Run();
  ::chmod(root.images().c_str(), 0755);
  EXPECT_EQ(std::make_tuple(p.permission_failure, p.archive_index, p.total_seen), std::make_tuple(true, 1u, 1u));
  EXPECT_TRUE(log.Contains("Copy IWI Error: File Handel failed due to permissions, please run program as admin"));
  std::optional<IwdMessage> m = TakeMessage(board);
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(*m, IwdMessage("close iwd_images_menu;",
                           "Can't move IWI's due to file permissions.\n\nPlease retart the program as administrator."));
}

// Drained faster than any frame: the bar never moves back, the archive text
// never runs ahead of the bar, the result and the archives' reports stay,
// and a new root empties the panel.
TEST_F(IwdPass, BoardFollowsThePassWhileItRuns) {
  root.Archive("iw_00.iwd", fixture::MakeImageArchive("a", 1500));
  root.Archive("iw_01.iwd", fixture::MakeImageArchive("b", 1500, 2));
  utils.SetRoot(root.path());
  ASSERT_TRUE(utils.IWDToImages());
  EXPECT_FALSE(utils.IWDToImages()) << "one pass at a time";
  BoardSnapshot view;
  std::vector<std::string> commands;
  for (float last_fill = 0; !utils.WaitForPassFor(1);) {
    board.Drain(view);
    commands.insert(commands.end(), view.commands.begin(), view.commands.end());
    const float fill = view.Progress(iwd::kProgressName);
    EXPECT_GE(fill + 1e-6f, last_fill);
    EXPECT_TRUE(view.Text(iwd::kArchiveText) != "1/2" || fill <= 0.5f + 1e-6f) << fill;
    last_fill = fill;
  }
  utils.WaitForPass();
  using Panel = std::pair<float, std::vector<std::string>>;
  auto panel = [&] {
    board.Drain(view);
    commands.insert(commands.end(), view.commands.begin(), view.commands.end());
    std::vector<std::string> texts;
    for (const char* name :
         {iwd::kArchiveText, iwd::kImagesText, iwd::kArchiveNameText, iwd::kPassText, iwd::kResultText})
      texts.push_back(view.Text(name));
    return Panel(view.Progress(iwd::kProgressName), texts);
  };
  EXPECT_EQ(panel(), Panel(1.0f, {"2/2", "\n\n1500\n\n0", "iw_01.iwd", "copied 3000  skipped 0",
                                  "3000 moved, 0 skipped, 0 failed"}));
  EXPECT_EQ(commands, std::vector<std::string>{});  // the panel stays open on the result
  auto reports = utils.TakeArchiveReports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].name, "iw_00.iwd");
  EXPECT_EQ(reports[1].copied, 1500u);
  utils.Reset();
  EXPECT_EQ(panel(), Panel(0.0f, {"", "\n\n0\n\n0", "", "copied 0  skipped 0", ""}));
}

}  // namespace
