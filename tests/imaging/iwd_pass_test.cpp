// The copy pass: what it writes, what it skips, how it stops, and what it
// leaves for the main thread.
#include <gtest/gtest.h>
#include <sys/stat.h>  // Required for: stat(), chmod()
#include <unistd.h>    // Required for: geteuid()

#include <filesystem>

#include "tests/imaging/iwd_test_support.h"
#include "tests/shell/shell_test_support.h"

namespace {

using fixture::IwdDesc;
using fixture::IwdEntry;
using fixture::MakeIwiBytes;
using iwd_test::Bytes;
using iwd_test::ReadBytes;
using iwd_test::RunPass;
using iwd_test::IwdMessage;
using iwd_test::TakeMessage;
using iwd_test::TempRoot;
using iwd_test::Tree;
using shell_test::LogCapture;

TEST(IwdPass, SampleArchivesCopyTheirImagesFirstArchiveWinning) {
  TempRoot root;
  ASSERT_TRUE(fixture::WriteSampleIwds(root.path()));
  NoticeBoard board;
  QorIWDUtils utils(board);
  IwdProgress p = RunPass(utils, root.path());
  EXPECT_FALSE(p.running);
  EXPECT_EQ(p.progress_text, "2/2");
  EXPECT_EQ(p.archive_count, 2u);
  EXPECT_EQ(p.total_seen, 6u);  // the sound and the script are not images
  EXPECT_EQ(p.total_copied, 5u);
  EXPECT_EQ(p.total_skipped, 1u);  // sample_iwd_metal is in both
  EXPECT_EQ(p.Fraction(), 1.0f);
  auto tree = Tree(root.images());
  EXPECT_EQ(tree.size(), 5u);
  EXPECT_EQ(tree["sample_iwd_metal.iwi"], MakeIwiBytes(12, 32, 32));
  EXPECT_EQ(tree["ui/sample_iwd_icon.iwi"], MakeIwiBytes(15, 16, 16));
  std::optional<IwdMessage> m = TakeMessage(board);
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->command, "close iwd_images_menu;");
  EXPECT_EQ(m->text, "");
  EXPECT_FALSE(TakeMessage(board).has_value());  // taken once
  auto reports = utils.TakeArchiveReports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].name, "iw_00.iwd");
  EXPECT_EQ(reports[1].copied, 2u);
}

TEST(IwdPass, SecondPassWritesNothing) {
  TempRoot root;
  root.Archive("iw_00.iwd", fixture::MakeImageArchive("a", 40));
  root.Archive("iw_01.iwd", fixture::MakeImageArchive("b", 40, 2));
  NoticeBoard board;
  QorIWDUtils utils(board);
  ASSERT_EQ(RunPass(utils, root.path()).total_copied, 80u);

  // Back-date every image: a rewrite would show in the time or the inode.
  std::map<std::string, ino_t> inodes;
  for (const auto& e : std::filesystem::directory_iterator(root.images())) {
    std::filesystem::last_write_time(e.path(), std::filesystem::file_time_type() + std::chrono::hours(24 * 365 * 40));
    struct stat st;
    ASSERT_EQ(::stat(e.path().c_str(), &st), 0);
    inodes[e.path().filename().string()] = st.st_ino;
  }
  auto before = Tree(root.images());

  IwdProgress p = RunPass(utils, root.path());
  EXPECT_EQ(p.total_seen, 80u);
  EXPECT_EQ(p.total_skipped, 80u);
  EXPECT_EQ(p.total_copied, 0u);
  EXPECT_EQ(Tree(root.images()), before);
  for (const auto& e : std::filesystem::directory_iterator(root.images())) {
    struct stat st;
    ASSERT_EQ(::stat(e.path().c_str(), &st), 0);
    EXPECT_EQ(st.st_ino, inodes[e.path().filename().string()]);
    EXPECT_EQ(std::filesystem::last_write_time(e.path()),
              std::filesystem::file_time_type() + std::chrono::hours(24 * 365 * 40));
  }
}

