// The virtual disk dialog over real drives and image files.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
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
  EXPECT_EQ(Host.Warnings, QStringList{TVfdForm1::OpenFailedText});
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
  EXPECT_EQ(Host.Filters.first(), TVfdForm1::FileFilter);
  EXPECT_EQ(Names[1], "");
  form.reject();
}
