// Where the firmware is looked for and where the settings file lives.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "Locations.h"

namespace fs = std::filesystem;

namespace {

class Locations : public ::testing::Test {
 protected:
  fs::path Dir;
  void SetUp() override {
    Dir = fs::temp_directory_path() /
          ("quillon_locations_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }
  void PutImages(const fs::path& folder, std::initializer_list<const char*> names) {
    fs::create_directories(folder);
    for (const char* n : names) std::ofstream(folder / n) << "x";
  }
};

TEST_F(Locations, FirmwareFoldersInSearchOrder) {
  struct {
    TLocationEnv Env;
    std::string Option;
    std::vector<fs::path> Want;
  } cases[] = {
      {{"/h", "/data", ""}, "", {"/q/bin", "/data/quillon/firmware", "/q/share/quillon/firmware"}},
      // A relative XDG folder is ignored; the home default takes its place.
      {{"/h", "rel", ""}, "", {"/q/bin", "/h/.local/share/quillon/firmware", "/q/share/quillon/firmware"}},
      {{"", "", ""}, "", {"/q/bin", "/q/share/quillon/firmware"}},
      // --firmware is the only place.
      {{"/h", "/data", ""}, "/mine", {"/mine"}},
  };
  for (const auto& c : cases) {
    // The program's folder as read from /proc/self/exe ends in a slash.
    EXPECT_EQ(FirmwareFolders("/q/bin/", c.Option, c.Env), c.Want) << c.Option << c.Env.XdgDataHome;
  }
}

TEST_F(Locations, FirmwareIsTakenFromTheFirstFolderHoldingAllThreeImages) {
  const fs::path beside = Dir / "bin", user = Dir / "user", shared = Dir / "share";
  PutImages(beside, {"fb30rom1.dat", "fb30sub.dat"});  // one missing
  PutImages(user, {"fb30rom1.dat", "fb30rom2.dat"});
  fs::create_directories(user / "fb30sub.dat");  // not a file
  PutImages(shared, {"fb30rom1.dat", "fb30rom2.dat", "fb30sub.dat"});
  EXPECT_EQ(FindFirmware({beside, user, shared}), shared);
  EXPECT_EQ(FindFirmware({beside, user}), std::nullopt);
  // None found: loading is tried in the first folder and fails there.
  EXPECT_EQ(FirmwareFolder(beside, "", {}), beside);
  EXPECT_EQ(JoinFolders({"/a", "/b c"}), "/a, /b c");
}

TEST_F(Locations, SettingsBesideAWritableProgramFolderUnlessInstalled) {
  const TLocationEnv env{(Dir / "home").string(), "", ""};
  const fs::path build = Dir / "build" / "bin", installed = Dir / "usr" / "bin";
  fs::create_directories(build);
  fs::create_directories(installed);
  fs::create_directories(Dir / "usr" / "share" / "quillon");
  const fs::path userFile = Dir / "home" / ".config" / "quillon" / "QUILLON.INI";
  EXPECT_EQ(SettingsFilePath(build, env), build / "QUILLON.INI");
  EXPECT_EQ(SettingsFilePath(installed, env), userFile);
  EXPECT_EQ(SettingsFilePath(Dir / "gone", env), userFile);  // not writable
  EXPECT_EQ(SettingsFilePath(installed, {"", "", "/cfg"}), fs::path("/cfg/quillon/QUILLON.INI"));
  EXPECT_EQ(SettingsFilePath(installed, {}), fs::path());
}

}  // namespace
