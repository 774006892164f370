// The virtual tape dialog. Positions on the tape are byte offsets in the
// image file. A tape named by the same path as the one in the deck is only
// wound; any other path (letter case counts) closes the deck and opens the
// named image at its start, offering to create it when it does not exist.
#include "Vtpform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

QString TVtpForm1::FileFilter() { return tr("仮想テープファイル (*.vtp *.VTP);;すべてのファイル (*)"); }
QString TVtpForm1::CreateQuestionText() { return tr("ファイルが見つかりません。新しくファイルを作成しますか？"); }
QString TVtpForm1::OpenFailedText() { return tr("仮想テープのオープンに失敗しました。"); }

TTapeIndex BuildTapeIndex(TTapeDeck& tape) {
  TTapeIndex index;
  const int64_t saved = tape.TapePosition();
  index.Entries.push_back({TapeTopName, 0});
  int64_t scan = 0;
  std::string name;
  // Each program is listed where the scan left the tape, a little before its
  // header, so winding there lets the firmware find the leader.
  while (!tape.NextTapeFile(scan, name))
    index.Entries.push_back({name, tape.TapePosition()});
  index.Entries.push_back({TapeBottomName, tape.TapeLength()});
  for (size_t i = 0; i < index.Entries.size(); ++i) {
    if (index.Entries[i].Position >= saved) {
      index.Selected = static_cast<int>(i);
      break;
    }
  }
  tape.SeekTape(saved);
  return index;
}

namespace {
// Names on the tape are the machine's 8-bit character codes; the kana half
// of that set is the one Shift_JIS has for half-width kana.
QString TapeNameText(const std::string& name) {
  QStringDecoder decoder("Shift_JIS");
  if (!decoder.isValid()) return QString::fromLatin1(name.data(), qsizetype(name.size()));
  return decoder.decode(QByteArrayView(name.data(), qsizetype(name.size())));
}
}  // namespace

TVtpForm1::TVtpForm1(TTapeDeck& tape, std::string& fileName, QWidget* parent)
    : TModalForm(parent), Tape(tape), FileName(fileName) {
  setObjectName(QStringLiteral("VtpForm1"));
  setWindowTitle(TVtpForm1::tr("仮想テープ"));
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(this);
  auto* inner = new QVBoxLayout(group);
  VtpChkBox1 = new QCheckBox(TVtpForm1::tr("仮想テープ使用"), group);
  VtpChkBox1->setObjectName(QStringLiteral("VtpChkBox1"));
  VtpEdit1 = new QLineEdit(group);
  VtpEdit1->setObjectName(QStringLiteral("VtpEdit1"));
  VtpFileBtn1 = new QToolButton(group);
  VtpFileBtn1->setObjectName(QStringLiteral("VtpFileBtn1"));
  VtpFileBtn1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  VtpFileBtn1->setToolTip(TVtpForm1::tr("参照"));
  WproChkBox1 = new QCheckBox(TVtpForm1::tr("書き込み禁止"), group);
  WproChkBox1->setObjectName(QStringLiteral("WproChkBox1"));
  Label1 = new QLabel(TVtpForm1::tr("ファイル位置"), group);
  Label1->setObjectName(QStringLiteral("Label1"));
  VtpComboBox1 = new QComboBox(group);
  VtpComboBox1->setObjectName(QStringLiteral("VtpComboBox1"));
  VtpComboBox1->setEditable(false);
  VtpComboBox1->setMinimumWidth(120);
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(VtpEdit1, 1);
  pathRow->addWidget(VtpFileBtn1);
  auto* positionRow = new QHBoxLayout;
  positionRow->addWidget(WproChkBox1);
  positionRow->addStretch(1);
  positionRow->addWidget(Label1);
  positionRow->addWidget(VtpComboBox1);
  inner->addWidget(VtpChkBox1);
  inner->addLayout(pathRow);
  inner->addLayout(positionRow);
  auto* buttons = new QDialogButtonBox(this);
  BitBtn1 = buttons->addButton(QDialogButtonBox::Ok);
  BitBtn2 = buttons->addButton(QDialogButtonBox::Cancel);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  layout->addWidget(group);
  layout->addStretch(1);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(VtpChkBox1, &QCheckBox::toggled, this, [this] { VtpChkBox1Click(); });
  AddRecentMenu(VtpFileBtn1, VtpEdit1, &Recent, true, OpenFailedText());
  connect(VtpFileBtn1, &QToolButton::clicked, this, [this] { VtpFileBtn1Click(); });
  SetClientSize(369, 193);
}

void TVtpForm1::BuildPositionList() {
  const TTapeIndex index = BuildTapeIndex(Tape);
  VtpComboBox1->clear();
  PositionList.clear();
  for (const TTapeEntry& entry : index.Entries) {
    VtpComboBox1->addItem(TapeNameText(entry.Name));
    PositionList.push_back(entry.Position);
  }
  VtpComboBox1->setCurrentIndex(index.Selected);
}

void TVtpForm1::FormShow() {
  VtpChkBox1->setChecked(Tape.TapeMounted());
  WproChkBox1->setChecked(Tape.TapeWriteProtect());
  VtpEdit1->setText(QString::fromStdString(FileName));
  if (Tape.TapeMounted()) {
    BuildPositionList();
  } else {
    VtpComboBox1->clear();
    PositionList.clear();
  }
  VtpChkBox1Click();
}

void TVtpForm1::VtpChkBox1Click() {
  const bool on = VtpChkBox1->isChecked();
  WproChkBox1->setEnabled(on);
  VtpEdit1->setEnabled(on);
  VtpComboBox1->setEnabled(on);
  VtpFileBtn1->setEnabled(on);
}

void TVtpForm1::VtpFileBtn1Click() {
  // A new tape may be named here; OK then offers to create it.
  const QString path = DialogHost().OpenOrNewFileName(this, FileFilter(), QStringLiteral("vtp"),
                                                      VtpEdit1->text());
  if (!path.isEmpty()) VtpEdit1->setText(path);
}

void TVtpForm1::FormClose(bool ok) {
  if (!ok) return;
  const bool inUse = VtpChkBox1->isChecked();
  const std::string path = VtpEdit1->text().toStdString();
  Tape.SetTapeWriteProtect(WproChkBox1->isChecked());
  if (Tape.TapeMounted() && inUse && path == FileName) {
    // The same tape: wind it to the chosen entry and nothing else.
    const int selected = VtpComboBox1->currentIndex();
    if (selected >= 0 && selected < static_cast<int>(PositionList.size()))
      Tape.SeekTape(PositionList[selected]);
    return;
  }
  FileName = path;
  if (Tape.TapeMounted()) Tape.CloseTape();
  if (!inUse) return;
  if (Tape.OpenTape(path)) return;
  // Only a missing file is offered for creation: creating truncates, and an
  // image that exists but cannot be opened (a directory, no permission) must
  // not be emptied by a hasty Yes.
  if (!path.empty() && QFileInfo::exists(QString::fromStdString(path))) {
    DialogHost().Warning(this, OpenFailedText());
    return;
  }
  if (!DialogHost().Question(this, CreateQuestionText())) return;
  if (!Tape.CreateTape(path)) DialogHost().Warning(this, OpenFailedText());
}
