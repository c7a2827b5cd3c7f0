// The file-backed hive: the ".reg" text both ways, registry key semantics,
// the atomic merging write, and damaged or half-written files.
#include "platform/registry.h"

#include <gtest/gtest.h>
#include <signal.h>        // Required for: signal(SIGXFSZ)
#include <sys/resource.h>  // Required for: setrlimit(RLIMIT_FSIZE)
#include <sys/stat.h>      // Required for: utimensat()
#include <unistd.h>        // Required for: symlink(), getpid()

#include <filesystem>
#include <thread>

#include "tests/shell/shell_test_support.h"
#include "tests/support/fifo.h"
#include "tests/support/scoped_env.h"

namespace {

using platform::RegistryStore, platform::RegStatus, platform::RegType, platform::RegValue;
using shell_test::Bytes, shell_test::Dword, shell_test::ReadText, shell_test::Sz, shell_test::TempDir,
    shell_test::WriteText;

constexpr const char* kKey = "Software\\Qor_Fen\\Vantor\\Folders";

RegStatus Set(RegistryStore& reg, const std::string& key, const char* name, RegType type, const Bytes& b) {
  return reg.SetValue(key, name, type, b.data(), b.size());
}
RegStatus SetDword(RegistryStore& reg, const std::string& key, const char* name, uint32_t v) {
  return Set(reg, key, name, RegType::kDword, Dword(v));
}
Bytes Query(const RegistryStore& reg, const std::string& key, const char* name) {
  RegValue v;
  EXPECT_EQ(reg.QueryValue(key, name, v), RegStatus::kOk) << key << "\\" << name;
  return v.data;
}
RegStatus Missing(const RegistryStore& reg, const std::string& key, const char* name) {
  RegValue v;
  return reg.QueryValue(key, name, v);
}
// A store on `file` with kKey\n set to `n`, flushed.
RegStatus WriteOne(RegistryStore& reg, const std::string& file, uint32_t n) {
  reg.Open(file);
  reg.CreateKey(kKey);
  SetDword(reg, kKey, "n", n);
  return reg.Flush();
}

TEST(RegistryFile, WritesTheRegExportFormat) {
  TempDir dir;
  RegistryStore reg;
  reg.Open(dir.Sub("registry.reg"));
  ASSERT_EQ(reg.CreateKey(kKey), RegStatus::kOk);
  Set(reg, kKey, "Cod4Path", RegType::kSz, Sz("C:\\Games\\\"COD4\""));
  SetDword(reg, kKey, "fps_active", 60);
  Set(reg, kKey, "draw_grid", RegType::kBinary, {1});
  ASSERT_EQ(reg.Flush(), RegStatus::kOk);
  EXPECT_EQ(ReadText(dir.Sub("registry.reg")),
            "Windows Registry Editor Version 5.00\n"
            "\n[HKEY_CURRENT_USER\\Software]\n"
            "\n[HKEY_CURRENT_USER\\Software\\Qor_Fen]\n"
            "\n[HKEY_CURRENT_USER\\Software\\Qor_Fen\\Vantor]\n"
            "\n[HKEY_CURRENT_USER\\Software\\Qor_Fen\\Vantor\\Folders]\n"
            "\"Cod4Path\"=\"C:\\\\Games\\\\\\\"COD4\\\"\"\n"
            "\"fps_active\"=dword:0000003c\n"
            "\"draw_grid\"=hex:01\n"
            "\n");
}

// Values that are not one plain line: quotes, backslashes, inner NULs and
// newlines, a string without its NUL, a short dword, binary past one line.
TEST(RegistryFile, RoundTripKeepsEveryTypeAndName) {
  Bytes long_binary;
  for (int i = 0; i < 100; ++i) long_binary.push_back(uint8_t(i * 7));
  const std::string odd("two\nlines\0inner", 15);
  const struct { const char* name; RegType type; Bytes data; } values[] = {
      {"path \"quoted\" \\ back", RegType::kSz, Sz("\\\\server\\share\\\"x\"\\")},
      {"", RegType::kSz, Sz("unnamed value")},
      {"empty", RegType::kSz, {0}},
      {"odd", RegType::kSz, Bytes(odd.begin(), odd.end())},
      {"no_nul", RegType::kSz, {'a', 'b', 'c'}},
      {"big", RegType::kDword, Dword(0xFFFFFFFFu)},
      {"short_dword", RegType::kDword, {1, 2}},
      {"key_map", RegType::kBinary, long_binary},
      {"nothing", RegType::kBinary, {}},
  };
  TempDir dir;
  {
    RegistryStore reg;
    reg.Open(dir.Sub("registry.reg"));
    reg.CreateKey(kKey);
    for (const auto& v : values) Set(reg, kKey, v.name, v.type, v.data);
    ASSERT_EQ(reg.Flush(), RegStatus::kOk);
  }
  RegistryStore back;
  const platform::RegLoadReport& report = back.Open(dir.Sub("registry.reg"));
  EXPECT_FALSE(report.damaged) << report.first_problem;
  for (const auto& v : values) {
    RegValue got;
    ASSERT_EQ(back.QueryValue(kKey, v.name, got), RegStatus::kOk) << v.name;
    EXPECT_EQ(got.type, v.type) << v.name;
    EXPECT_EQ(got.data, v.data) << v.name;
  }
}

TEST(RegistryFile, ReadsRegeditExportsWithCrLfCommentsAndDeletions) {
  TempDir dir;
  WriteText(dir.Sub("registry.reg"),
            "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
            "\r\n"
            "; exported by hand\r\n"
            "[HKEY_CURRENT_USER\\Software\\Qor_Fen\\Vantor\\HotKeys]\r\n"
            "\"key_map\"=hex:70,01,74,\\\r\n"
            "  00,6d,00\r\n"
            "@=\"default\"\r\n"
            "\"gone\"=dword:00000001\r\n"
            "\"gone\"=-\r\n"
            "[HKEY_CURRENT_USER\\Software\\Old]\r\n"
            "\"x\"=dword:00000002\r\n"
            "[-HKEY_CURRENT_USER\\Software\\Old]\r\n");
  RegistryStore reg;
  const platform::RegLoadReport& report = reg.Open(dir.Sub("registry.reg"));
  EXPECT_FALSE(report.damaged) << report.first_problem;
  const char* key = "Software\\Qor_Fen\\Vantor\\HotKeys";
  EXPECT_EQ(Query(reg, key, "key_map"), Bytes({0x70, 1, 0x74, 0, 0x6d, 0}));
  EXPECT_EQ(Query(reg, key, ""), Sz("default"));
  EXPECT_EQ(Missing(reg, key, "gone"), RegStatus::kNotFound);
  EXPECT_EQ(reg.OpenKey("Software\\Old"), RegStatus::kNotFound);
}

// Loading was once quadratic in the values of a key: 80,000 took minutes.
TEST(RegistryFile, KeyOfEightyThousandValuesLoads) {
  TempDir dir;
  std::string text = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Big]\n";
  for (int i = 0; i < 80000; ++i) text += "\"value_" + std::to_string(i) + "\"=dword:00000001\n";
  WriteText(dir.Sub("registry.reg"), text);
  RegistryStore reg;
  EXPECT_FALSE(reg.Open(dir.Sub("registry.reg")).damaged);
  EXPECT_EQ(Query(reg, "Big", "Value_79999"), Dword(1));
}

