// The debug window. Memory is shown from a copy of bank 0 taken whenever the
// CPU is shown afresh; a cell edit stores its byte into the CPU and the copy.
#include "Debugform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <cstring>

#include "core/Cpu_main.h"
#include "Debugrules.h"
#include "Dialoghost.h"

// The memory grid's contents: 4096 rows of 16 bytes.
class TMemoryModel : public QAbstractTableModel {
 public:
  TMemoryModel(TDebugForm1* form) : QAbstractTableModel(form), Form(form) {}
  std::vector<uint8_t> Memory = std::vector<uint8_t>(0x10000, 0);

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : 4096;
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : 16;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    const uint8_t b = Memory[CellAddress(index.column() + 1, index.row() + 1)];
    return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
  }
  QVariant headerData(int section, Qt::Orientation o, int role) const override {
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole) return {};
    return o == Qt::Horizontal
               ? QString::fromStdString(GridLabel(section + 1, 0))
               : QString::fromStdString(GridLabel(0, section + 1));
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
  }
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (role != Qt::EditRole) return false;
    Form->SGrid1SetEditText(index.column() + 1, index.row() + 1, value.toString());
    return true;
  }
  void Reload() { emit dataChanged(index(0, 0), index(4095, 15)); }
  void Changed(uint16_t address) {
    const QModelIndex i = index(address / 16, address % 16);
    emit dataChanged(i, i);
  }

 private:
  TDebugForm1* Form;
};

namespace {
// The key filters: SGrid1KeyPress for the hex edits and the grid's cell
// editor, EditCC_EKeyPress for the flag edits.
class TKeyFilter : public QObject {
 public:
  TKeyFilter(QObject* parent, bool (*keep)(char32_t)) : QObject(parent), Keep(keep) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const QString text = static_cast<QKeyEvent*>(event)->text();
      if (text.size() == 1 && !Keep(text.at(0).unicode())) return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool (*Keep)(char32_t);
};

// Cell editor: two hex digits, forced to upper case.
class THexCellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex&) const override {
    auto* edit = new QLineEdit(parent);
    edit->setInputMask(QStringLiteral(">HH;_"));
    edit->installEventFilter(new TKeyFilter(edit, KeepHexKey));
    return edit;
  }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    auto* edit = static_cast<QLineEdit*>(editor);
    edit->setText(index.data(Qt::EditRole).toString());
    edit->selectAll();
  }
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    // Blanks left in the mask arrive as blanks: an incomplete cell.
    QString text = static_cast<QLineEdit*>(editor)->displayText();
    text.replace(QLatin1Char('_'), QLatin1Char(' '));
    model->setData(index, text, Qt::EditRole);
  }
};
}  // namespace

QLineEdit* TDebugForm1::HexEdit(int digits, const char* name) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setInputMask(digits == 2 ? QStringLiteral(">HH;_") : QStringLiteral(">HHHH;_"));
  edit->installEventFilter(new TKeyFilter(edit, KeepHexKey));
  edit->setFixedWidth(digits == 2 ? 36 : 56);
  return edit;
}

QLineEdit* TDebugForm1::FlagEdit(const char* name) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setInputMask(QStringLiteral("9;_"));
  edit->installEventFilter(new TKeyFilter(edit, KeepFlagKey));
  edit->setFixedWidth(22);
  return edit;
}

