// TVfdForm1, the virtual disk dialog: which image file (VFD or D88, and
// which disk of a D88 file holding several) is in drive 0 and drive 1, and
// whether each drive is write-protected; it also creates blank disks.
// Confirming it mounts and unmounts the images itself; it runs while the
// emulation is paused, so no sector operation is under way meanwhile.
#pragma once

#include <string>
#include <vector>

#include "Dialoghost.h"
#include "Recentmenu.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

// What the dialog needs of the drives (drives 0 and 1 only).
class TDiskDeck {
 public:
  virtual ~TDiskDeck() = default;
  virtual bool DiskMounted(int drive) const = 0;
  virtual bool DiskWriteProtect(int drive) const = 0;
  virtual void SetDiskWriteProtect(int drive, bool on) = 0;
  // disk: which disk of a D88 file, counted from 0.
  virtual bool MountDisk(int drive, const std::string& path, int disk) = 0;
  virtual void UnmountDisk(int drive) = 0;
  // The disk of the file in the drive, counted from 0.
  virtual int MountedDisk(int drive) const = 0;
  // The names of the disks of a D88 file, as stored; empty for other files.
  virtual std::vector<std::string> DiskNames(const std::string& path) const = 0;
  // Writes a blank formatted disk; the reason when that fails.
  virtual std::string CreateDisk(const std::string& path, bool d88, bool overwrite) = 0;
};

// The same over any drive object with the members DiskMounted[],
// DiskWriteProtect[], MountDisk, UnmountDisk and Image, and the static
// members DiskNames and CreateDisk.
template <class Drives>
class TDiskDeckOf : public TDiskDeck {
 public:
  explicit TDiskDeckOf(Drives& drives) : D(drives) {}
  bool DiskMounted(int drive) const override { return D.DiskMounted[drive] != 0; }
  bool DiskWriteProtect(int drive) const override {
    return D.DiskWriteProtect[drive] != 0;
  }
  void SetDiskWriteProtect(int drive, bool on) override {
    D.DiskWriteProtect[drive] = on ? 1u : 0u;
  }
  bool MountDisk(int drive, const std::string& path, int disk) override {
    return D.MountDisk(drive, path, disk);
  }
  void UnmountDisk(int drive) override { D.UnmountDisk(drive); }
  int MountedDisk(int drive) const override { return D.Image(drive).Disk; }
  std::vector<std::string> DiskNames(const std::string& path) const override {
    return Drives::DiskNames(path);
  }
  std::string CreateDisk(const std::string& path, bool d88, bool overwrite) override {
    return Drives::CreateDisk(path, d88, overwrite);
  }

 private:
  Drives& D;
};

class TVfdForm1 : public TModalForm {
  Q_OBJECT
 public:
  // deck: the drives; drive0Name, drive1Name: the paths last confirmed for
  // drives 0 and 1 (owned by the main window; drive 0's is also set by the
  // command line and by drops).
  TVfdForm1(TDiskDeck& deck, std::string& drive0Name, std::string& drive1Name,
            QWidget* parent = nullptr);

  static QString FileFilter();
  static QString OpenFailedText();
  static QString NewDiskText();         // the create button
  static QString FormatText();          // the format question
  static QString OverwriteText();       // %1: the file
  static QString CreateFailedText();    // %1: the reason

  QCheckBox* VfdChkBox1;
  QLineEdit* VfdEdit1;
  QToolButton* VfdFileBtn1;  // with the recent disks on its arrow
  QComboBox* VfdDiskBox1;   // the disks of a D88 file
  QPushButton* VfdNewBtn1;
  QCheckBox* WproChkBox1;
  QCheckBox* VfdChkBox2;
  QLineEdit* VfdEdit2;
  QToolButton* VfdFileBtn2;
  QComboBox* VfdDiskBox2;
  QPushButton* VfdNewBtn2;
  QCheckBox* WproChkBox2;
  QPushButton* BitBtn1;
  QPushButton* BitBtn2;
  // The recent images the browse buttons offer (null: none).
  TRecentImages* Recent = nullptr;

  void VfdChkBox1Click();
  void VfdChkBox2Click();
  void VfdFileBtn1Click();
  void VfdFileBtn2Click();
  void VfdNewBtn1Click();
  void VfdNewBtn2Click();

 protected:
  void FormShow() override;
  void FormClose(bool ok) override;

 private:
  void Browse(QLineEdit* edit);
  void NewDisk(int drive);
  // Lists the disks of the file named in the drive's edit.
  void LoadDisks(int drive);

  TDiskDeck& Deck;
  std::string* FileNames[2];
  QCheckBox* Use[2];
  QLineEdit* Edit[2];
  QComboBox* DiskBox[2];
};
