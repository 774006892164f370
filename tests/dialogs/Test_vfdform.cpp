// The virtual disk dialog over real drives and image files.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QMenu>
#include <QToolButton>
#include <QTemporaryDir>
#include <QTest>

#include "Fakehost.h"
#include "Vfdform.h"
#include "Vfd.h"

namespace {
class VfdFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Dir.isValid());
    ImageA = MakeImage("a.vfd");
    ImageB = MakeImage("b.vfd");
  }
  std::string MakeImage(const char* name) {
    const QString path = Dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(480 + 256, '\0'));
    return path.toStdString();
  }
  // Drive 0 holds a.vfd, drive 1 holds b.vfd, both named in the window.
  void MountBoth() {
    ASSERT_TRUE(Drives.MountDisk(0, ImageA));
    ASSERT_TRUE(Drives.MountDisk(1, ImageB));
    Names[0] = ImageA;
    Names[1] = ImageB;
  }

  QTemporaryDir Dir;
  std::string ImageA, ImageB;
  TVfd Drives;
  TDiskDeckOf<TVfd> Deck{Drives};
  std::string Names[2];
  TFakeHost Host;
};
}  // namespace

TEST_F(VfdFormTest, ShowLoadsBoxesPathsAndEnabling) {
  ASSERT_TRUE(Drives.MountDisk(0, ImageA));
  Names[0] = ImageA;
  Names[1] = "/elsewhere/b.vfd";
  Drives.DiskWriteProtect[1] = 1;
  TVfdForm1 form(Deck, Names[0], Names[1]);
  form.show();
  EXPECT_EQ(form.windowTitle(), QStringLiteral("仮想ディスク"));
  EXPECT_TRUE(form.VfdChkBox1->isChecked());
  EXPECT_FALSE(form.VfdChkBox2->isChecked());
  EXPECT_FALSE(form.WproChkBox1->isChecked());
  EXPECT_TRUE(form.WproChkBox2->isChecked());
  EXPECT_EQ(form.VfdEdit2->text(), QStringLiteral("/elsewhere/b.vfd"));
  EXPECT_TRUE(form.VfdEdit1->isEnabled());
  EXPECT_FALSE(form.VfdEdit2->isEnabled());
  EXPECT_FALSE(form.VfdFileBtn2->isEnabled());
  EXPECT_FALSE(form.WproChkBox2->isEnabled());
  form.VfdChkBox2->setChecked(true);
  EXPECT_TRUE(form.VfdEdit2->isEnabled());
  form.reject();
}

TEST_F(VfdFormTest, CancelEscapeAndCloseBoxChangeNothing) {
  for (int way = 0; way < 3; ++way) {
    MountBoth();
    TVfdForm1 form(Deck, Names[0], Names[1]);
    form.show();
    form.VfdChkBox1->setChecked(false);
    form.VfdEdit2->setText(QStringLiteral("/nowhere.vfd"));
    form.WproChkBox1->setChecked(true);
    if (way == 0) form.reject();
    if (way == 1) QTest::keyClick(&form, Qt::Key_Escape);
    if (way == 2) form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Drives.DiskMounted[0], 1u) << way;
    EXPECT_EQ(Drives.DiskMounted[1], 1u) << way;
    EXPECT_EQ(Drives.DiskWriteProtect[0], 0u) << way;
    EXPECT_EQ(Names[1], ImageB) << way;
    EXPECT_TRUE(Host.Warnings.isEmpty());
  }
}

