#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "RecentFiles.h"
#include "Settings.h"

namespace fs = std::filesystem;

namespace {

class SettingsFile : public ::testing::Test {
 protected:
  fs::path Dir, File;
  void SetUp() override {
    Dir = fs::temp_directory_path() /
          ("quillon_settings_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
    File = Dir / SettingsFileName;
  }
  void TearDown() override { fs::remove_all(Dir); }
  void Put(const std::string& text) { std::ofstream(File, std::ios::binary) << text; }
  std::string Get() {
    std::ifstream in(File, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

TEST_F(SettingsFile, MissingFileGivesDefaultsAndIsCreatedWithEveryKey) {
  EXPECT_EQ(ReadSettings(File), TSettings{});
  ASSERT_TRUE(WriteSettings(File, TSettings{}));
  EXPECT_EQ(Get(),
            "[T1_SETTING]\nCpuWait=240\nFlipFreq=30\nSubNmi=20\nMcpuIrq=203\n"
            "KeyCh_ESC=1\nKeyByChar=0\nBootMode=0\nDspMode=0\nBeep=1\nLanguage=ja\nSmooth=0\n");
  EXPECT_EQ(fs::directory_iterator(Dir)->path(), File) << "no temporary file left behind";
}

TEST_F(SettingsFile, ValuesReadWithoutCaseInSectionAndKeyNames) {
  Put("[t1_setting]\r\ncpuwait = 100\r\nFLIPFREQ=60\r\nSubNmi=\"15\"\r\nKeyCh_ESC=0\r\nBootMode=1\r\n"
      "DspMode=1\r\nkeybychar=1\r\n");
  TSettings s = ReadSettings(File);
  EXPECT_EQ(s.CpuWait, 100);
  EXPECT_EQ(s.FlipFreq, 60);
  EXPECT_EQ(s.SubNmi, 15);
  EXPECT_EQ(s.McpuIrq, 203);  // missing key
  EXPECT_FALSE(s.KeyCh_ESC);
  EXPECT_TRUE(s.KeyByChar);
  EXPECT_EQ(s.BootMode, 1);
  EXPECT_EQ(s.DspMode, 1);
}

TEST_F(SettingsFile, CpuWaitKeepsLowEightBitsAndIsWrittenBackSo) {
  Put("[T1_SETTING]\nCpuWait=300\n");
  TSettings s = ReadSettings(File);
  EXPECT_EQ(s.CpuWait, 44);
  ASSERT_TRUE(WriteSettings(File, s));
  EXPECT_NE(Get().find("CpuWait=44\n"), std::string::npos);
}

TEST_F(SettingsFile, NonDecimalValuesGiveDefaults) {
  Put("[T1_SETTING]\nCpuWait=12abc\nFlipFreq=$10\nSubNmi=\nMcpuIrq=99999999999\nKeyCh_ESC=yes\n"
      "BootMode=0x1\n");
  EXPECT_EQ(ReadSettings(File), TSettings{});
}

TEST_F(SettingsFile, ValuesThatWouldBreakTheProgramAreClamped) {
  struct Case {
    const char* line;
    int32_t TSettings::*field;
    int32_t expected;
  } cases[] = {
      {"FlipFreq=0", &TSettings::FlipFreq, 1},    {"FlipFreq=-5", &TSettings::FlipFreq, 1},
      {"SubNmi=0", &TSettings::SubNmi, 10},       {"SubNmi=1000", &TSettings::SubNmi, 50},
      {"McpuIrq=1", &TSettings::McpuIrq, 100},    {"McpuIrq=-203", &TSettings::McpuIrq, 100},
      {"McpuIrq=70000", &TSettings::McpuIrq, 500}, {"DspMode=2", &TSettings::DspMode, 1},
      {"DspMode=-1", &TSettings::DspMode, 0},
  };
  for (const Case& c : cases) {
    Put(std::string("[T1_SETTING]\n") + c.line + "\n");
    EXPECT_EQ(ReadSettings(File).*c.field, c.expected) << c.line;
  }
}

// The beep and the language: bad values give the defaults (on, Japanese).
TEST_F(SettingsFile, BeepAndLanguage) {
  struct Case {
    const char* lines;
    bool beep;
    const char* language;
  } cases[] = {
      {"Beep=0\nLanguage=en", false, "en"}, {"Beep=2\nLanguage=EN", true, "en"},
      {"Beep=off\nLanguage=fr", true, "ja"}, {"Language=\"en\"", true, "en"},
      {"Language=english", true, "ja"},
  };
  for (const Case& c : cases) {
    Put(std::string("[T1_SETTING]\n") + c.lines + "\n");
    const TSettings s = ReadSettings(File);
    EXPECT_EQ(s.Beep, c.beep) << c.lines;
    EXPECT_EQ(s.Language, c.language) << c.lines;
    ASSERT_TRUE(WriteSettings(File, s));
    EXPECT_EQ(ReadSettings(File), s) << "written back as read: " << c.lines;
  }
}

TEST_F(SettingsFile, KeyInAnotherSectionIsNotUsed) {
  Put("[OTHER]\nCpuWait=7\n[T1_SETTING]\nFlipFreq=10\n");
  TSettings s = ReadSettings(File);
  EXPECT_EQ(s.CpuWait, 240);
  EXPECT_EQ(s.FlipFreq, 10);
}

TEST_F(SettingsFile, WritingKeepsEveryOtherLineByteForByte) {
  const std::string before =
      "; my notes\r\n"
      "[Before]\r\n"
      "CpuWait=1\r\n"
      "\r\n"
      "[t1_setting]\r\n"
      "; speed\r\n"
      "cpuwait = 100\r\n"
      "Unknown=keep me\r\n"
      "FlipFreq=15\r\n"
      "\r\n"
      "[After]\r\n"
      "x=\"quoted\"  \r\n";
  Put(before);
  TSettings s = ReadSettings(File);
  s.CpuWait = 200;
  ASSERT_TRUE(WriteSettings(File, s));
  EXPECT_EQ(Get(),
            "; my notes\r\n"
            "[Before]\r\n"
            "CpuWait=1\r\n"
            "\r\n"
            "[t1_setting]\r\n"
            "; speed\r\n"
            "CpuWait=200\r\n"
            "Unknown=keep me\r\n"
            "FlipFreq=15\r\n"
            "SubNmi=20\r\n"
            "McpuIrq=203\r\n"
            "KeyCh_ESC=1\r\n"
            "KeyByChar=0\r\n"
            "BootMode=0\r\n"
            "DspMode=0\r\n"
            "Beep=1\r\n"
            "Language=ja\r\n"
            "Smooth=0\r\n"
            "\r\n"
            "[After]\r\n"
            "x=\"quoted\"  \r\n");
}

TEST_F(SettingsFile, SmoothAndRecentImagesReadAndWrittenBack) {
  Put("[T1_SETTING]\nSmooth=yes\nRecent1=/d/a.vfd\nRecent2=\"/d/ b.vtp \"\nRecent3=rel/c.vfd\n"
      "Recent4=/d/\xC3(\nRecent5=/d/a.vfd\nRecent6=/d/\xE6\x97\xA5.d88\nRecent9=/d/nine.vfd\n");
  TSettings s = ReadSettings(File);
  EXPECT_FALSE(s.Smooth) << "not a number: the default";
  // Relative, not UTF-8, a second copy and keys past 8 are left out.
  EXPECT_EQ(s.Recent, (std::vector<std::string>{"/d/a.vfd", "/d/ b.vtp ", "/d/\xE6\x97\xA5.d88"}));
  s.Smooth = true;
  RemoveRecent(s.Recent, "/d/a.vfd");
  ASSERT_TRUE(WriteSettings(File, s));
  // Keys in place; the ones no longer used emptied, no new empty ones.
  EXPECT_NE(Get().find("Smooth=1\nRecent1=\"/d/ b.vtp \"\nRecent2=/d/\xE6\x97\xA5.d88\nRecent3=\nRecent4=\n"
                       "Recent5=\nRecent6=\nRecent9=/d/nine.vfd\nCpuWait=240\n"),
            std::string::npos)
      << Get();
  EXPECT_EQ(Get().find("Recent7"), std::string::npos);
  EXPECT_EQ(ReadSettings(File), s);
}

TEST(RecentFiles, NewestFirstWithoutCopiesAndAtMostEight) {
  std::vector<std::string> list;
  for (int i = 0; i < 10; ++i) AddRecent(list, "/i/" + std::to_string(i) + ".vfd");
  AddRecent(list, "/i/5.vfd");
  AddRecent(list, "/i/../i/./7.vfd");
  AddRecent(list, "/bad\n.vfd");
  EXPECT_EQ(list, (std::vector<std::string>{"/i/7.vfd", "/i/5.vfd", "/i/9.vfd", "/i/8.vfd", "/i/6.vfd",
                                            "/i/4.vfd", "/i/3.vfd", "/i/2.vfd"}));
  AddRecent(list, "rel.VTP");
  EXPECT_EQ(list.front(), (fs::current_path() / "rel.VTP").string());
  EXPECT_TRUE(RecentIsTape(list.front()) && !RecentIsTape("/i/vtp"));
}

TEST_F(SettingsFile, MissingSectionIsAddedAfterUnterminatedLastLine) {
  Put("[Other]\na=1");
  ASSERT_TRUE(WriteSettings(File, TSettings{}));
  EXPECT_EQ(Get().substr(0, 25), "[Other]\na=1\n[T1_SETTING]\n");
}

TEST_F(SettingsFile, GarbageFileGivesDefaultsAndSurvivesAWrite) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 7919) & 0xFF));
  Put(garbage);
  EXPECT_EQ(ReadSettings(File), TSettings{});
  ASSERT_TRUE(WriteSettings(File, TSettings{}));
  const std::string after = Get();
  EXPECT_EQ(after.substr(0, garbage.size()), garbage);
  EXPECT_EQ(ReadSettings(File), TSettings{});
}

TEST_F(SettingsFile, UnreadableFileIsNeverReplaced) {
  if (::geteuid() == 0) {
    // root reads everything; a directory in the file's place is unreadable
    // as a file for anyone.
    fs::create_directory(File);
    EXPECT_EQ(ReadSettings(File), TSettings{});
    EXPECT_FALSE(WriteSettings(File, TSettings{}));
    EXPECT_TRUE(fs::is_directory(File));
    return;
  }
  Put("[T1_SETTING]\nCpuWait=1\n");
  ::chmod(File.c_str(), 0);
  EXPECT_EQ(ReadSettings(File), TSettings{});
  EXPECT_FALSE(WriteSettings(File, TSettings{}));
  ::chmod(File.c_str(), 0644);
  EXPECT_EQ(Get(), "[T1_SETTING]\nCpuWait=1\n");
}

// A FIFO in the file's place is read as no file (never waited on) and never
// written over; a read-only file is left alone; a dangling link gets its
// target created and stays a link.
TEST_F(SettingsFile, FifoReadOnlyFileAndLinkStayWhatTheyAre) {
  ASSERT_EQ(::mkfifo(File.c_str(), 0644), 0);
  EXPECT_EQ(ReadSettings(File), TSettings{});
  EXPECT_FALSE(WriteSettings(File, TSettings{}));
  EXPECT_TRUE(fs::is_fifo(File));
  fs::remove(File);

  Put("[T1_SETTING]\nCpuWait=1\n");
  fs::permissions(File, fs::perms(0444));
  EXPECT_EQ(ReadSettings(File).CpuWait, 1);
  EXPECT_FALSE(WriteSettings(File, TSettings{}));
  EXPECT_EQ(Get(), "[T1_SETTING]\nCpuWait=1\n");
  fs::remove(File);

  fs::create_directory(Dir / "real");
  fs::create_symlink("real/settings.ini", File);
  ASSERT_TRUE(WriteSettings(File, TSettings{}));
  EXPECT_TRUE(fs::is_symlink(File));
  EXPECT_EQ(Get().substr(0, 12), "[T1_SETTING]");
}

TEST_F(SettingsFile, WriteFailureLeavesNoTrace) {
  fs::path missing = Dir / "no_such_dir" / SettingsFileName;
  EXPECT_FALSE(WriteSettings(missing, TSettings{}));
  EXPECT_FALSE(fs::exists(Dir / "no_such_dir"));
}

TEST(ParseDecimal, AcceptsOnlyWholeDecimalNumbersIn32Bits) {
  EXPECT_EQ(ParseDecimal(" -12 "), -12);
  EXPECT_EQ(ParseDecimal("+7"), 7);
  EXPECT_EQ(ParseDecimal("2147483647"), 2147483647);
  EXPECT_EQ(ParseDecimal("-2147483648"), INT32_MIN);
  for (const char* bad : {"", "-", "2147483648", "1 2", "1.5", "0x10", "\xff"})
    EXPECT_FALSE(ParseDecimal(bad)) << bad;
}

}  // namespace
