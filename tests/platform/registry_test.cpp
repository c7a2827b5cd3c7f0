// The file-backed hive: the ".reg" text both ways, registry key semantics,
// the atomic merging write, and damaged or half-written files.
#include "platform/registry.h"

#include <gtest/gtest.h>
#include <signal.h>        // Required for: signal(SIGXFSZ)
#include <sys/resource.h>  // Required for: setrlimit(RLIMIT_FSIZE)
#include <sys/stat.h>      // Required for: utimensat()
#include <unistd.h>        // Required for: symlink(), getpid()

#include <filesystem>
#include <optional>
#include <thread>

#include "tests/shell/shell_test_support.h"
#include "tests/support/fifo.h"

namespace {

using platform::RegistryStore;
using platform::RegStatus;
using platform::RegType;
using platform::RegValue;
using shell_test::ReadText;
using shell_test::TempDir;
using shell_test::WriteText;

constexpr const char* kKey = "Software\\Qor_Fen\\Vantor\\Folders";

RegStatus SetString(RegistryStore& reg, const char* key, const char* name, const std::string& s) {
  return reg.SetValue(key, name, RegType::kSz, s.c_str(), s.size() + 1);
}

RegStatus SetDword(RegistryStore& reg, const char* key, const char* name, uint32_t v) {
  uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  return reg.SetValue(key, name, RegType::kDword, b, 4);
}

RegValue Query(const RegistryStore& reg, const char* key, const char* name) {
  RegValue v;
  EXPECT_EQ(reg.QueryValue(key, name, v), RegStatus::kOk) << key << "\\" << name;
  return v;
}

std::vector<uint8_t> Bytes(std::initializer_list<int> list) {
  std::vector<uint8_t> out;
  for (int b : list) out.push_back(uint8_t(b));
  return out;
}

TEST(RegistryFile, WritesTheRegExportFormat) {
  TempDir dir;
  RegistryStore reg;
  reg.Open(dir.Sub("registry.reg"));
  ASSERT_EQ(reg.CreateKey(kKey), RegStatus::kOk);
  SetString(reg, kKey, "Cod4Path", "C:\\Games\\\"COD4\"");
  SetDword(reg, kKey, "fps_active", 60);
  std::vector<uint8_t> one = {1};
  reg.SetValue(kKey, "draw_grid", RegType::kBinary, one.data(), one.size());
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

TEST(RegistryFile, RoundTripKeepsEveryTypeAndName) {
  TempDir dir;
  std::vector<uint8_t> long_binary;
  for (int i = 0; i < 100; ++i) long_binary.push_back(uint8_t(i * 7));  // wraps over lines
  std::string odd_string("two\nlines\0inner", 15);                      // not one plain line
  {
    RegistryStore reg;
    reg.Open(dir.Sub("registry.reg"));
    reg.CreateKey(kKey);
    SetString(reg, kKey, "path \"quoted\" \\ back", "\\\\server\\share\\\"x\"\\");
    SetString(reg, kKey, "", "unnamed value");
    SetString(reg, kKey, "empty", "");
    reg.SetValue(kKey, "odd", RegType::kSz, odd_string.data(), odd_string.size());
    reg.SetValue(kKey, "no_nul", RegType::kSz, "abc", 3);
    SetDword(reg, kKey, "big", 0xFFFFFFFFu);
    reg.SetValue(kKey, "short_dword", RegType::kDword, "\x01\x02", 2);
    reg.SetValue(kKey, "key_map", RegType::kBinary, long_binary.data(), long_binary.size());
    reg.SetValue(kKey, "nothing", RegType::kBinary, nullptr, 0);
    ASSERT_EQ(reg.Flush(), RegStatus::kOk);
  }
  RegistryStore back;
  const platform::RegLoadReport& report = back.Open(dir.Sub("registry.reg"));
  EXPECT_FALSE(report.damaged) << report.first_problem;

  std::string s = "\\\\server\\share\\\"x\"\\";
  RegValue v = Query(back, kKey, "path \"quoted\" \\ back");
  EXPECT_EQ(v.type, RegType::kSz);
  EXPECT_EQ(std::string(v.data.begin(), v.data.end()), std::string(s.c_str(), s.size() + 1));
  EXPECT_EQ(Query(back, kKey, "").data.size(), sizeof "unnamed value");
  EXPECT_EQ(Query(back, kKey, "empty").data, Bytes({0}));
  v = Query(back, kKey, "odd");
  EXPECT_EQ(v.type, RegType::kSz);
  EXPECT_EQ(std::string(v.data.begin(), v.data.end()), odd_string);
  EXPECT_EQ(Query(back, kKey, "no_nul").data, Bytes({'a', 'b', 'c'}));
  v = Query(back, kKey, "big");
  EXPECT_EQ(v.type, RegType::kDword);
  EXPECT_EQ(v.data, Bytes({0xff, 0xff, 0xff, 0xff}));
  v = Query(back, kKey, "short_dword");
  EXPECT_EQ(v.type, RegType::kDword);
  EXPECT_EQ(v.data, Bytes({1, 2}));
  v = Query(back, kKey, "key_map");
  EXPECT_EQ(v.type, RegType::kBinary);
  EXPECT_EQ(v.data, long_binary);
  EXPECT_TRUE(Query(back, kKey, "nothing").data.empty());
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
  EXPECT_EQ(Query(reg, key, "key_map").data, Bytes({0x70, 1, 0x74, 0, 0x6d, 0}));
  EXPECT_EQ(Query(reg, key, "").data.size(), sizeof "default");
  RegValue v;
  EXPECT_EQ(reg.QueryValue(key, "gone", v), RegStatus::kNotFound);
  EXPECT_EQ(reg.OpenKey("Software\\Old"), RegStatus::kNotFound);
}

TEST(RegistryKeys, NamesCompareCaseInsensitivelyAndKeepTheirFirstSpelling) {
  RegistryStore reg;
  ASSERT_EQ(reg.CreateKey("Software\\Qor_Fen\\Vantor"), RegStatus::kOk);
  EXPECT_EQ(reg.OpenKey("SOFTWARE\\qor_fen\\VANTOR"), RegStatus::kOk);
  SetDword(reg, "Software\\Qor_Fen\\Vantor", "Init_Settings", 1);
  SetDword(reg, "software\\qor_fen\\vantor", "INIT_SETTINGS", 2);
  EXPECT_EQ(Query(reg, "Software\\Qor_Fen\\Vantor", "init_settings").data, Bytes({2, 0, 0, 0}));
  std::string text = reg.ExportText();
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Qor_Fen\\Vantor]\n\"Init_Settings\"=dword:00000002"),
            std::string::npos)
      << text;
}

