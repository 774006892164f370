// TDebugForm1, the debug window: a hex view and editor of one CPU's bank-0
// memory, its registers and condition-code flags, a disassembly around PC,
// a breakpoint, and STOP, STEP and RUN for the chosen CPU ("Main" or "Sub").
//
// The window never touches a CPU while the emulation thread executes it:
// every read and write of the machine happens with the run loop brought to
// rest between two passes (TDebugLink::Suspend), and run control goes through
// the flags of TDebugHold, which only the run loop acts on.
//
// Registers, flags and the disassembly shown come from one read. The edits go
// back into the CPU only while it is held and has not moved since that read,
// and then only the values the user changed: edits read from a running CPU
// are stale and never overwrite it.
#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

#include "Debughold.h"
#include "Debugrules.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QTimer;
class TCpu09;
class TMemoryModel;

// What the window needs of the machine.
class TDebugLink {
 public:
  virtual ~TDebugLink() = default;
  virtual TCpu09& Cpu(int index) = 0;  // 0 main, 1 sub
  virtual TDebugHold& Hold() = 0;
  // Brings the run loop to rest between two passes, and lets it go again.
  // Calls nest.
  virtual void Suspend() = 0;
  virtual void Resume() = 0;
};

// The same over the emulation thread (members Mcpu, Scpu, DebugHold,
// Suspend, Resume).
template <class Thread>
class TDebugLinkOf : public TDebugLink {
 public:
  explicit TDebugLinkOf(Thread& thread) : T(thread) {}
  TCpu09& Cpu(int index) override {
    return index ? static_cast<TCpu09&>(*T.Scpu) : static_cast<TCpu09&>(*T.Mcpu);
  }
  TDebugHold& Hold() override { return T.DebugHold; }
  void Suspend() override { T.Suspend(); }
  void Resume() override { T.Resume(); }

 private:
  Thread& T;
};

class TDebugForm1 : public QWidget {
  Q_OBJECT
 public:
  explicit TDebugForm1(TDebugLink& link, QWidget* parent = nullptr);
  ~TDebugForm1() override;

  QTableView* SGrid1;
  QLineEdit *EditAR, *EditBR, *EditDP, *EditXR, *EditYR, *EditUR, *EditSR, *EditPC;
  QLineEdit *EditCC_E, *EditCC_F, *EditCC_H, *EditCC_I, *EditCC_N, *EditCC_Z, *EditCC_V,
      *EditCC_C;
  QPushButton *BtnStep, *BtnRun, *BtnStop, *BtnClose;
  QRadioButton *CpuMain, *CpuSub;  // CpuRadioG1's items
  QButtonGroup* CpuRadioG1;
  QCheckBox* BreakChkBox1;
  QLineEdit* EditBP;
  QPlainTextEdit* DisasmView;
  QLabel* StateLabel;

  // The CPU the window shows and edits.
  TCpu09* Cpu = nullptr;
  int CpuIndex() const;

  // The grid as 17 columns by 4097 rows: row 0 and column 0 are the labels.
  QString CellText(int column, int row) const;
  // A cell's text changed: a complete hex byte is stored into bank 0.
  void SGrid1SetEditText(int column, int row, const QString& text);
  // Writes the register and flag edits the user changed into the CPU, if it
  // is held and has not moved since it was shown; false (and nothing
  // written) when an edit to be written is incomplete.
  bool PutRegisters();

  void BtnStepClick();
  void BtnRunClick();
  void BtnStopClick();
  // Shows the chosen CPU afresh: memory, registers, disassembly.
  void LoadFromCpu();
  // Looks whether the run loop took a hold (a step done, a breakpoint
  // reached) since the last look, and shows the CPU if so.
  void PollHold();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void FormShow();
  void FormClose();

 private:
  void CpuChanged();
  void UpdateBreakpoint();
  void ShowState();
  void ShowDisassembly();
  void RenderDisassembly();
  bool HeldAtRest(int index) const;
  QLineEdit* HexEdit(int digits, const char* name);
  QLineEdit* FlagEdit(const char* name);
  std::array<QLineEdit*, 8> FlagEdits() const;

  TDebugLink& Link;
  TMemoryModel* Model;
  QTimer* PollTimer;
  uint32_t SeenHolds = 0;
  // The registers as last read from the CPU shown, whether it was held then,
  // and the hold count at that read; the disassembly around their PC.
  TRegisterValues Shown;
  bool ShownHeld = false;
  uint32_t ShownHolds = 0;
  std::vector<TDisasmLine> Lines;
  bool Placed = false;  // centred on the screen when first shown
};
