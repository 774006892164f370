// The virtual disk dialog. A drive that is in use when the dialog is
// confirmed is always closed and opened again, even with an unchanged path,
// so its track table is read anew. A drive whose image cannot be opened stays
// empty, and the drives after it are left as they were.
#include "Vfdform.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

const QString TVfdForm1::FileFilter = QStringLiteral(
    "仮想FDファイル (*.vfd *.VFD);;すべてのファイル (*)");
const QString TVfdForm1::OpenFailedText =
    QStringLiteral("仮想ＦＤのオープンに失敗しました。");

namespace {
// One framed drive group: the in-use box, then the path with its browse
// button, then the write-protect box.
QGroupBox* DriveGroup(QWidget* parent, QCheckBox*& use, QLineEdit*& edit,
                      QPushButton*& browse, QCheckBox*& protect,
                      const QString& caption, const QString& name) {
  auto* group = new QGroupBox(parent);
  auto* layout = new QVBoxLayout(group);
  use = new QCheckBox(caption, group);
  use->setObjectName(QStringLiteral("VfdChkBox") + name);
  edit = new QLineEdit(group);
  edit->setObjectName(QStringLiteral("VfdEdit") + name);
  browse = new QPushButton(group);
  browse->setObjectName(QStringLiteral("VfdFileBtn") + name);
  browse->setIcon(group->style()->standardIcon(QStyle::SP_DirOpenIcon));
  browse->setToolTip(QStringLiteral("参照"));
  protect = new QCheckBox(QStringLiteral("書き込み禁止"), group);
  protect->setObjectName(QStringLiteral("WproChkBox") + name);
  auto* row = new QHBoxLayout;
  row->addWidget(edit, 1);
  row->addWidget(browse);
  layout->addWidget(use);
  layout->addLayout(row);
  layout->addWidget(protect);
  return group;
}
}  // namespace

TVfdForm1::TVfdForm1(TDiskDeck& deck, std::string& drive0Name,
                     std::string& drive1Name, QWidget* parent)
    : TModalForm(parent), Deck(deck), FileNames{&drive0Name, &drive1Name} {
  setObjectName(QStringLiteral("VfdForm1"));
  setWindowTitle(QStringLiteral("仮想ディスク"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(DriveGroup(this, VfdChkBox1, VfdEdit1, VfdFileBtn1,
                               WproChkBox1, QStringLiteral("ドライブ０"),
                               QStringLiteral("1")));
  layout->addWidget(DriveGroup(this, VfdChkBox2, VfdEdit2, VfdFileBtn2,
                               WproChkBox2, QStringLiteral("ドライブ１"),
                               QStringLiteral("2")));
  auto* buttons = new QDialogButtonBox(this);
  BitBtn1 = buttons->addButton(QDialogButtonBox::Ok);
  BitBtn2 = buttons->addButton(QDialogButtonBox::Cancel);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  layout->addStretch(1);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(VfdChkBox1, &QCheckBox::toggled, this, [this] { VfdChkBox1Click(); });
  connect(VfdChkBox2, &QCheckBox::toggled, this, [this] { VfdChkBox2Click(); });
  connect(VfdFileBtn1, &QPushButton::clicked, this, [this] { VfdFileBtn1Click(); });
  connect(VfdFileBtn2, &QPushButton::clicked, this, [this] { VfdFileBtn2Click(); });
  SetClientSize(417, 257);
}

void TVfdForm1::FormShow() {
  VfdChkBox1->setChecked(Deck.DiskMounted(0));
  VfdChkBox2->setChecked(Deck.DiskMounted(1));
  WproChkBox1->setChecked(Deck.DiskWriteProtect(0));
  WproChkBox2->setChecked(Deck.DiskWriteProtect(1));
  VfdEdit1->setText(QString::fromStdString(*FileNames[0]));
  VfdEdit2->setText(QString::fromStdString(*FileNames[1]));
  VfdChkBox1Click();
  VfdChkBox2Click();
}

void TVfdForm1::VfdChkBox1Click() {
  const bool on = VfdChkBox1->isChecked();
  WproChkBox1->setEnabled(on);
  VfdEdit1->setEnabled(on);
  VfdFileBtn1->setEnabled(on);
}

void TVfdForm1::VfdChkBox2Click() {
  const bool on = VfdChkBox2->isChecked();
  WproChkBox2->setEnabled(on);
  VfdEdit2->setEnabled(on);
  VfdFileBtn2->setEnabled(on);
}

void TVfdForm1::Browse(QLineEdit* edit) {
  const QString path =
      DialogHost().OpenFileName(this, FileFilter, QStringLiteral("vfd"), edit->text());
  if (!path.isEmpty()) edit->setText(path);
}

void TVfdForm1::VfdFileBtn1Click() { Browse(VfdEdit1); }
void TVfdForm1::VfdFileBtn2Click() { Browse(VfdEdit2); }

void TVfdForm1::FormClose(bool ok) {
  if (!ok) return;
  const bool inUse[2] = {VfdChkBox1->isChecked(), VfdChkBox2->isChecked()};
  *FileNames[0] = VfdEdit1->text().toStdString();
  *FileNames[1] = VfdEdit2->text().toStdString();
  // Write protection is stored for both drives, in use or not, so it is in
  // force as soon as an image is mounted there later.
  Deck.SetDiskWriteProtect(0, WproChkBox1->isChecked());
  Deck.SetDiskWriteProtect(1, WproChkBox2->isChecked());
  for (int drive = 0; drive < 2; ++drive) {
    if (Deck.DiskMounted(drive)) Deck.UnmountDisk(drive);
    if (!inUse[drive]) continue;
    if (!Deck.MountDisk(drive, *FileNames[drive])) {
      DialogHost().Warning(this, OpenFailedText);
      return;  // the later drive keeps its state
    }
  }
}
