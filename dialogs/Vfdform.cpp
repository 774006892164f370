// The virtual disk dialog. A drive that is in use when the dialog is
// confirmed is always closed and opened again, even with an unchanged path,
// so its sectors are read anew. A drive whose image cannot be opened stays
// empty, and the drives after it are left as they were. A new disk is
// written at once and goes into its drive when the dialog is confirmed.
#include "Vfdform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QStringDecoder>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

QString TVfdForm1::FileFilter() {
  return tr("ディスクイメージ (*.vfd *.VFD *.d88 *.D88 *.d77 *.D77);;"
            "仮想FDファイル (*.vfd *.VFD);;D88ファイル (*.d88 *.D88 *.d77 *.D77);;"
            "すべてのファイル (*)");
}
QString TVfdForm1::OpenFailedText() { return tr("仮想ＦＤのオープンに失敗しました。"); }
QString TVfdForm1::NewDiskText() { return tr("新規作成..."); }
QString TVfdForm1::FormatText() { return tr("新しいディスクの形式を選んでください。"); }
QString TVfdForm1::OverwriteText() { return tr("%1 は既にあります。上書きしますか？"); }
QString TVfdForm1::CreateFailedText() { return tr("ディスクを作成できませんでした。\n%1"); }

namespace {
// One framed drive group: the in-use box, then the path with its browse
// button, then the disk of a D88 file and the create button, then the
// write-protect box.
QGroupBox* DriveGroup(QWidget* parent, QCheckBox*& use, QLineEdit*& edit,
                      QToolButton*& browse, QComboBox*& disks,
                      QPushButton*& create, QCheckBox*& protect,
                      const QString& caption, const QString& name) {
  auto* group = new QGroupBox(parent);
  auto* layout = new QVBoxLayout(group);
  use = new QCheckBox(caption, group);
  use->setObjectName(QStringLiteral("VfdChkBox") + name);
  edit = new QLineEdit(group);
  edit->setObjectName(QStringLiteral("VfdEdit") + name);
  browse = new QToolButton(group);
  browse->setObjectName(QStringLiteral("VfdFileBtn") + name);
  browse->setIcon(group->style()->standardIcon(QStyle::SP_DirOpenIcon));
  browse->setToolTip(TVfdForm1::tr("参照"));
  disks = new QComboBox(group);
  disks->setObjectName(QStringLiteral("VfdDiskBox") + name);
  create = new QPushButton(TVfdForm1::NewDiskText(), group);
  create->setObjectName(QStringLiteral("VfdNewBtn") + name);
  protect = new QCheckBox(TVfdForm1::tr("書き込み禁止"), group);
  protect->setObjectName(QStringLiteral("WproChkBox") + name);
  auto* row = new QHBoxLayout;
  row->addWidget(edit, 1);
  row->addWidget(browse);
  auto* second = new QHBoxLayout;
  second->addWidget(new QLabel(TVfdForm1::tr("ディスク"), group));
  second->addWidget(disks, 1);
  second->addWidget(create);
  layout->addWidget(use);
  layout->addLayout(row);
  layout->addLayout(second);
  layout->addWidget(protect);
  return group;
}

// A D88 disk name as stored: Shift_JIS, as Latin-1 where Qt has no
// Shift_JIS codec.
QString DiskName(const std::string& bytes) {
  QStringDecoder decoder("Shift_JIS");
  if (decoder.isValid()) {
    QString text = decoder.decode(QByteArray::fromStdString(bytes));
    if (!decoder.hasError()) return text;
  }
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
}  // namespace

TVfdForm1::TVfdForm1(TDiskDeck& deck, std::string& drive0Name,
                     std::string& drive1Name, QWidget* parent)
    : TModalForm(parent), Deck(deck), FileNames{&drive0Name, &drive1Name} {
  setObjectName(QStringLiteral("VfdForm1"));
  setWindowTitle(TVfdForm1::tr("仮想ディスク"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(DriveGroup(this, VfdChkBox1, VfdEdit1, VfdFileBtn1,
                               VfdDiskBox1, VfdNewBtn1, WproChkBox1,
                               TVfdForm1::tr("ドライブ０"), QStringLiteral("1")));
  layout->addWidget(DriveGroup(this, VfdChkBox2, VfdEdit2, VfdFileBtn2,
                               VfdDiskBox2, VfdNewBtn2, WproChkBox2,
                               TVfdForm1::tr("ドライブ１"), QStringLiteral("2")));
  Use[0] = VfdChkBox1, Use[1] = VfdChkBox2;
  Edit[0] = VfdEdit1, Edit[1] = VfdEdit2;
  DiskBox[0] = VfdDiskBox1, DiskBox[1] = VfdDiskBox2;
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
  connect(VfdFileBtn1, &QToolButton::clicked, this, [this] { VfdFileBtn1Click(); });
  connect(VfdFileBtn2, &QToolButton::clicked, this, [this] { VfdFileBtn2Click(); });
  connect(VfdNewBtn1, &QPushButton::clicked, this, [this] { VfdNewBtn1Click(); });
  connect(VfdNewBtn2, &QPushButton::clicked, this, [this] { VfdNewBtn2Click(); });
  connect(VfdEdit1, &QLineEdit::textChanged, this, [this] { LoadDisks(0); });
  connect(VfdEdit2, &QLineEdit::textChanged, this, [this] { LoadDisks(1); });
  AddRecentMenu(VfdFileBtn1, VfdEdit1, &Recent, false, OpenFailedText());
  AddRecentMenu(VfdFileBtn2, VfdEdit2, &Recent, false, OpenFailedText());
  SetClientSize(417, 330);
}

void TVfdForm1::FormShow() {
  VfdChkBox1->setChecked(Deck.DiskMounted(0));
  VfdChkBox2->setChecked(Deck.DiskMounted(1));
  WproChkBox1->setChecked(Deck.DiskWriteProtect(0));
  WproChkBox2->setChecked(Deck.DiskWriteProtect(1));
  for (int drive = 0; drive < 2; ++drive) {
    Edit[drive]->setText(QString::fromStdString(*FileNames[drive]));
    LoadDisks(drive);
    if (Deck.DiskMounted(drive) && Deck.MountedDisk(drive) < DiskBox[drive]->count())
      DiskBox[drive]->setCurrentIndex(Deck.MountedDisk(drive));
  }
  VfdChkBox1Click();
  VfdChkBox2Click();
}

void TVfdForm1::LoadDisks(int drive) {
  QComboBox* box = DiskBox[drive];
  box->clear();
  for (const std::string& name : Deck.DiskNames(Edit[drive]->text().toStdString()))
    box->addItem(QStringLiteral("%1: %2").arg(box->count() + 1).arg(DiskName(name)));
  box->setEnabled(Use[drive]->isChecked() && box->count() > 1);
}

void TVfdForm1::VfdChkBox1Click() {
  const bool on = VfdChkBox1->isChecked();
  WproChkBox1->setEnabled(on);
  VfdEdit1->setEnabled(on);
  VfdFileBtn1->setEnabled(on);
  VfdDiskBox1->setEnabled(on && VfdDiskBox1->count() > 1);
}

void TVfdForm1::VfdChkBox2Click() {
  const bool on = VfdChkBox2->isChecked();
  WproChkBox2->setEnabled(on);
  VfdEdit2->setEnabled(on);
  VfdFileBtn2->setEnabled(on);
  VfdDiskBox2->setEnabled(on && VfdDiskBox2->count() > 1);
}

void TVfdForm1::Browse(QLineEdit* edit) {
  const QString path =
      DialogHost().OpenFileName(this, FileFilter(), QStringLiteral("vfd"), edit->text());
  if (!path.isEmpty()) edit->setText(path);
}

void TVfdForm1::VfdFileBtn1Click() { Browse(VfdEdit1); }
void TVfdForm1::VfdFileBtn2Click() { Browse(VfdEdit2); }
void TVfdForm1::VfdNewBtn1Click() { NewDisk(0); }
void TVfdForm1::VfdNewBtn2Click() { NewDisk(1); }

void TVfdForm1::NewDisk(int drive) {
  const QString path = DialogHost().SaveFileName(this, FileFilter(), QStringLiteral("d88"),
                                                 Edit[drive]->text());
  if (path.isEmpty()) return;
  const bool exists = QFileInfo::exists(path);
  if (exists && !DialogHost().Question(this, OverwriteText().arg(path))) return;
  const bool d88Name = path.endsWith(QStringLiteral(".d88"), Qt::CaseInsensitive) ||
                       path.endsWith(QStringLiteral(".d77"), Qt::CaseInsensitive);
  const int format = DialogHost().Choose(this, FormatText(), {QStringLiteral("VFD"), QStringLiteral("D88")},
                                         d88Name ? 1 : 0);
  if (format < 0) return;
  // A file named as D88 is refused unless its content is D88.
  const std::string error = format == 0 && d88Name
                                ? std::string("VFD images cannot be named .d88 or .d77")
                                : Deck.CreateDisk(path.toStdString(), format == 1, exists);
  if (!error.empty()) {
    DialogHost().Warning(this, CreateFailedText().arg(QString::fromStdString(error)));
    return;
  }
  Use[drive]->setChecked(true);
  Edit[drive]->setText(path);
}

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
    const int disk = std::max(0, DiskBox[drive]->currentIndex());
    if (!Deck.MountDisk(drive, *FileNames[drive], disk)) {
      DialogHost().Warning(this, OpenFailedText());
      return;  // the later drive keeps its state
    }
  }
}