TDebugForm1::TDebugForm1(TDebugLink& link, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      Link(link) {
  setObjectName(QStringLiteral("DebugForm1"));
  setWindowTitle(tr("Debug Window"));
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  Model = new TMemoryModel(this);
  SGrid1 = new QTableView(this);
  SGrid1->setObjectName(QStringLiteral("SGrid1"));
  SGrid1->setModel(Model);
  SGrid1->setItemDelegate(new THexCellDelegate(SGrid1));
  SGrid1->installEventFilter(new TKeyFilter(SGrid1, KeepHexKey));
  SGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  SGrid1->horizontalHeader()->setDefaultSectionSize(24);
  SGrid1->horizontalHeader()->setMinimumSectionSize(24);
  SGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  SGrid1->verticalHeader()->setDefaultSectionSize(18);
  SGrid1->verticalHeader()->setMinimumSectionSize(18);
  SGrid1->verticalHeader()->setFixedWidth(48);
  SGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  SGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SGrid1->setEditTriggers(QAbstractItemView::AnyKeyPressed |
                          QAbstractItemView::DoubleClicked |
                          QAbstractItemView::EditKeyPressed);
  SGrid1->setTabKeyNavigation(true);
  SGrid1->setFixedWidth(48 + 16 * 24 + SGrid1->verticalScrollBar()->sizeHint().width() + 4);
  SGrid1->setCornerButtonEnabled(false);
  auto* corner = new QLabel(tr("ADDR"), SGrid1);
  corner->setAlignment(Qt::AlignCenter);
  corner->setGeometry(1, 1, 48, SGrid1->horizontalHeader()->sizeHint().height());

  EditAR = HexEdit(2, "EditAR");
  EditBR = HexEdit(2, "EditBR");
  EditDP = HexEdit(2, "EditDP");
  EditXR = HexEdit(4, "EditXR");
  EditYR = HexEdit(4, "EditYR");
  EditUR = HexEdit(4, "EditUR");
  EditSR = HexEdit(4, "EditSR");
  EditPC = HexEdit(4, "EditPC");
  EditCC_E = FlagEdit("EditCC_E");
  EditCC_F = FlagEdit("EditCC_F");
  EditCC_H = FlagEdit("EditCC_H");
  EditCC_I = FlagEdit("EditCC_I");
  EditCC_N = FlagEdit("EditCC_N");
  EditCC_Z = FlagEdit("EditCC_Z");
  EditCC_V = FlagEdit("EditCC_V");
  EditCC_C = FlagEdit("EditCC_C");

  auto* registers = new QGridLayout;
  const std::pair<const char*, QLineEdit*> regs[] = {
      {"A", EditAR}, {"B", EditBR}, {"DP", EditDP}, {"X", EditXR},
      {"Y", EditYR}, {"U", EditUR}, {"S", EditSR},  {"PC", EditPC}};
  int row = 0;
  for (const auto& [name, edit] : regs) {
    registers->addWidget(new QLabel(QString::fromLatin1(name), this), row, 0);
    registers->addWidget(edit, row, 1);
    ++row;
  }
  registers->setColumnStretch(2, 1);
  auto* flags = new QGridLayout;
  static const char* const flagNames[8] = {"E", "F", "H", "I", "N", "Z", "V", "C"};
  const auto flagEdits = FlagEdits();
  for (int i = 0; i < 8; ++i) {
    auto* label = new QLabel(QString::fromLatin1(flagNames[i]), this);
    label->setAlignment(Qt::AlignCenter);
    flags->addWidget(label, 0, i);
    flags->addWidget(flagEdits[i], 1, i);
  }

  BtnStep = new QPushButton(tr("STEP"), this);
  BtnRun = new QPushButton(tr("RUN"), this);
  BtnStop = new QPushButton(tr("STOP"), this);
  BtnStep->setObjectName(QStringLiteral("BtnStep"));
  BtnRun->setObjectName(QStringLiteral("BtnRun"));
  BtnStop->setObjectName(QStringLiteral("BtnStop"));
  auto* cpuBox = new QGroupBox(tr("CPU"), this);
  cpuBox->setObjectName(QStringLiteral("CpuRadioG1"));
  CpuMain = new QRadioButton(tr("Main"), cpuBox);
  CpuSub = new QRadioButton(tr("Sub"), cpuBox);
  CpuRadioG1 = new QButtonGroup(this);
  CpuRadioG1->addButton(CpuMain, 0);
  CpuRadioG1->addButton(CpuSub, 1);
  CpuMain->setChecked(true);
  auto* cpuLayout = new QHBoxLayout(cpuBox);
  cpuLayout->addWidget(CpuMain);
  cpuLayout->addWidget(CpuSub);

  BreakChkBox1 = new QCheckBox(tr("Break at"), this);
  BreakChkBox1->setObjectName(QStringLiteral("BreakChkBox1"));
  EditBP = HexEdit(4, "EditBP");
  EditBP->setText(QStringLiteral("0000"));
  StateLabel = new QLabel(this);
  StateLabel->setObjectName(QStringLiteral("StateLabel"));

  DisasmView = new QPlainTextEdit(this);
  DisasmView->setObjectName(QStringLiteral("DisasmView"));
  DisasmView->setReadOnly(true);
  DisasmView->setLineWrapMode(QPlainTextEdit::NoWrap);
  DisasmView->setMinimumWidth(300);

  auto* side = new QVBoxLayout;
  side->addLayout(registers);
  side->addLayout(flags);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BtnStep);
  buttons->addWidget(BtnRun);
  buttons->addWidget(BtnStop);
  side->addLayout(buttons);
  side->addWidget(cpuBox);
  auto* breakRow = new QHBoxLayout;
  breakRow->addWidget(BreakChkBox1);
  breakRow->addWidget(EditBP);
  breakRow->addStretch(1);
  side->addLayout(breakRow);
  side->addWidget(StateLabel);
  side->addStretch(1);
  // Closing releases the CPUs; the button (and Esc) close the window also
  // where no window manager draws a title bar.
  BtnClose = new QPushButton(tr("Close"), this);
  BtnClose->setObjectName(QStringLiteral("BtnClose"));
  auto* closeRow = new QHBoxLayout;
  closeRow->addStretch(1);
  closeRow->addWidget(BtnClose);
  side->addLayout(closeRow);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(SGrid1);
  layout->addLayout(side);
  layout->addWidget(DisasmView, 1);

  connect(BtnStep, &QPushButton::clicked, this, [this] { BtnStepClick(); });
  connect(BtnRun, &QPushButton::clicked, this, [this] { BtnRunClick(); });
  connect(BtnStop, &QPushButton::clicked, this, [this] { BtnStopClick(); });
  connect(BtnClose, &QPushButton::clicked, this, &QWidget::close);
  connect(CpuRadioG1, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) CpuChanged();
  });
  connect(BreakChkBox1, &QCheckBox::toggled, this, [this] { UpdateBreakpoint(); });
  connect(EditBP, &QLineEdit::textChanged, this, [this] { UpdateBreakpoint(); });

  PollTimer = new QTimer(this);
  PollTimer->setInterval(50);
  connect(PollTimer, &QTimer::timeout, this, [this] { PollHold(); });

  Cpu = &Link.Cpu(0);
  resize(960, 400);
}