TEST(RegistryKeys, DeleteKeyFollowsRegistryRules) {
  RegistryStore reg;
  reg.CreateKey("Software\\A\\B");
  reg.CreateKey("Software\\A\\c");
  EXPECT_EQ(reg.DeleteKey("Software\\A"), RegStatus::kHasSubkeys);
  EXPECT_EQ(reg.DeleteKey("Software\\Missing"), RegStatus::kNotFound);
  EXPECT_EQ(reg.DeleteKey(""), RegStatus::kInvalidArgument);
  EXPECT_EQ(reg.SetValue("Software\\Missing", "v", RegType::kBinary, "", 0), RegStatus::kNotFound);

  std::string name;
  ASSERT_EQ(reg.EnumSubKey("Software\\A", 0, name), RegStatus::kOk);
  EXPECT_EQ(name, "B");
  ASSERT_EQ(reg.EnumSubKey("Software\\A", 1, name), RegStatus::kOk);
  EXPECT_EQ(name, "c");
  EXPECT_EQ(reg.EnumSubKey("Software\\A", 2, name), RegStatus::kNoMoreItems);

  EXPECT_EQ(reg.DeleteKey("Software\\A\\B"), RegStatus::kOk);
  EXPECT_EQ(reg.DeleteKey("Software\\A\\C"), RegStatus::kOk);
  EXPECT_EQ(reg.DeleteKey("Software\\A"), RegStatus::kOk);
  EXPECT_EQ(reg.OpenKey("Software\\A"), RegStatus::kNotFound);
  EXPECT_EQ(reg.CreateKey("Software\\bad\x01name"), RegStatus::kInvalidArgument);
}

