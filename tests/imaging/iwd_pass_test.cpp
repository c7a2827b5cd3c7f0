// The copy pass: what it writes, what it skips, how it stops, and what it
// leaves for the main thread.
#include <gtest/gtest.h>
#include <sys/stat.h>  // Required for: stat(), chmod()
#include <unistd.h>    // Required for: geteuid()

#include <array>
#include <filesystem>

#include "tests/imaging/iwd_test_support.h"
#include "tests/shell/shell_test_support.h"

namespace {

using fixture::IwdDesc;
using fixture::IwdEntry;
using fixture::MakeIwiBytes;
using iwd_test::Bytes;
using iwd_test::IwdMessage;
using iwd_test::TakeMessage;
using iwd_test::Tree;

// Whole-pass counts: seen, copied, skipped, refused, failed.
std::array<uint32_t, 5> Counts(const IwdProgress& p) {
  return {p.total_seen, p.total_copied, p.total_skipped, p.total_refused, p.total_failed};
}

struct IwdPass : testing::Test {
  iwd_test::TempRoot root;
  shell_test::LogCapture log;
  NoticeBoard board;
  QorIWDUtils utils{board};
  IwdProgress Run() { return iwd_test::RunPass(utils, root.path()); }
};

TEST_F(IwdPass, SampleArchivesCopyTheirImagesFirstArchiveWinning) {
  ASSERT_TRUE(fixture::WriteSampleIwds(root.path()));
  IwdProgress p = Run();
  EXPECT_FALSE(p.running);
  EXPECT_EQ(p.progress_text, "2/2");
  EXPECT_EQ(p.archive_count, 2u);
  // The sound and the script are not images; sample_iwd_metal is in both.
  EXPECT_EQ(Counts(p), (std::array<uint32_t, 5>{6, 5, 1, 0, 0}));
  EXPECT_EQ(p.Fraction(), 1.0f);
  auto tree = Tree(root.images());
  EXPECT_EQ(tree.size(), 5u);
  EXPECT_EQ(tree["sample_iwd_metal.iwi"], MakeIwiBytes(12, 32, 32));
  EXPECT_EQ(tree["ui/sample_iwd_icon.iwi"], MakeIwiBytes(15, 16, 16));
  // The panel stays open on the result.
  EXPECT_FALSE(TakeMessage(board).has_value());
  EXPECT_EQ(p.ResultText(), "5 moved, 1 skipped, 0 failed");
  auto reports = utils.TakeArchiveReports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].name, "iw_00.iwd");
  EXPECT_EQ(reports[1].copied, 2u);
}

// Back-dated images: a rewrite would show in the time or the inode.
TEST_F(IwdPass, SecondPassWritesNothing) {
  root.Archive("iw_00.iwd", fixture::MakeImageArchive("a", 40));
  root.Archive("iw_01.iwd", fixture::MakeImageArchive("b", 40, 2));
  ASSERT_EQ(Run().total_copied, 80u);
  const auto long_ago = std::filesystem::file_time_type() + std::chrono::hours(24 * 365 * 40);
  auto stamps = [&] {
    std::map<std::string, std::pair<ino_t, std::filesystem::file_time_type>> out;
    for (const auto& e : std::filesystem::directory_iterator(root.images())) {
      struct stat st;
      EXPECT_EQ(::stat(e.path().c_str(), &st), 0);
      out[e.path().filename().string()] = {st.st_ino, std::filesystem::last_write_time(e.path())};
    }
    return out;
  };
  for (const auto& e : std::filesystem::directory_iterator(root.images()))
    std::filesystem::last_write_time(e.path(), long_ago);
  const auto before = stamps();
  const auto bytes = Tree(root.images());
  EXPECT_EQ(Counts(Run()), (std::array<uint32_t, 5>{80, 0, 80, 0, 0}));
  EXPECT_EQ(Tree(root.images()), bytes);
  EXPECT_EQ(stamps(), before);
}