TEST(RegistryKeys, NamesCompareCaseInsensitivelyKeepTheirFirstSpellingAndMustExist) {
  RegistryStore reg;
  ASSERT_EQ(reg.CreateKey("Software\\Qor_Fen\\Vantor"), RegStatus::kOk);
  EXPECT_EQ(reg.OpenKey("SOFTWARE\\qor_fen\\VANTOR"), RegStatus::kOk);
  SetDword(reg, "Software\\Qor_Fen\\Vantor", "Init_Settings", 1);
  SetDword(reg, "software\\qor_fen\\vantor", "INIT_SETTINGS", 2);
  SetDword(reg, "Software\\Qor_Fen\\Vantor", "later", 3);
  EXPECT_EQ(Query(reg, "Software\\Qor_Fen\\Vantor", "init_settings"), Dword(2));
  EXPECT_EQ(reg.SetValue("Software\\Missing", "v", RegType::kBinary, "", 0), RegStatus::kNotFound);
  EXPECT_EQ(reg.CreateKey("Software\\bad\x01name"), RegStatus::kInvalidArgument);  // the file cannot hold it
  const std::string text = reg.ExportText();
  // Kept in its first place and spelling, before the value written after it.
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Qor_Fen\\Vantor]\n\"Init_Settings\"=dword:00000002\n\"later\""),
            std::string::npos) << text;
}