TEST(RegistryWrite, FailedWriteKeepsTheOldFileAndThePendingChanges) {
  TempDir dir;
  RegistryStore reg;
  reg.Open(dir.Sub("registry.reg"));
  reg.CreateKey(kKey);
  SetDword(reg, kKey, "n", 1);
  ASSERT_EQ(reg.Flush(), RegStatus::kOk);
  const std::string before = ReadText(dir.Sub("registry.reg"));

  std::vector<uint8_t> big(8192, 0xab);
  reg.SetValue(kKey, "big", RegType::kBinary, big.data(), big.size());
  // A file-size limit makes the write itself fail, as a full disk would.
  rlimit old_limit;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  rlimit small = old_limit;
  small.rlim_cur = 4096;
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
  EXPECT_EQ(Query(back, kKey, "big").data, big);
}

TEST(RegistryWrite, FlushMergesChangesAnotherProgramWrote) {
  TempDir dir;
  RegistryStore window, command_line;
  window.Open(dir.Sub("registry.reg"));
  command_line.Open(dir.Sub("registry.reg"));

  command_line.CreateKey(kKey);
  SetString(command_line, kKey, "Cod4Path", "/games/cod4");
  ASSERT_EQ(command_line.Flush(), RegStatus::kOk);

  window.CreateKey("Software\\Qor_Fen\\Vantor\\Menus");
  SetDword(window, "Software\\Qor_Fen\\Vantor\\Menus", "x", 5);
  ASSERT_EQ(window.Flush(), RegStatus::kOk);

  RegistryStore back;
  back.Open(dir.Sub("registry.reg"));
  EXPECT_EQ(Query(back, kKey, "Cod4Path").data.size(), sizeof "/games/cod4");
  EXPECT_EQ(Query(back, "Software\\Qor_Fen\\Vantor\\Menus", "x").data, Bytes({5, 0, 0, 0}));
  // The window now sees the other program's value too.
  EXPECT_EQ(Query(window, kKey, "Cod4Path").data.size(), sizeof "/games/cod4");
}

TEST(RegistryWrite, SymlinkedFileIsUpdatedWhereItLives) {
  TempDir dir;
  std::filesystem::create_directory(dir.Sub("dotfiles"));
  WriteText(dir.Sub("dotfiles/registry.reg"), "Windows Registry Editor Version 5.00\n\n");
  ASSERT_EQ(::symlink(dir.Sub("dotfiles/registry.reg").c_str(), dir.Sub("registry.reg").c_str()), 0);
  RegistryStore reg;
  reg.Open(dir.Sub("registry.reg"));
  reg.CreateKey(kKey);
  SetDword(reg, kKey, "n", 7);
  ASSERT_EQ(reg.Flush(), RegStatus::kOk);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.Sub("registry.reg")));
  EXPECT_NE(ReadText(dir.Sub("dotfiles/registry.reg")).find("\"n\"=dword:00000007"),
            std::string::npos);
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

  EXPECT_EQ(Query(reg, "Software\\Qor_Fen\\Vantor\\Misc", "fps_active").data, Bytes({60, 0, 0, 0}));
  EXPECT_EQ(Query(reg, "Software\\Qor_Fen\\Vantor\\Sound", "sound_all").data, Bytes({1}));
  RegValue v;
  EXPECT_EQ(reg.QueryValue("Software\\Qor_Fen\\Vantor\\Misc", "fps_sleepy", v), RegStatus::kNotFound);
  EXPECT_EQ(reg.QueryValue("Software\\Qor_Fen\\Vantor\\Misc", "color_text", v), RegStatus::kNotFound);
}