TEST_F(VfdFormTest, EmptyPathWarnsAndLeavesDriveOneAlone) {
  MountBoth();
  TVfdForm1 form(Deck, Names[0], Names[1]);
  form.show();
  form.VfdEdit1->clear();
  form.VfdChkBox2->setChecked(false);  // would unmount drive 1, but never gets there
  form.WproChkBox2->setChecked(true);
  form.accept();
  EXPECT_EQ(Host.Warnings, QStringList{TVfdForm1::OpenFailedText()});
  EXPECT_EQ(Drives.DiskMounted[0], 0u);
  EXPECT_EQ(Drives.DiskMounted[1], 1u);
  EXPECT_EQ(Names[0], "");
  EXPECT_EQ(Drives.DiskWriteProtect[1], 1u);  // stored before mounting

  // Shown again: drive 0 unchecked, its (empty) path kept.
  form.show();
  EXPECT_FALSE(form.VfdChkBox1->isChecked());
  EXPECT_TRUE(form.VfdChkBox2->isChecked());
  form.reject();
}

TEST_F(VfdFormTest, BothClearedUnmountBothAndStoreProtection) {
  MountBoth();
  TVfdForm1 form(Deck, Names[0], Names[1]);
  form.show();
  form.VfdChkBox1->setChecked(false);
  form.VfdChkBox2->setChecked(false);
  form.WproChkBox1->setChecked(true);
  form.WproChkBox2->setChecked(true);
  form.accept();
  EXPECT_TRUE(Host.Warnings.isEmpty());
  EXPECT_EQ(Drives.DiskMounted[0], 0u);
  EXPECT_EQ(Drives.DiskMounted[1], 0u);
  EXPECT_EQ(Drives.DiskWriteProtect[0], 1u);
  EXPECT_EQ(Drives.DiskWriteProtect[1], 1u);
  EXPECT_EQ(Names[0], ImageA);  // the paths stay for next time
}

TEST_F(VfdFormTest, DriveOneFailingKeepsDriveZeroAsProcessed) {
  TVfdForm1 form(Deck, Names[0], Names[1]);
  form.show();
  form.VfdChkBox1->setChecked(true);
  form.VfdEdit1->setText(QString::fromStdString(ImageB));
  form.VfdChkBox2->setChecked(true);
  form.VfdEdit2->setText(Dir.filePath(QStringLiteral("missing.vfd")));
  form.accept();
  EXPECT_EQ(Host.Warnings.size(), 1);
  EXPECT_EQ(Drives.DiskMounted[0], 1u);
  EXPECT_EQ(Drives.DiskMounted[1], 0u);
  EXPECT_EQ(Names[0], ImageB);
}

TEST_F(VfdFormTest, BrowsePutsTheChosenPathIntoTheEditOnly) {
  TVfdForm1 form(Deck, Names[0], Names[1]);
  form.show();
  form.VfdChkBox2->setChecked(true);
  Host.Chosen = QStringLiteral("/media/disk.vfd");
  QTest::mouseClick(form.VfdFileBtn2, Qt::LeftButton);
  EXPECT_EQ(form.VfdEdit2->text(), Host.Chosen);
  Host.Chosen.clear();  // the file dialog cancelled
  QTest::mouseClick(form.VfdFileBtn2, Qt::LeftButton);
  EXPECT_EQ(form.VfdEdit2->text(), QStringLiteral("/media/disk.vfd"));
  EXPECT_EQ(Host.Filters.first(), TVfdForm1::FileFilter());
  EXPECT_EQ(Names[1], "");
  form.reject();
}

TEST_F(VfdFormTest, RecentDisksOnTheBrowseArrow) {
  TFakeRecent recent;
  const QString gone = Dir.filePath(QStringLiteral("gone.vfd"));
  recent.All = {QString::fromStdString(ImageB), QStringLiteral("/t/x.vtp"), gone};
  TVfdForm1 form(Deck, Names[0], Names[1]);
  form.show();
  QMenu* menu = form.VfdFileBtn2->menu();
  emit menu->aboutToShow();
  EXPECT_FALSE(menu->actions()[0]->isEnabled()) << "no list: nothing offered";
  form.Recent = &recent;
  emit menu->aboutToShow();
  const QList<QAction*> items = menu->actions();
  ASSERT_EQ(items.size(), 2);
  items[0]->trigger();
  EXPECT_EQ(form.VfdEdit2->text().toStdString(), ImageB);
  items[1]->trigger();
  EXPECT_EQ(Host.Warnings, QStringList{TVfdForm1::OpenFailedText()});
  EXPECT_EQ(recent.All, (QStringList{QString::fromStdString(ImageB), QStringLiteral("/t/x.vtp")}));
  EXPECT_EQ(form.VfdEdit2->text().toStdString(), ImageB);
  form.reject();
}