// Only names ending in ".iwi", in any case, are images; the rest are not
// even counted.
TEST(IwdPass, EntriesThatAreNotImagesAreIgnoredAndNotCounted) {
  TempRoot root;
  IwdDesc desc;
  desc.entries = {{"sound/", {}, false},
                  {"sound/shot.wav", std::vector<uint8_t>(300, 7)},
                  {"images/", {}, false},
                  {"images/loading.dds", Bytes("DDS ")},
                  {"images/x.iwi.sh", Bytes("#!")},
                  {"maps/mp/_load.gsc", Bytes("main(){}")},
                  {"images/Upper.IWI", MakeIwiBytes(4, 16, 16)}};
  root.Archive("iw_00.iwd", desc);
  NoticeBoard board;
  QorIWDUtils utils(board);
  IwdProgress p = RunPass(utils, root.path());
  EXPECT_EQ(p.total_seen, 1u);
  EXPECT_EQ(p.total_copied, 1u);
  EXPECT_EQ(p.total_skipped + p.total_refused + p.total_failed, 0u);
  auto tree = Tree(root.images());
  ASSERT_EQ(tree.size(), 1u);
  EXPECT_EQ(tree["Upper.IWI"], MakeIwiBytes(4, 16, 16));
}

TEST(IwdPass, CancelStopsBeforeTheNextEntryAndKeepsWhatWasWritten) {
  TempRoot root;
  IwdDesc desc;
  for (int i = 0; i < 5; ++i) desc.entries.push_back({"images/a" + std::to_string(i) + ".iwi", MakeIwiBytes(i, 16, 16)});
  // Refusing this one logs a warning on the pass thread, which cancels.
  desc.entries.push_back({"images/../cancel_here.iwi", MakeIwiBytes(9, 16, 16)});
  for (int i = 0; i < 5; ++i) desc.entries.push_back({"images/b" + std::to_string(i) + ".iwi", MakeIwiBytes(i, 16, 16)});
  root.Archive("iw_00.iwd", desc);
  root.Archive("iw_01.iwd", fixture::MakeImageArchive("c", 5));

  NoticeBoard board;
  QorIWDUtils utils(board);
  Logger().set_sink([&utils](std::string_view line) {
    if (line.find("cancel_here") != std::string_view::npos) utils.Cancel();
  });
  IwdProgress p = RunPass(utils, root.path());
  Logger().set_sink(nullptr);

  EXPECT_TRUE(p.cancelled);
  EXPECT_EQ(p.total_copied, 5u);
  EXPECT_EQ(p.archive_index, 1u);
  auto tree = Tree(root.images());
  EXPECT_EQ(tree.size(), 5u);
  EXPECT_EQ(tree["a4.iwi"], MakeIwiBytes(4, 16, 16));
  EXPECT_EQ(tree.count("b0.iwi"), 0u);
  ASSERT_TRUE(TakeMessage(board).has_value());  // the panel is closed either way

  // The next pass starts afresh and finishes the job.
  p = RunPass(utils, root.path());
  EXPECT_FALSE(p.cancelled);
  EXPECT_EQ(p.total_copied, 10u);
  EXPECT_EQ(p.total_skipped, 5u);
}

TEST(IwdPass, NamesLeavingRawImagesAreRefusedCountedAndNamed) {
  TempRoot root;
  IwdDesc desc;
  std::vector<std::string> hostile = {"images/../../escape.iwi", "images/../raw_level.iwi",
                                      "images\\..\\..\\backslash.iwi", root.Sub("absolute.iwi"),
                                      "C:/drive.iwi", "top_level.iwi"};
  for (const std::string& name : hostile) desc.entries.push_back({name, MakeIwiBytes(1, 16, 16)});
  desc.entries.push_back({"images/kept.iwi", MakeIwiBytes(2, 16, 16)});
  root.Archive("iw_00.iwd", desc);

  LogCapture log;
  NoticeBoard board;
  QorIWDUtils utils(board);
  IwdProgress p = RunPass(utils, root.path());
  EXPECT_EQ(p.total_seen, hostile.size() + 1);
  EXPECT_EQ(p.total_refused, hostile.size());
  EXPECT_EQ(p.total_copied, 1u);
  for (const std::string& name : hostile)
    EXPECT_TRUE(log.Contains("------ WARNING: Copy IWI Error: '" + name + "' in 'iw_00.iwd' not moved: its name leaves"))
        << name << "\n" << log.Joined();
  // Nothing but the archive and the one image anywhere under the root.
  auto everything = Tree(root.path());
  EXPECT_EQ(everything.size(), 2u);
  EXPECT_EQ(everything.count("raw/images/kept.iwi"), 1u);
}