// A copy cut short at any byte: never a crash, never a value that differs
// from the one written, and a cut inside a line is always reported.
TEST(RegistryDamage, EveryTruncatedPrefixReadsSafely) {
  RegistryStore full;
  full.CreateKey(kKey);
  SetString(full, kKey, "Cod4Path", "C:\\Program Files\\COD4");
  SetDword(full, kKey, "fps_active", 0x12345678);
  std::vector<uint8_t> key_map(28);
  for (size_t i = 0; i < key_map.size(); ++i) key_map[i] = uint8_t(0x61 + i);
  full.SetValue(kKey, "key_map", RegType::kBinary, key_map.data(), key_map.size());
  const std::string text = full.ExportText();

  TempDir dir;
  for (size_t cut = 0; cut < text.size(); ++cut) {
    const std::string prefix = text.substr(0, cut);
    WriteText(dir.Sub("registry.reg"), prefix);
    RegistryStore reg;
    platform::RegLoadReport report = reg.Open(dir.Sub("registry.reg"));
    if (prefix.empty() || prefix.back() != '\n') {
      EXPECT_TRUE(report.damaged) << "cut at " << cut;
    }
    if (report.damaged) continue;
    for (const char* name : {"Cod4Path", "fps_active", "key_map"}) {
      RegValue got, want;
      if (reg.QueryValue(kKey, name, got) != RegStatus::kOk) continue;
      full.QueryValue(kKey, name, want);
      EXPECT_EQ(got.data, want.data) << name << " cut at " << cut;
    }
  }
}

// A file that is not read at all is never written over: a regular one (here
// grown past the size the store reads) is renamed aside first; a folder or a
// FIFO in its place is not ours to replace, and a FIFO is never even opened.
TEST(RegistryDamage, UnreadFileIsReportedAndNeverWrittenOver) {
  const std::string too_large = std::string("Windows Registry Editor Version 5.00\n\n") +
                                "[HKEY_CURRENT_USER\\Software\\Qor_Fen\\Vantor]\n" +
                                "\"Init_Settings\"=dword:00000001\n;" + std::string(17u << 20, 'x') +
                                "\n";
  for (const char* kind : {"folder", "fifo", "too large"}) {
    SCOPED_TRACE(kind);
    TempDir dir;
    const std::string file = dir.Sub("registry.reg");
    if (kind == std::string("folder")) std::filesystem::create_directory(file);
    if (kind == std::string("fifo")) {
      ASSERT_TRUE(test_support::MakeFifo(file));
    }
    if (kind == std::string("too large")) WriteText(file, too_large);

    RegistryStore reg;
    platform::RegLoadReport report;
    EXPECT_TRUE(test_support::ReturnsWithin(10, {file}, [&] { report = reg.Open(file); }));
    EXPECT_TRUE(report.damaged);
    EXPECT_TRUE(report.unread);
    EXPECT_EQ(reg.OpenKey("Software"), RegStatus::kNotFound);
    reg.CreateKey(kKey);
    SetDword(reg, kKey, "n", 7);
    RegStatus flushed = RegStatus::kOk;
    EXPECT_TRUE(test_support::ReturnsWithin(10, {file}, [&] { flushed = reg.Flush(); }));
    if (kind == std::string("too large")) {
      EXPECT_EQ(flushed, RegStatus::kOk);
      EXPECT_TRUE(ReadText(dir.Sub("registry.reg.damaged")) == too_large);
      RegistryStore back;
      back.Open(file);
      EXPECT_EQ(Query(back, kKey, "n").data, Bytes({7, 0, 0, 0}));
    } else {
      EXPECT_EQ(flushed, RegStatus::kIoError);
      EXPECT_EQ(dir.Files(), std::vector<std::string>{"registry.reg"});
      EXPECT_EQ(test_support::IsFifo(file), kind == std::string("fifo"));
    }
  }
}