// Only names ending in ".iwi", in any case, are images; the rest are not
// even counted.
TEST_F(IwdPass, EntriesThatAreNotImagesAreIgnoredAndNotCounted) {
  IwdDesc desc;
  desc.entries = {{"sound/", {}, false},
                  {"sound/shot.wav", std::vector<uint8_t>(300, 7)},
                  {"images/", {}, false},
                  {"images/loading.dds", Bytes("DDS ")},
                  {"images/x.iwi.sh", Bytes("#!")},
                  {"maps/mp/_load.gsc", Bytes("main(){}")},
                  {"images/Upper.IWI", MakeIwiBytes(4, 16, 16)}};
  root.Archive("iw_00.iwd", desc);
  EXPECT_EQ(Counts(Run()), (std::array<uint32_t, 5>{1, 1, 0, 0, 0}));
  EXPECT_EQ(Tree(root.images()), (std::map<std::string, std::vector<uint8_t>>{{"Upper.IWI", MakeIwiBytes(4, 16, 16)}}));
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
  EXPECT_TRUE(p.cancelled);
  EXPECT_EQ(p.total_copied, 5u);
  EXPECT_EQ(p.archive_index, 1u);
  auto tree = Tree(root.images());
  EXPECT_EQ(tree.size(), 5u);
  EXPECT_EQ(tree["a4.iwi"], MakeIwiBytes(4, 16, 16));
  EXPECT_FALSE(TakeMessage(board).has_value());  // the Cancel button closes the panel itself
  // The next pass starts afresh and finishes the job.
  p = Run();
  EXPECT_FALSE(p.cancelled);
  EXPECT_EQ(Counts(p), (std::array<uint32_t, 5>{16, 10, 5, 1, 0}));
}

TEST_F(IwdPass, NamesLeavingRawImagesAreRefusedCountedAndNamed) {
  IwdDesc desc;
  std::vector<std::string> hostile = {"images/../../escape.iwi", "images/../raw_level.iwi",
                                      "images\\..\\..\\backslash.iwi", root.Sub("absolute.iwi"),
                                      "C:/drive.iwi", "top_level.iwi"};
  for (const std::string& name : hostile) desc.entries.push_back({name, MakeIwiBytes(1, 16, 16)});
  desc.entries.push_back({"images/kept.iwi", MakeIwiBytes(2, 16, 16)});
  root.Archive("iw_00.iwd", desc);
  EXPECT_EQ(Counts(Run()), (std::array<uint32_t, 5>{7, 1, 0, 6, 0}));
  for (const std::string& name : hostile)
    EXPECT_TRUE(log.Contains("------ WARNING: Copy IWI Error: '" + name + "' in 'iw_00.iwd' not moved: its name leaves"))
        << name << "\n" << log.Joined();
  // Nothing but the archive and the one image anywhere under the root.
  auto everything = Tree(root.path());
  EXPECT_EQ(everything.size(), 2u);
  EXPECT_EQ(everything.count("raw/images/kept.iwi"), 1u);
}

TEST_F(IwdPass, EntriesWithBadCrcOrLyingSizesAreRefusedAndLeaveNoFile) {
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
  EXPECT_EQ(Counts(Run()), (std::array<uint32_t, 5>{9, 1, 0, 8, 0})) << log.Joined();
  for (const char* text : {"'images/crc_deflated.iwi' in 'iw_00.iwd' not moved: CRC check failed",
                           "'images/longer_than_data.iwi' in 'iw_00.iwd' not moved: its data is not as long",
                           "'images/past_deflate_ratio.iwi' in 'iw_00.iwd' not moved: its stored size does not fit"})
    EXPECT_TRUE(log.Contains(text)) << text;
  // No image and no partial file of a refused entry.
  EXPECT_EQ(Tree(root.images()), (std::map<std::string, std::vector<uint8_t>>{{"good.iwi", data}}));
}

// What a pass killed half way through "cut.iwi" leaves behind; our partial
// names do not end in ".iwi", so none is ever written from an archive.
TEST_F(IwdPass, LeftoverPartialFileIsNeverTakenForAnImage) {
  std::vector<uint8_t> data = MakeIwiBytes(4, 32, 32);
  IwdDesc desc;
  desc.entries = {{"images/cut.iwi", data}, {"images/cut.iwi.vantor-part", data}};
  root.Archive("iw_00.iwd", desc);
  root.MakeImagesFolder();
  shell_test::WriteText(root.images() + "/cut.iwi.vantor-part", "IWi");
  EXPECT_EQ(Counts(Run()), (std::array<uint32_t, 5>{1, 1, 0, 0, 0}));
  EXPECT_EQ(Tree(root.images()), (std::map<std::string, std::vector<uint8_t>>{{"cut.iwi", data}}));
}