// Create: the save dialog, the overwrite question for an existing file, the
// format; the new disk goes into the drive on OK. A VFD disk may not take a
// D88 name (it could never be mounted).
TEST_F(VfdFormTest, NewDiskAsksBeforeReplacingAndMountsOnOk) {
  struct Case { const char* name; bool exists, answer; int choice; qsizetype size; bool warned; };
  const Case cases[] = {
      {"new.img", false, false, -1, -1, false},  // format question cancelled: no file
      {"new.img", false, false, 1, 0x2B0 + 80 * 16 * 272, false},
      {"new.img", true, false, 0, 0x2B0 + 80 * 16 * 272, false},  // not replaced
      {"new.img", true, true, 0, 480 + 80 * 16 * 256, false},
      {"new.d88", false, false, 0, -1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name << " " << c.choice);
    const QString path = Dir.filePath(QString::fromLatin1(c.name));
    EXPECT_EQ(QFile::exists(path), c.exists);
    Drives.UnmountDisk(1);
    Names[1].clear();
    TVfdForm1 form(Deck, Names[0], Names[1]);
    form.show();
    Host.SaveAs = path;
    Host.Answer = c.answer;
    Host.Choice = c.choice;
    Host.Questions.clear();
    Host.Warnings.clear();
    QTest::mouseClick(form.VfdNewBtn2, Qt::LeftButton);
    EXPECT_EQ(Host.Questions.size(), (c.exists ? 1 : 0) + (c.exists && !c.answer ? 0 : 1));
    EXPECT_EQ(QFileInfo(path).size(), c.size < 0 ? 0 : c.size);
    EXPECT_EQ(Host.Warnings.size(), c.warned ? 1 : 0);
    form.accept();
    const bool made = c.choice >= 0 && (!c.exists || c.answer) && !c.warned;
    EXPECT_EQ(Drives.DiskMounted[1], made ? 1u : 0u);
    EXPECT_EQ(Names[1], made ? path.toStdString() : "");
  }
}

// A D88 file of several disks: the dialog lists them and mounts the one
// chosen, and shows it chosen next time.
TEST_F(VfdFormTest, SeveralDisksOfAFileAreListedByName) {
  const std::string path = Dir.filePath(QStringLiteral("two.d88")).toStdString();
  ASSERT_EQ(TVfd::CreateDisk(path, true, false), "");
  QFile f(QString::fromStdString(path));
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  QByteArray one = f.readAll(), two = one;
  one.replace(0, 3, "ONE");
  two.replace(0, 3, "TWO");
  f.seek(0);
  f.write(one + two);
  f.close();
  TVfdForm1 form(Deck, Names[0], Names[1]);
  form.show();
  form.VfdChkBox1->setChecked(true);
  form.VfdEdit1->setText(QString::fromStdString(path));
  ASSERT_EQ(form.VfdDiskBox1->count(), 2);
  EXPECT_EQ(form.VfdDiskBox1->itemText(1), QStringLiteral("2: TWO"));
  EXPECT_TRUE(form.VfdDiskBox1->isEnabled());
  form.VfdDiskBox1->setCurrentIndex(1);
  form.accept();
  EXPECT_EQ(Drives.Image(0).Disk, 1);
  form.show();
  EXPECT_EQ(form.VfdDiskBox1->currentIndex(), 1);
  form.VfdEdit1->setText(QString::fromStdString(ImageA));
  EXPECT_EQ(form.VfdDiskBox1->count(), 0);
  form.reject();
}