TEST(IwdPass, EntriesWithBadCrcOrLyingSizesAreRefusedAndLeaveNoFile) {
  TempRoot root;
  std::vector<uint8_t> data = MakeIwiBytes(3, 64, 64);
  IwdDesc desc;
  auto add = [&](const std::string& name, bool deflate) -> IwdEntry& {
    desc.entries.push_back({"images/" + name, data, deflate});
    return desc.entries.back();
  };
  add("crc_deflated.iwi", true).crc = 0x12345678;
  add("crc_stored.iwi", false).crc = 0x12345678;
  add("longer_than_data.iwi", true).uncompressed_size = uint32_t(data.size() + 100);
  add("shorter_than_data.iwi", true).uncompressed_size = uint32_t(data.size() - 100);
  add("stored_size_differs.iwi", false).uncompressed_size = uint32_t(data.size() + 1);
  add("past_deflate_ratio.iwi", true).uncompressed_size = 0x7FFFFFFF;
  add("past_the_archive.iwi", true).compressed_size = 0x00FFFFFF;
  add("encrypted.iwi", false).flags = 1;
  add("good.iwi", true);
  root.Archive("iw_00.iwd", desc);

  LogCapture log;
  NoticeBoard board;
  QorIWDUtils utils(board);
  IwdProgress p = RunPass(utils, root.path());
  EXPECT_EQ(p.total_refused, 8u) << log.Joined();
  EXPECT_EQ(p.total_copied, 1u);
  EXPECT_TRUE(log.Contains("'images/crc_deflated.iwi' in 'iw_00.iwd' not moved: CRC check failed"));
  EXPECT_TRUE(log.Contains("'images/longer_than_data.iwi' in 'iw_00.iwd' not moved: its data is not as long"));
  EXPECT_TRUE(log.Contains("'images/past_deflate_ratio.iwi' in 'iw_00.iwd' not moved: its stored size does not fit"));
  auto tree = Tree(root.images());
  ASSERT_EQ(tree.size(), 1u) << "no image and no partial file of a refused entry";
  EXPECT_EQ(tree["good.iwi"], data);
}

TEST(IwdPass, LeftoverPartialFileIsNeverTakenForAnImage) {
  TempRoot root;
  std::vector<uint8_t> data = MakeIwiBytes(4, 32, 32);
  IwdDesc desc;
  desc.entries = {{"images/cut.iwi", data}, {"images/cut.iwi.vantor-part", data}};
  root.Archive("iw_00.iwd", desc);
  // What a pass killed half way through "cut.iwi" leaves behind.
  root.MakeImagesFolder();
  shell_test::WriteText(root.images() + "/cut.iwi.vantor-part", "IWi");

  NoticeBoard board;
  QorIWDUtils utils(board);
  IwdProgress p = RunPass(utils, root.path());
  EXPECT_EQ(p.total_copied, 1u);
  EXPECT_EQ(p.total_skipped, 0u);
  EXPECT_EQ(p.total_seen, 1u);  // our partial names do not end in ".iwi": never written
  auto tree = Tree(root.images());
  ASSERT_EQ(tree.size(), 1u);
  EXPECT_EQ(tree["cut.iwi"], data);
}

TEST(IwdPass, PresentImagesMatchWhateverTheirCase) {
  TempRoot root;
  IwdDesc desc;
  desc.entries = {{"images/Stone.iwi", MakeIwiBytes(5, 16, 16)}, {"images/ui/icon.iwi", MakeIwiBytes(6, 16, 16)}};
  root.Archive("iw_00.iwd", desc);
  std::filesystem::create_directories(root.images() + "/UI");
  shell_test::WriteText(root.images() + "/stone.IWI", "mine");

  NoticeBoard board;
  QorIWDUtils utils(board);
  IwdProgress p = RunPass(utils, root.path());
  EXPECT_EQ(p.total_skipped, 1u);
  EXPECT_EQ(p.total_copied, 1u);
  auto tree = Tree(root.images());
  EXPECT_EQ(tree.size(), 2u);
  EXPECT_EQ(tree["UI/icon.iwi"], MakeIwiBytes(6, 16, 16));  // into the folder that is there
}