TEST_F(IwdPass, PresentImagesMatchWhateverTheirCase) {
  IwdDesc desc;
  desc.entries = {{"images/Stone.iwi", MakeIwiBytes(5, 16, 16)}, {"images/ui/icon.iwi", MakeIwiBytes(6, 16, 16)}};
  root.Archive("iw_00.iwd", desc);
  std::filesystem::create_directories(root.images() + "/UI");
  shell_test::WriteText(root.images() + "/stone.IWI", "mine");
  EXPECT_EQ(Counts(Run()), (std::array<uint32_t, 5>{2, 1, 1, 0, 0}));
  auto tree = Tree(root.images());
  EXPECT_EQ(tree.size(), 2u);
  EXPECT_EQ(tree["UI/icon.iwi"], MakeIwiBytes(6, 16, 16));  // into the folder that is there
}

TEST_F(IwdPass, UnreadableArchiveIsReportedAndTheNextOneCopied) {
  std::filesystem::create_directories(root.Sub("main"));
  shell_test::WriteText(root.Sub("main/broken.iwd"), "this is no zip file");
  root.Archive("iw_00.iwd", fixture::MakeImageArchive("a", 3));
  EXPECT_EQ(Run().total_copied, 3u);
  EXPECT_TRUE(log.Contains("IWDToImages:: 'broken.iwd' is not a readable ZIP archive"));
  auto reports = utils.TakeArchiveReports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_FALSE(reports[0].opened);
}

TEST_F(IwdPass, PermissionFailureEndsThePassWithTheAdministratorMessage) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into a read-only folder";
  root.Archive("iw_00.iwd", fixture::MakeImageArchive("a", 3));
  root.Archive("iw_01.iwd", fixture::MakeImageArchive("b", 3));
  root.MakeImagesFolder();
  ASSERT_EQ(::chmod(root.images().c_str(), 0555), 0);
  IwdProgress p = Run();
  ::chmod(root.images().c_str(), 0755);
  EXPECT_TRUE(p.permission_failure);
  EXPECT_EQ(p.archive_index, 1u);
  EXPECT_EQ(p.total_seen, 1u);
  EXPECT_TRUE(log.Contains("Copy IWI Error: File Handel failed due to permissions, please run program as admin"));
  std::optional<IwdMessage> m = TakeMessage(board);
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->text, "Can't move IWI's due to file permissions.\n\nPlease retart the program as administrator.");
  EXPECT_EQ(m->command, "close iwd_images_menu;");
}

// Drained faster than any frame: the bar never moves back, the archive text
// never runs ahead of the bar, and a new root empties the panel.
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
  board.Drain(view);
  commands.insert(commands.end(), view.commands.begin(), view.commands.end());
  EXPECT_EQ(view.Progress(iwd::kProgressName), 1.0f);
  EXPECT_EQ(std::vector<std::string>({view.Text(iwd::kArchiveText), view.Text(iwd::kImagesText),
                                      view.Text(iwd::kArchiveNameText), view.Text(iwd::kPassText),
                                      view.Text(iwd::kResultText)}),
            std::vector<std::string>({"2/2", "\n\n1500\n\n0", "iw_01.iwd", "copied 3000  skipped 0",
                                      "3000 moved, 0 skipped, 0 failed"}));
  EXPECT_EQ(commands, std::vector<std::string>{});  // the panel stays open on the result
  utils.Reset();
  board.Drain(view);
  EXPECT_EQ(view.Text(iwd::kResultText), "");
  EXPECT_EQ(view.Progress(iwd::kProgressName), 0.0f);
  EXPECT_EQ(view.Text(iwd::kImagesText), "\n\n0\n\n0");
  EXPECT_EQ(view.Text(iwd::kArchiveText), "");
}

}  // namespace
