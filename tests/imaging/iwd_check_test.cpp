// The image check: when raw/images looks incomplete the mover is offered
// (once counted on the counter thread), and what a root must hold for it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "tests/imaging/iwd_test_support.h"

namespace {

using iwd_test::IwdMessage;
using iwd_test::TakeMessage;
using iwd_test::TempRoot;
using shell_test::LogCapture;

void TouchImages(const std::string& folder, int count, const char* ext = ".iwi") {
  std::filesystem::create_directories(folder);
  for (int i = 0; i < count; ++i) {
    std::FILE* f = std::fopen((folder + "/img_" + std::to_string(i) + ext).c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
  }
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
    TempRoot root;
    std::filesystem::create_directories(root.Sub("Main"));
    TouchImages(root.Sub("Raw/Images"), count);
    for (const char* ext : {".iwi.vantor-part", ".dds"}) TouchImages(root.Sub("Raw/Images"), 3, ext);
    LogCapture log;
    NoticeBoard board;
    QorIWDUtils utils(board);
    std::optional<IwdMessage> m = Check(utils, board, root);
    const bool offered = count < 2500;
    EXPECT_EQ(utils.last_count(), size_t(count));
    EXPECT_EQ(utils.images_folder(), root.Sub("Raw/Images"));
    EXPECT_EQ(std::vector<bool>({utils.asked(), utils.menu_offered(), m.has_value(), log.Contains("ImageCheck::")}),
              std::vector<bool>(4, offered));
    if (!offered || !m) continue;
    EXPECT_EQ(std::make_pair(m->command, m->text), std::make_pair(std::string("open iwd_images_menu;"), std::string()));
    EXPECT_TRUE(log.Contains("ImageCheck:: 'raw/images' looks incomplete with only: '2499 iwis' suggested user to "
                             "run IWDToImages, Path: '" + root.Sub("Raw/Images") + "'"))
        << log.Joined();
  }
}

// A root without "main", an empty one and a missing one: logged, and
// nothing offered.
TEST(IwdCheck, RootWithoutMainOrNoRootOffersNothing) {
  TempRoot root;
  TouchImages(root.images(), 10);
  LogCapture log;
  NoticeBoard board;
  QorIWDUtils utils(board);
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
TEST(IwdList, KeepsArchivesInWindowsOrderAndSkipsTheRest) {
  TempRoot root;
  LogCapture log;
  NoticeBoard board;
  QorIWDUtils utils(board);
  utils.SetRoot(root.path());
  EXPECT_TRUE(utils.IWDList().empty());
  EXPECT_TRUE(log.Contains("IWDList:: Error: ")) << log.Joined();
  std::filesystem::create_directories(root.Sub("main/folder.iwd"));
  for (const char* name : {"iw_01.iwd", "IW_00.iwd", "z_mod.iwd", "localized_english_iw00.iwd", "readme.txt"})
    std::fclose(std::fopen(root.Sub(std::string("main/") + name).c_str(), "wb"));
  EXPECT_EQ(utils.IWDList(),
            (std::vector<std::string>{"IW_00.iwd", "iw_01.iwd", "localized_english_iw00.iwd", "z_mod.iwd"}));
}

}  // namespace