// Loading was once quadratic in the values of a key: 80,000 took minutes.
TEST(RegistryFile, KeyOfEightyThousandValuesLoadsAndSaves) {
  TempDir dir;
  constexpr int kValues = 80000;
  std::string text = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Big]\n";
  char line[64];
  for (int i = 0; i < kValues; ++i) {
    std::snprintf(line, sizeof line, "\"value_%d\"=dword:%08x\n", i, unsigned(i));
    text += line;
  }
  text += "\"VALUE_7\"=dword:00000063\n";  // names fold: this replaces value_7
  text += "\"value_8\"=-\n";
  WriteText(dir.Sub("registry.reg"), text);

  RegistryStore reg;
  EXPECT_FALSE(reg.Open(dir.Sub("registry.reg")).damaged);
  EXPECT_EQ(Query(reg, "Big", "Value_79999").data, Bytes({0x7f, 0x38, 0x01, 0}));
  EXPECT_EQ(Query(reg, "Big", "value_7").data, Bytes({0x63, 0, 0, 0}));
  RegValue gone;
  EXPECT_EQ(reg.QueryValue("Big", "value_8", gone), RegStatus::kNotFound);
  SetDword(reg, "Big", "value_0", 5);
  ASSERT_EQ(reg.Flush(), RegStatus::kOk);

  RegistryStore back;
  back.Open(dir.Sub("registry.reg"));
  EXPECT_EQ(Query(back, "Big", "value_0").data, Bytes({5, 0, 0, 0}));
  const std::string saved = back.ExportText();
  // Written in the order first written, the replaced one in its first place.
  EXPECT_LT(saved.find("\"value_6\""), saved.find("\"value_7\"=dword:00000063"));
  EXPECT_LT(saved.find("\"value_7\""), saved.find("\"value_9\""));
  EXPECT_EQ(saved.find("value_8\""), std::string::npos);
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
  reg.Open(dir.Sub("registry.reg"));
  reg.CreateKey(kKey);
  SetDword(reg, kKey, "n", 1);
  ASSERT_EQ(reg.Flush(), RegStatus::kOk);
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{other, "registry.reg", live}));
}

TEST(RegistryStore, ThreadsShareOneStore) {
  TempDir dir;
  RegistryStore reg;
  reg.Open(dir.Sub("registry.reg"));
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&reg, t] {
      std::string key = std::string(kKey) + "\\t" + std::to_string(t);
      reg.CreateKey(key);
      for (int i = 0; i < 50; ++i) {
        SetDword(reg, key.c_str(), ("v" + std::to_string(i)).c_str(), uint32_t(i));
        RegValue v;
        reg.QueryValue(key, "v0", v);
        if (i % 10 == 0) reg.Flush();
      }
    });
  }
  for (std::thread& t : threads) t.join();
  ASSERT_EQ(reg.Flush(), RegStatus::kOk);
  RegistryStore back;
  back.Open(dir.Sub("registry.reg"));
  for (int t = 0; t < 4; ++t) {
    std::string key = std::string(kKey) + "\\t" + std::to_string(t);
    EXPECT_EQ(Query(back, key.c_str(), "v49").data, Bytes({49, 0, 0, 0}));
  }
}

TEST(RegistryConfigDir, PrefersVantorThenAbsoluteXdgThenHome) {
  auto keep = [](const char* name) {
    const char* v = std::getenv(name);
    return v ? std::optional<std::string>(v) : std::nullopt;
  };
  auto restore = [](const char* name, const std::optional<std::string>& v) {
    if (v) ::setenv(name, v->c_str(), 1);
    else ::unsetenv(name);
  };
  auto vantor = keep("VANTOR_CONFIG_DIR"), xdg = keep("XDG_CONFIG_HOME"), home = keep("HOME");

  ::setenv("VANTOR_CONFIG_DIR", "/tmp/vantor-here", 1);
  ::setenv("XDG_CONFIG_HOME", "/xdg", 1);
  ::setenv("HOME", "/home/modder", 1);
  EXPECT_EQ(platform::DefaultRegistryPath(), "/tmp/vantor-here/registry.reg");
  ::unsetenv("VANTOR_CONFIG_DIR");
  EXPECT_EQ(platform::ConfigDir(), "/xdg/vantor");
  ::setenv("XDG_CONFIG_HOME", "relative/xdg", 1);
  EXPECT_EQ(platform::ConfigDir(), "/home/modder/.config/vantor");

  restore("VANTOR_CONFIG_DIR", vantor);
  restore("XDG_CONFIG_HOME", xdg);
  restore("HOME", home);
}

}  // namespace