// Closing, not destruction, releases the CPUs: by the time the window is
// destroyed the machine may be gone (the main window closes it first).
TDebugForm1::~TDebugForm1() = default;

std::array<QLineEdit*, 8> TDebugForm1::FlagEdits() const {
  return {EditCC_E, EditCC_F, EditCC_H, EditCC_I, EditCC_N, EditCC_Z, EditCC_V, EditCC_C};
}

int TDebugForm1::CpuIndex() const { return CpuRadioG1->checkedId() == 1 ? 1 : 0; }

QString TDebugForm1::CellText(int column, int row) const {
  if (column == 0 || row == 0) return QString::fromStdString(GridLabel(column, row));
  return Model->data(Model->index(row - 1, column - 1), Qt::DisplayRole).toString();
}

void TDebugForm1::SGrid1SetEditText(int column, int row, const QString& text) {
  const auto value = ReadHex(text.toStdString(), 2);
  if (!value) return;  // incomplete entry
  const uint16_t address = CellAddress(column, row);
  Link.Suspend();
  Cpu->Bank[0][address] = static_cast<uint8_t>(*value);
  Link.Resume();
  Model->Memory[address] = static_cast<uint8_t>(*value);
  Model->Changed(address);
  ShowDisassembly();
}

// Whether CPU index is held by the debugger (not stepping); called with the
// run loop at rest.
bool TDebugForm1::HeldAtRest(int index) const {
  const TDebugHold& hold = Link.Hold();
  return hold.DebugTarget[index].load() && hold.DebugHalt.load();
}

bool TDebugForm1::PutRegisters() {
  TRegisterTexts texts;
  texts.A = EditAR->text().toStdString();
  texts.B = EditBR->text().toStdString();
  texts.DP = EditDP->text().toStdString();
  texts.X = EditXR->text().toStdString();
  texts.Y = EditYR->text().toStdString();
  texts.U = EditUR->text().toStdString();
  texts.S = EditSR->text().toStdString();
  texts.PC = EditPC->text().toStdString();
  const auto flagEdits = FlagEdits();
  for (int i = 0; i < 8; ++i) texts.Flags[i] = flagEdits[i]->text().toStdString();
  TRegisterValues values;
  std::string failed;
  const bool complete = ReadRegisters(texts, values, failed);
  Link.Suspend();
  // The edits count only if they show the CPU as it stands: held when read,
  // held now, and no step or breakpoint taken in between.
  const bool current = ShownHeld && HeldAtRest(CpuIndex()) &&
                       Link.Hold().Holds.load(std::memory_order_acquire) == ShownHolds;
  if (current && complete) StoreChangedRegisters(values, Shown, *Cpu);
  Link.Resume();
  if (!current) return true;
  if (!complete) {
    DialogHost().Warning(
        this, tr("%1 does not hold a complete value; no register was written.")
                  .arg(QString::fromStdString(failed)));
    return false;
  }
  Shown = values;
  return true;
}

