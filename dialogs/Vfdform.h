// TVfdForm1, the virtual disk dialog: which image file is in drive 0 and
// drive 1, and whether each drive is write-protected. Confirming it mounts
// and unmounts the images itself; it runs while the emulation is paused, so
// no sector operation is under way meanwhile.
#pragma once

#include <string>

#include "Dialoghost.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

// What the dialog needs of the drives (drives 0 and 1 only).
class TDiskDeck {
 public:
  virtual ~TDiskDeck() = default;
  virtual bool DiskMounted(int drive) const = 0;
  virtual bool DiskWriteProtect(int drive) const = 0;
  virtual void SetDiskWriteProtect(int drive, bool on) = 0;
  virtual bool MountDisk(int drive, const std::string& path) = 0;
  virtual void UnmountDisk(int drive) = 0;
};

// The same over any drive object with the members DiskMounted[],
// DiskWriteProtect[], MountDisk and UnmountDisk.
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
  bool MountDisk(int drive, const std::string& path) override {
    return D.MountDisk(drive, path);
  }
  void UnmountDisk(int drive) override { D.UnmountDisk(drive); }

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

  static const QString FileFilter;
  static const QString OpenFailedText;

  QCheckBox* VfdChkBox1;
  QLineEdit* VfdEdit1;
  QPushButton* VfdFileBtn1;
  QCheckBox* WproChkBox1;
  QCheckBox* VfdChkBox2;
  QLineEdit* VfdEdit2;
  QPushButton* VfdFileBtn2;
  QCheckBox* WproChkBox2;
  QPushButton* BitBtn1;
  QPushButton* BitBtn2;

  void VfdChkBox1Click();
  void VfdChkBox2Click();
  void VfdFileBtn1Click();
  void VfdFileBtn2Click();

 protected:
  void FormShow() override;
  void FormClose(bool ok) override;

 private:
  void Browse(QLineEdit* edit);

  TDiskDeck& Deck;
  std::string* FileNames[2];
};