TEST(IwdPass, UnreadableArchiveIsReportedAndTheNextOneCopied) {
  TempRoot root;
  std::filesystem::create_directories(root.Sub("main"));
  shell_test::WriteText(root.Sub("main/broken.iwd"), "this is no zip file");
  root.Archive("iw_00.iwd", fixture::MakeImageArchive("a", 3));
  LogCapture log;
  NoticeBoard board;
  QorIWDUtils utils(board);
  IwdProgress p = RunPass(utils, root.path());
  EXPECT_EQ(p.total_copied, 3u);
  EXPECT_TRUE(log.Contains("IWDToImages:: 'broken.iwd' is not a readable ZIP archive"));
  auto reports = utils.TakeArchiveReports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_FALSE(reports[0].opened);
}

TEST(IwdPass, PermissionFailureEndsThePassWithTheAdministratorMessage) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into a read-only folder";
  TempRoot root;
  root.Archive("iw_00.iwd", fixture::MakeImageArchive("a", 3));
  root.Archive("iw_01.iwd", fixture::MakeImageArchive("b", 3));
  root.MakeImagesFolder();
  ASSERT_EQ(::chmod(root.images().c_str(), 0555), 0);
  LogCapture log;
  NoticeBoard board;
  QorIWDUtils utils(board);
  IwdProgress p = RunPass(utils, root.path());
  ::chmod(root.images().c_str(), 0755);
  EXPECT_TRUE(p.permission_failure);
  EXPECT_EQ(p.archive_index, 1u);
  EXPECT_EQ(p.total_seen, 1u);
  EXPECT_TRUE(log.Contains(
      "Copy IWI Error: File Handel failed due to permissions, please run program as admin"));
  std::optional<IwdMessage> m = TakeMessage(board);
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->text, "Can't move IWI's due to file permissions.\n\nPlease retart the program as administrator.");
  EXPECT_EQ(m->command, "close iwd_images_menu;");
}

TEST(IwdPass, BoardFollowsThePassWhileItRuns) {
  TempRoot root;
  root.Archive("iw_00.iwd", fixture::MakeImageArchive("a", 1500));
  root.Archive("iw_01.iwd", fixture::MakeImageArchive("b", 1500, 2));
  NoticeBoard board;
  QorIWDUtils utils(board);
  utils.SetRoot(root.path());
  ASSERT_TRUE(utils.IWDToImages());
  EXPECT_FALSE(utils.IWDToImages()) << "one pass at a time";
  // A frame's drain, faster than any frame: the bar never moves back and
  // the archive text never runs ahead of the bar.
  BoardSnapshot view;
  std::vector<std::string> commands;
  float last_fill = 0;
  while (!utils.WaitForPassFor(1)) {
    board.Drain(view);
    commands.insert(commands.end(), view.commands.begin(), view.commands.end());
    const float fill = view.Progress(iwd::kProgressName);
    EXPECT_GE(fill + 1e-6f, last_fill);
    last_fill = fill;
    if (view.Text(iwd::kArchiveText) == "1/2") {
      EXPECT_LE(fill, 0.5f + 1e-6f);
    }
  }
  utils.WaitForPass();
  board.Drain(view);
  commands.insert(commands.end(), view.commands.begin(), view.commands.end());
  EXPECT_EQ(utils.Progress().total_copied, 3000u);
  EXPECT_EQ(view.Progress(iwd::kProgressName), 1.0f);
  EXPECT_EQ(view.Text(iwd::kArchiveText), "2/2");
  EXPECT_EQ(view.Text(iwd::kImagesText), "\n\n1500\n\n0");
  EXPECT_EQ(view.Text(iwd::kArchiveNameText), "iw_01.iwd");
  EXPECT_EQ(view.Text(iwd::kPassText), "copied 3000  skipped 0");
  EXPECT_EQ(commands, std::vector<std::string>{"close iwd_images_menu;"});

  // A new game root empties the panel's texts and its bar.
  utils.Reset();
  board.Drain(view);
  EXPECT_EQ(view.Progress(iwd::kProgressName), 0.0f);
  EXPECT_EQ(view.Text(iwd::kImagesText), "\n\n0\n\n0");
  EXPECT_EQ(view.Text(iwd::kArchiveText), "");
}

}  // namespace