void TDebugForm1::LoadFromCpu() {
  // One read at rest: memory, registers, the hold and the disassembly.
  Link.Suspend();
  std::memcpy(Model->Memory.data(), Cpu->Bank[0], 0x10000);
  Shown = ReadCpuRegisters(*Cpu);
  ShownHeld = HeldAtRest(CpuIndex());
  ShownHolds = Link.Hold().Holds.load(std::memory_order_acquire);
  Lines = DisassembleAround(*Cpu, Shown.PC, 6, 12);
  Link.Resume();
  const TRegisterTexts t = ShowRegisters(Shown);
  Model->Reload();
  EditAR->setText(QString::fromStdString(t.A));
  EditBR->setText(QString::fromStdString(t.B));
  EditDP->setText(QString::fromStdString(t.DP));
  EditXR->setText(QString::fromStdString(t.X));
  EditYR->setText(QString::fromStdString(t.Y));
  EditUR->setText(QString::fromStdString(t.U));
  EditSR->setText(QString::fromStdString(t.S));
  EditPC->setText(QString::fromStdString(t.PC));
  const auto flagEdits = FlagEdits();
  for (int i = 0; i < 8; ++i) flagEdits[i]->setText(QString::fromStdString(t.Flags[i]));
  RenderDisassembly();
  ShowState();
}

// Memory changed (a cell edit): the code around the PC shown, decoded again.
void TDebugForm1::ShowDisassembly() {
  Link.Suspend();
  Lines = DisassembleAround(*Cpu, Shown.PC, 6, 12);
  Link.Resume();
  RenderDisassembly();
}

void TDebugForm1::RenderDisassembly() {
  const TDebugHold& hold = Link.Hold();
  const int i = CpuIndex();
  const bool armed = hold.BreakArmed[i].load() != 0;
  const uint32_t bp = hold.BreakAddress[i].load();
  QString text;
  for (const TDisasmLine& line : Lines) {
    const QChar mark = line.Address == Shown.PC ? QLatin1Char('>')
                       : (armed && line.Address == bp) ? QLatin1Char('*')
                                                       : QLatin1Char(' ');
    text += QStringLiteral("%1 %2  %3  %4\n")
                .arg(mark)
                .arg(line.Address, 4, 16, QLatin1Char('0'))
                .arg(QString::fromStdString(line.Bytes), -14)
                .arg(QString::fromStdString(line.Text));
  }
  DisasmView->setPlainText(text.toUpper());
}

// The CPU shown: held, stepping or running; and the other CPU when the
// debugger holds that one instead.
void TDebugForm1::ShowState() {
  const TDebugHold& hold = Link.Hold();
  const QString names[2] = {tr("Main"), tr("Sub")};
  const int i = CpuIndex();
  const bool halt = hold.DebugHalt.load() != 0;
  const QString stopped = halt ? tr("held") : tr("stepping");
  QString text = names[i] + QLatin1Char(' ') + (hold.DebugTarget[i].load() ? stopped : tr("running"));
  if (hold.DebugTarget[1 - i].load()) text += QStringLiteral(", %1 %2").arg(names[1 - i], stopped);
  StateLabel->setText(text);
}

void TDebugForm1::CpuChanged() {
  Cpu = &Link.Cpu(CpuIndex());
  UpdateBreakpoint();
  LoadFromCpu();
}

void TDebugForm1::UpdateBreakpoint() {
  const auto address = ReadHex(EditBP->text().toStdString(), 4);
  Link.Hold().SetBreakpoint(CpuIndex(), BreakChkBox1->isChecked() && address.has_value(),
                            static_cast<uint16_t>(address.value_or(0)));
  if (isVisible()) RenderDisassembly();
}

void TDebugForm1::PollHold() {
  const uint32_t holds = Link.Hold().Holds.load(std::memory_order_acquire);
  if (holds != SeenHolds) {
    SeenHolds = holds;
    LoadFromCpu();
  } else {
    ShowState();
  }
}

void TDebugForm1::BtnStopClick() {
  Link.Hold().Target(CpuIndex(), false);
  LoadFromCpu();
}

void TDebugForm1::BtnStepClick() {
  if (!PutRegisters()) return;
  SeenHolds = Link.Hold().Holds.load(std::memory_order_acquire);
  Link.Hold().Target(CpuIndex(), true);
  ShowState();
}

void TDebugForm1::BtnRunClick() {
  if (!PutRegisters()) return;
  Link.Hold().Release();
  ShowState();
}

void TDebugForm1::FormShow() {
  Cpu = &Link.Cpu(CpuIndex());
  Link.Hold().Target(CpuIndex(), false);
  SeenHolds = Link.Hold().Holds.load(std::memory_order_acquire);
  UpdateBreakpoint();
  LoadFromCpu();
  PollTimer->start();
}

void TDebugForm1::FormClose() {
  PollTimer->stop();
  Link.Hold().ClearBreakpoints();
  Link.Hold().Release();
}

void TDebugForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!Placed) {
    Placed = true;
    CenterOnScreen(this);
  }
  if (!event->spontaneous()) FormShow();
}

void TDebugForm1::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TDebugForm1::closeEvent(QCloseEvent* event) {
  FormClose();
  QWidget::closeEvent(event);
}