TEST(RegistryWrite, FailedWriteKeepsTheOldFileAndThePendingChanges) {
  TempDir dir;
  RegistryStore reg;
  ASSERT_EQ(WriteOne(reg, dir.Sub("registry.reg"), 1), RegStatus::kOk);
  const std::string before = ReadText(dir.Sub("registry.reg"));
  const Bytes big(8192, 0xab);
  Set(reg, kKey, "big", RegType::kBinary, big);
  // A file-size limit makes the write itself fail, as a full disk would.
  rlimit old_limit;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const rlimit small = {4096, old_limit.rlim_max};
  auto old_handler = ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  RegStatus failed = reg.Flush();
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  ::signal(SIGXFSZ, old_handler);

  EXPECT_EQ(failed, RegStatus::kIoError);
  EXPECT_EQ(ReadText(dir.Sub("registry.reg")), before);
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"registry.reg"});
  EXPECT_TRUE(reg.HasPendingChanges());
  ASSERT_EQ(reg.Flush(), RegStatus::kOk);
  RegistryStore back;
  back.Open(dir.Sub("registry.reg"));
  EXPECT_EQ(Query(back, kKey, "big"), big);
}

TEST(RegistryWrite, SymlinkedFileIsUpdatedWhereItLives) {
  TempDir dir;
  std::filesystem::create_directory(dir.Sub("dotfiles"));
  WriteText(dir.Sub("dotfiles/registry.reg"), "Windows Registry Editor Version 5.00\n\n");
  ASSERT_EQ(::symlink(dir.Sub("dotfiles/registry.reg").c_str(), dir.Sub("registry.reg").c_str()), 0);
  RegistryStore reg;
  ASSERT_EQ(WriteOne(reg, dir.Sub("registry.reg"), 7), RegStatus::kOk);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.Sub("registry.reg")));
  EXPECT_NE(ReadText(dir.Sub("dotfiles/registry.reg")).find("\"n\"=dword:00000007"), std::string::npos);
}

// A save killed between its temp file and the rename leaves the temp file;
// the next save removes those whose writer is gone or that are over a minute
// old, and leaves the rest alone.
TEST(RegistryWrite, SaveRemovesTempFilesOfKilledSaves) {
  TempDir dir;
  const std::string dead = "registry.reg.tmp-999999999-aaaaaa";  // above any process id
  const std::string old_style = "registry.reg.tmp-bbbbbb";
  const std::string live = "registry.reg.tmp-" + std::to_string(::getpid()) + "-cccccc";
  const std::string other = "other.reg.tmp-999999999-dddddd";
  for (const std::string& name : {dead, old_style, live, other}) WriteText(dir.Sub(name), "partial");
  timespec two_minutes_ago[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, dir.Sub(old_style).c_str(), two_minutes_ago, 0), 0);
  RegistryStore reg;
  ASSERT_EQ(WriteOne(reg, dir.Sub("registry.reg"), 1), RegStatus::kOk);
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{other, "registry.reg", live}));
}

