#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "CommandLine.h"

namespace {

struct TFakeDrives : TImageDrives {
  std::vector<std::string> Log;
  bool Disk0 = false, Tape = false;
  bool DiskMounted(int drive) const override { return drive == 0 && Disk0; }
  void MountDisk(int drive, const std::string& p) override {
    Log.push_back("mount " + std::to_string(drive) + " " + p);
    Disk0 = p.find("missing") == std::string::npos;
  }
  void UnmountDisk(int drive) override {
    Log.push_back("unmount " + std::to_string(drive));
    Disk0 = false;
  }
  void UnmountAllDisks() override { Log.push_back("unmount all"); }
  bool TapeMounted() const override { return Tape; }
  void OpenTape(const std::string& p) override {
    Log.push_back("open tape " + p);
    Tape = true;
  }
  void CloseTape() override {
    Log.push_back("close tape");
    Tape = false;
  }
};

TEST(ImageKind, ByExtensionOfTheFileNameInAnyCase) {
  EXPECT_EQ(ImageKindOf("a.vfd"), TImageKind::Disk);
  EXPECT_EQ(ImageKindOf("/x/y/GAME.VfD"), TImageKind::Disk);
  EXPECT_EQ(ImageKindOf("tape.vtp"), TImageKind::Tape);
  EXPECT_EQ(ImageKindOf("s/quick1.QsT"), TImageKind::State);
  EXPECT_EQ(ImageKindOf("a.vfd.txt"), TImageKind::None);
  EXPECT_EQ(ImageKindOf("dir.vfd/file"), TImageKind::None);
  EXPECT_EQ(ImageKindOf("vfd"), TImageKind::None);
  EXPECT_EQ(ImageKindOf(""), TImageKind::None);
  EXPECT_EQ(ImageKindOf("a.D88"), TImageKind::Disk);
  EXPECT_EQ(ImageKindOf("a.d77"), TImageKind::Disk);
}

// --new-disk and --convert run instead of the machine; a D88 file counts as
// a disk whatever its name.
TEST(DiskCommands, WriteConvertAndRefuse) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    ("quillon-diskcmd-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string d88 = (dir / "new.d88").string(), img = (dir / "game.img").string();
  struct Case { std::vector<std::string> args; int exit; };
  const Case cases[] = {
      {{"--new-disk", d88}, 0},
      {{"--new-disk", d88}, 1},  // never over an existing file
      {{"--new-disk"}, 1},
      {{"--convert", d88, (dir / "new.vfd").string()}, 0},
      {{"--convert", d88, img}, 1},  // OUT's name gives no format
      {{"--convert", d88}, 1},
  };
  for (const Case& c : cases) {
    std::ostringstream out, err;
    int exit = -1;
    ASSERT_TRUE(RunDiskCommand(c.args, out, err, exit));
    EXPECT_EQ(exit, c.exit) << c.args.size() << err.str();
    EXPECT_EQ(err.str().empty(), c.exit == 0) << err.str();
  }
  int exit = -1;
  std::ostringstream out, err;
  EXPECT_FALSE(RunDiskCommand({"--headless", "a.vfd"}, out, err, exit));
  EXPECT_EQ(std::filesystem::file_size(dir / "new.vfd"), 480u + 80 * 16 * 256);
  std::filesystem::copy_file(d88, img);
  EXPECT_EQ(ImageKindOf(img), TImageKind::Disk);
  EXPECT_EQ(ImageKindOf((dir / "new.vfd").string() + ".img"), TImageKind::None);
  std::filesystem::remove_all(dir);
}

TEST(CommandLine, TheLastStateFileCountsAndMountsNothing) {
  EXPECT_EQ(StateFileAmong({"a.qst", "-b.qst", "d.vfd", "c.QST"}), "c.QST");
  EXPECT_EQ(StateFileAmong({"d.vfd"}), "");
  TFakeDrives d;
  TImageNames n;
  MountCommandLine({"a.qst"}, d, n);
  EXPECT_TRUE(d.Log.empty());
}

TEST(CommandLine, OptionsSkippedImagesMountedInOrder) {
  TFakeDrives d;
  TImageNames n;
  MountCommandLine({"-x.vfd", "one.VFD", "t.vtp", "notes.txt", "", "two.vfd"}, d, n);
  EXPECT_EQ(d.Log, (std::vector<std::string>{"mount 0 one.VFD", "close tape", "open tape t.vtp", "unmount 0",
                                             "mount 0 two.vfd"}));
  EXPECT_EQ(n.Drive0, "two.vfd");
  EXPECT_EQ(n.Tape, "t.vtp");
}

TEST(DroppedFiles, OnlyTheFirstCounts) {
  TFakeDrives d;
  TImageNames n;
  d.Disk0 = true;
  const std::string longPath = "/" + std::string(300, 'd') + "/game.vfd";
  DropFiles({longPath, "b.vfd", "c.vtp"}, d, n);
  EXPECT_EQ(d.Log, (std::vector<std::string>{"unmount 0", "mount 0 " + longPath}));
  EXPECT_EQ(n.Drive0, longPath) << "the whole path, not one cut at 260 characters";
  d.Log.clear();
  DropFiles({}, d, n);
  DropFiles({"readme.txt", "x.vfd"}, d, n);
  EXPECT_TRUE(d.Log.empty());
}

}  // namespace