TEST(RegistryDamage, SkipsBrokenLinesKeepsTheRestAndBacksUpTheFile) {
  TempDir dir;
  std::string too_deep = "[HKEY_CURRENT_USER";
  for (int i = 0; i < 600; ++i) too_deep += "\\k";
  const std::string text =
      "Windows Registry Editor Version 5.00\n"
      "\"orphan\"=dword:00000001\n"
      "[HKEY_CURRENT_USER\\Software\\Qor_Fen\\Vantor\\Misc]\n"
      "\"fps_active\"=dword:0000003c\n"
      "\"fps_sleepy\"=dword:001e\n"
      "\x01\x02 garbage \xff\n"
      "\"color_text\"=hex:ff,0g\n"
      "\"path\"=\"unterminated\n"
      "[HKEY_LOCAL_MACHINE\\Software]\n" +
      too_deep + "]\n"
      "[HKEY_CURRENT_USER\\Software\\Qor_Fen\\Vantor\\Sound]\n"
      "\"sound_all\"=hex:01\n";
  WriteText(dir.Sub("registry.reg"), text);
  RegistryStore reg;
  const platform::RegLoadReport& report = reg.Open(dir.Sub("registry.reg"));
  EXPECT_TRUE(report.damaged);
  EXPECT_EQ(report.skipped_lines, 7);
  EXPECT_NE(report.first_problem.find("line 2"), std::string::npos) << report.first_problem;
  EXPECT_EQ(ReadText(report.backup_path), text);
  const std::string misc = "Software\\Qor_Fen\\Vantor\\Misc";
  EXPECT_EQ(Query(reg, misc, "fps_active"), Dword(60));
  EXPECT_EQ(Query(reg, "Software\\Qor_Fen\\Vantor\\Sound", "sound_all"), Bytes({1}));
  EXPECT_EQ(Missing(reg, misc, "fps_sleepy"), RegStatus::kNotFound);
  EXPECT_EQ(Missing(reg, misc, "color_text"), RegStatus::kNotFound);
}

// A copy cut short at any byte: never a crash, never a value that differs
// from the one written, and a cut inside a line is always reported.
TEST(RegistryDamage, EveryTruncatedPrefixReadsSafely) {
  RegistryStore full;
  full.CreateKey(kKey);
  Set(full, kKey, "Cod4Path", RegType::kSz, Sz("C:\\Program Files\\COD4"));
  SetDword(full, kKey, "fps_active", 0x12345678);
  Set(full, kKey, "key_map", RegType::kBinary, Bytes(28, 0x61));
  const std::string text = full.ExportText();
  TempDir dir;
  for (size_t cut = 0; cut < text.size(); ++cut) {
    const std::string prefix = text.substr(0, cut);
    WriteText(dir.Sub("registry.reg"), prefix);
    RegistryStore reg;
    platform::RegLoadReport report = reg.Open(dir.Sub("registry.reg"));
    EXPECT_TRUE(report.damaged || (!prefix.empty() && prefix.back() == '\n')) << "cut at " << cut;
    if (report.damaged) continue;
    for (const char* name : {"Cod4Path", "fps_active", "key_map"}) {
      RegValue got;
      EXPECT_TRUE(reg.QueryValue(kKey, name, got) != RegStatus::kOk || got.data == Query(full, kKey, name))
          << name << " cut at " << cut;
    }
  }
}

// A file that is not read at all is never written over: a regular one (here
// grown past the size the store reads) is renamed aside first; a folder or a
// FIFO in its place is not ours to replace, and a FIFO is never even opened.
TEST(RegistryDamage, UnreadFileIsReportedAndNeverWrittenOver) {
  const std::string too_large = "Windows Registry Editor Version 5.00\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Qor_Fen\\Vantor]\n"
                                "\"Init_Settings\"=dword:00000001\n;" + std::string(17u << 20, 'x') + "\n";
  for (const std::string kind : {"folder", "fifo", "too large"}) {
    SCOPED_TRACE(kind);
    TempDir dir;
    const std::string file = dir.Sub("registry.reg");
    if (kind == "folder") std::filesystem::create_directory(file);
    if (kind == "fifo") {
      ASSERT_TRUE(test_support::MakeFifo(file));
    }
    if (kind == "too large") WriteText(file, too_large);

    RegistryStore reg;
    platform::RegLoadReport report;
    EXPECT_TRUE(test_support::ReturnsWithin(10, {file}, [&] { report = reg.Open(file); }));
    EXPECT_TRUE(report.damaged && report.unread);
    EXPECT_EQ(reg.OpenKey("Software"), RegStatus::kNotFound);
    reg.CreateKey(kKey);
    SetDword(reg, kKey, "n", 7);
    RegStatus flushed = RegStatus::kOk;
    EXPECT_TRUE(test_support::ReturnsWithin(10, {file}, [&] { flushed = reg.Flush(); }));
    if (kind == "too large") {
      EXPECT_EQ(flushed, RegStatus::kOk);
      EXPECT_TRUE(ReadText(dir.Sub("registry.reg.damaged")) == too_large);
      RegistryStore back;
      back.Open(file);
      EXPECT_EQ(Query(back, kKey, "n"), Dword(7));
    } else {
      EXPECT_EQ(flushed, RegStatus::kIoError);
      EXPECT_EQ(dir.Files(), std::vector<std::string>{"registry.reg"});
      EXPECT_EQ(test_support::IsFifo(file), kind == "fifo");
    }
  }
}

// Six threads on three stores of one file, as the window and the command
// line beside it (twenty `settings set` at once): each store is shared by
// two threads, no flush loses what another store flushed before it, and a
// flush brings in what the others wrote.
TEST(RegistryStore, ThreadsAndStoresShareOneFile) {
  TempDir dir;
  RegistryStore stores[3];
  for (RegistryStore& reg : stores) reg.Open(dir.Sub("registry.reg"));
  auto key_of = [](int t) { return std::string(kKey) + "\\t" + std::to_string(t); };
  std::vector<std::thread> threads;
  for (int t = 0; t < 6; ++t) {
    threads.emplace_back([&reg = stores[t % 3], key = key_of(t)] {
      reg.CreateKey(key);
      for (int i = 0; i < 50; ++i) {
        SetDword(reg, key, ("v" + std::to_string(i)).c_str(), uint32_t(i));
        RegValue v;
        reg.QueryValue(key, "v0", v);
        if (i % 10 == 0) reg.Flush();
      }
    });
  }
  for (std::thread& t : threads) t.join();
  for (RegistryStore& reg : stores) ASSERT_EQ(reg.Flush(), RegStatus::kOk);
  RegistryStore back;
  back.Open(dir.Sub("registry.reg"));
  for (int t = 0; t < 6; ++t) EXPECT_EQ(Query(back, key_of(t), "v49"), Dword(49));
  EXPECT_EQ(Query(stores[2], key_of(0), "v49"), Dword(49));
}

TEST(RegistryConfigDir, PrefersVantorThenAbsoluteXdgThenHome) {
  using test_support::ScopedEnv;
  ScopedEnv vantor("VANTOR_CONFIG_DIR", "/tmp/vantor-here");
  ScopedEnv xdg("XDG_CONFIG_HOME", "/xdg"), home("HOME", "/home/modder");
  EXPECT_EQ(platform::DefaultRegistryPath(), "/tmp/vantor-here/registry.reg");
  ScopedEnv no_vantor("VANTOR_CONFIG_DIR", std::nullopt);
  EXPECT_EQ(platform::ConfigDir(), "/xdg/vantor");
  ScopedEnv relative("XDG_CONFIG_HOME", "relative/xdg");
  EXPECT_EQ(platform::ConfigDir(), "/home/modder/.config/vantor");
}

}  // namespace
