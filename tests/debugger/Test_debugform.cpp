// The debug window over two bare CPU cores: editing rules, loading, the
// register write-back and the run-control flags.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QTableView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "Debugform.h"
#include "Debugrules.h"
#include "Dialoghost.h"
#include "core/Cpu_main.h"

namespace {
class TBareLink : public TDebugLink {
 public:
  TCpu09 Cpus[2];
  TDebugHold HoldFlags;
  int Depth = 0, Suspends = 0;
  TCpu09& Cpu(int index) override { return Cpus[index]; }
  TDebugHold& Hold() override { return HoldFlags; }
  void Suspend() override { ++Depth, ++Suspends; }
  void Resume() override { --Depth; }
};

class TRecordingHost : public TDialogHost {
 public:
  TRecordingHost() { SetDialogHost(this); }
  ~TRecordingHost() override { SetDialogHost(nullptr); }
  void Warning(QWidget*, const QString& text) override { Warnings << text; }
  bool Question(QWidget*, const QString&) override { return false; }
  QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
    return {};
  }
  QStringList Warnings;
};

class DebugFormTest : public ::testing::Test {
 protected:
  TBareLink Link;
  TRecordingHost Host;
};

void Type(QLineEdit* edit, const char* keys) {
  edit->setFocus();
  edit->clear();
  edit->setCursorPosition(0);
  QTest::keyClicks(edit, QString::fromLatin1(keys));
}
}  // namespace

TEST(DebugRules, KeyFilters) {
  const struct { char32_t ch; bool hex, flag; } cases[] = {
      {'0', true, true},   {'1', true, true},    {'2', true, false},  {'9', true, false},
      {'A', true, false},  {'a', true, false},   {'F', true, false},  {'f', true, false},
      {'G', false, false}, {'g', false, false},  {'z', false, false}, {0x08, true, true},
      {0x0D, true, true},  {0xE9, false, true},  {0x3042, false, true}, {'-', true, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(KeepHexKey(c.ch), c.hex) << std::hex << uint32_t(c.ch);
    EXPECT_EQ(KeepFlagKey(c.ch), c.flag) << std::hex << uint32_t(c.ch);
  }
}

TEST(DebugRules, HexTextNeedsEveryDigit) {
  EXPECT_EQ(ReadHex("1F", 2), 0x1Fu);
  EXPECT_EQ(ReadHex("ffff", 4), 0xFFFFu);
  EXPECT_FALSE(ReadHex("1 ", 2));
  EXPECT_FALSE(ReadHex("1", 2));
  EXPECT_FALSE(ReadHex("", 2));
  EXPECT_FALSE(ReadHex("1G", 2));
  EXPECT_FALSE(ReadHex("123", 2));
}

TEST_F(DebugFormTest, EditsFilterKeysAndForceUpperCase) {
  TDebugForm1 form(Link);
  form.show();
  Type(form.EditAR, "aG1");
  EXPECT_EQ(form.EditAR->text(), QStringLiteral("A1"));
  Type(form.EditXR, "g0fz9c");
  EXPECT_EQ(form.EditXR->text(), QStringLiteral("0F9C"));
  Type(form.EditCC_Z, "2a1");
  EXPECT_EQ(form.EditCC_Z->text(), QStringLiteral("1"));
  Type(form.EditCC_C, "0");
  EXPECT_EQ(form.EditCC_C->text(), QStringLiteral("0"));
  form.close();
}

TEST_F(DebugFormTest, GridLabelsAndCellWrites) {
  TDebugForm1 form(Link);
  form.show();
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Debug Window"));
  EXPECT_EQ(form.CellText(0, 0), QStringLiteral("ADDR"));
  EXPECT_EQ(form.CellText(1, 0), QStringLiteral("+0"));
  EXPECT_EQ(form.CellText(16, 0), QStringLiteral("+F"));
  EXPECT_EQ(form.CellText(0, 1), QStringLiteral("0000"));
  EXPECT_EQ(form.CellText(0, 2), QStringLiteral("0010"));
  EXPECT_EQ(form.CellText(0, 4096), QStringLiteral("FFF0"));

  uint8_t* bank0 = Link.Cpus[0].Bank[0];
  bank0[0xFFFF] = 0x55;
  form.SGrid1SetEditText(16, 4096, QStringLiteral("1 "));
  EXPECT_EQ(bank0[0xFFFF], 0x55);
  form.SGrid1SetEditText(16, 4096, QStringLiteral("1F"));
  EXPECT_EQ(bank0[0xFFFF], 0x1F);
  EXPECT_EQ(form.CellText(16, 4096), QStringLiteral("1F"));
  form.SGrid1SetEditText(3, 2, QStringLiteral("7E"));
  EXPECT_EQ(bank0[0x0012], 0x7E);
  EXPECT_EQ(Link.Cpus[1].Bank[0][0x0012], 0);  // only the chosen CPU
  // A ROM byte is patched too: the grid writes bank 0 directly.
  Link.Cpus[0].MemType[0x8000] = MT_ROM;
  form.SGrid1SetEditText(1, 0x801, QStringLiteral("C3"));
  EXPECT_EQ(bank0[0x8000], 0xC3);
  EXPECT_EQ(Link.Depth, 0);
  form.close();
}

TEST_F(DebugFormTest, ShownAndSwitchedCpuIsLoaded) {
  Link.Cpus[0].PC = 0x1234;
  Link.Cpus[0].CC = 0x88;
  Link.Cpus[0].Bank[0][0x0100] = 0xAB;
  Link.Cpus[1].PC = 0xD800;
  Link.Cpus[1].S = 0xD000;
  TDebugForm1 form(Link);
  form.show();
  EXPECT_EQ(form.EditPC->text(), QStringLiteral("1234"));
  EXPECT_EQ(form.EditCC_E->text(), QStringLiteral("1"));
  EXPECT_EQ(form.EditCC_N->text(), QStringLiteral("1"));
  EXPECT_EQ(form.EditCC_Z->text(), QStringLiteral("0"));
  EXPECT_EQ(form.CellText(1, 0x11), QStringLiteral("AB"));
  form.CpuSub->setChecked(true);
  EXPECT_EQ(form.Cpu, &Link.Cpus[1]);
  EXPECT_EQ(form.EditPC->text(), QStringLiteral("D800"));
  EXPECT_EQ(form.EditSR->text(), QStringLiteral("D000"));
  EXPECT_EQ(form.CellText(1, 0x11), QStringLiteral("00"));
  EXPECT_GT(Link.Suspends, 0);
  EXPECT_EQ(Link.Depth, 0);
  form.close();
}

TEST_F(DebugFormTest, PutRegistersOrderAndConditionCodes) {
  TDebugForm1 form(Link);
  form.show();
  form.EditAR->setText("12");
  form.EditBR->setText("34");
  form.EditDP->setText("56");
  form.EditXR->setText("789A");
  form.EditYR->setText("BCDE");
  form.EditUR->setText("F012");
  form.EditSR->setText("3456");
  form.EditPC->setText("FFFF");
  QLineEdit* flags[8] = {form.EditCC_E, form.EditCC_F, form.EditCC_H, form.EditCC_I,
                         form.EditCC_N, form.EditCC_Z, form.EditCC_V, form.EditCC_C};
  for (int bit = 7; bit >= 0; --bit) {
    for (int i = 0; i < 8; ++i) flags[i]->setText(i == 7 - bit ? "1" : "0");
    ASSERT_TRUE(form.PutRegisters());
    EXPECT_EQ(Link.Cpus[0].CC, 1 << bit) << bit;
  }
  const TCpu09& c = Link.Cpus[0];
  EXPECT_EQ(c.A, 0x12);
  EXPECT_EQ(c.B, 0x34);
  EXPECT_EQ(c.DP, 0x56);
  EXPECT_EQ(c.X, 0x789A);
  EXPECT_EQ(c.Y, 0xBCDE);
  EXPECT_EQ(c.U, 0xF012);
  EXPECT_EQ(c.S, 0x3456);
  EXPECT_EQ(c.PC, 0xFFFF);

  // An incomplete edit writes nothing at all and says which one.
  form.EditAR->setText("99");
  form.EditUR->setText("12");
  EXPECT_FALSE(form.PutRegisters());
  EXPECT_EQ(c.A, 0x12);
  ASSERT_EQ(Host.Warnings.size(), 1);
  EXPECT_TRUE(Host.Warnings[0].startsWith("U "));
  form.close();
}

TEST_F(DebugFormTest, RunControlTable) {
  const TDebugHold& h = Link.HoldFlags;
  auto flags = [&] {
    return std::array<uint32_t, 3>{h.DebugTarget[0].load(), h.DebugTarget[1].load(),
                                   h.DebugHalt.load()};
  };
  using F = std::array<uint32_t, 3>;
  for (int cpu = 0; cpu < 2; ++cpu) {
    TDebugForm1 form(Link);
    (cpu ? form.CpuSub : form.CpuMain)->setChecked(true);
    form.show();
    const F held = cpu ? F{0, 1, 1} : F{1, 0, 1};
    const F stepping = cpu ? F{0, 1, 0} : F{1, 0, 0};
    EXPECT_EQ(flags(), held) << "show " << cpu;
    QTest::mouseClick(form.BtnStep, Qt::LeftButton);
    EXPECT_EQ(flags(), stepping) << "step " << cpu;
    QTest::mouseClick(form.BtnRun, Qt::LeftButton);
    EXPECT_EQ(flags(), (F{0, 0, 0})) << "run " << cpu;
    QTest::mouseClick(form.BtnStop, Qt::LeftButton);
    EXPECT_EQ(flags(), held) << "stop " << cpu;
    form.close();
    EXPECT_EQ(flags(), (F{0, 0, 0})) << "close " << cpu;
  }
  // STEP with an incomplete register edit changes no flag.
  TDebugForm1 form(Link);
  form.show();
  form.EditPC->setText("1");
  QTest::mouseClick(form.BtnStep, Qt::LeftButton);
  EXPECT_EQ(flags(), (F{1, 0, 1}));
  form.close();
}

TEST_F(DebugFormTest, BreakpointFollowsTheChosenCpuAndIsDroppedOnClose) {
  TDebugForm1 form(Link);
  form.show();
  form.EditBP->setText("C000");
  form.BreakChkBox1->setChecked(true);
  const TDebugHold& h = Link.HoldFlags;
  EXPECT_EQ(h.BreakArmed[0].load(), 1u);
  EXPECT_EQ(h.BreakAddress[0].load(), 0xC000u);
  form.CpuSub->setChecked(true);
  EXPECT_EQ(h.BreakArmed[0].load(), 0u);
  EXPECT_EQ(h.BreakArmed[1].load(), 1u);
  form.EditBP->setText("C0");  // incomplete: disarmed
  EXPECT_EQ(h.BreakArmed[1].load(), 0u);
  form.EditBP->setText("C0DE");
  EXPECT_EQ(h.BreakArmed[1].load(), 1u);
  form.close();
  EXPECT_FALSE(h.Engaged());
}

TEST_F(DebugFormTest, DisassemblyMarksPcWithInstructionsAhead) {
  // 0100: LDA #$12 / LDB #$34 / NOP / CLRA ; PC at the NOP.
  const uint8_t code[] = {0x86, 0x12, 0xC6, 0x34, 0x12, 0x4F};
  TCpu09& c = Link.Cpus[0];
  std::copy(std::begin(code), std::end(code), c.Bank[0] + 0x100);
  const auto lines = DisassembleAround(c, 0x104, 2, 1);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].Address, 0x100);
  EXPECT_EQ(lines[0].Bytes, "86 12");
  EXPECT_EQ(lines[1].Address, 0x102);
  EXPECT_EQ(lines[2].Address, 0x104);
  EXPECT_EQ(lines[2].Text, "NOP");
  EXPECT_EQ(lines[3].Text, "CLRA");

  c.PC = 0x104;
  TDebugForm1 form(Link);
  form.show();
  EXPECT_TRUE(form.DisasmView->toPlainText().contains("> 0104  12"));
  form.close();
}

// Edits go back only where the user changed them, and only into a CPU that is
// held and has not moved since it was shown; the label names the CPU shown.
TEST_F(DebugFormTest, OnlyChangedEditsAreWrittenIntoAHeldCpu) {
  TCpu09& c = Link.Cpus[0];
  c.S = 0x7F00;
  TDebugForm1 form(Link);
  form.show();  // holds Main
  c.X = 0x5555;  // not in the edits: an untouched edit must not undo it
  form.EditPC->setText("2000");
  form.EditCC_Z->setText("1");
  QTest::mouseClick(form.BtnStep, Qt::LeftButton);
  EXPECT_EQ(c.PC, 0x2000);
  EXPECT_EQ(c.CC, 0x04);
  EXPECT_EQ(c.X, 0x5555);
  // The step is taken (a hold counted): edits from before it are not written.
  Link.HoldFlags.DebugHalt = 1;
  ++Link.HoldFlags.Holds;
  form.EditSR->setText("1234");
  QTest::mouseClick(form.BtnStep, Qt::LeftButton);
  EXPECT_EQ(c.S, 0x7F00);
  // Running: RUN leaves the registers alone, even an edit typed meanwhile.
  form.PollHold();
  QTest::mouseClick(form.BtnRun, Qt::LeftButton);
  c.PC = 0xFEBA;
  form.EditPC->setText("0000");
  QTest::mouseClick(form.BtnRun, Qt::LeftButton);
  EXPECT_EQ(c.PC, 0xFEBA);
  QTest::mouseClick(form.BtnStop, Qt::LeftButton);
  form.CpuSub->setChecked(true);
  EXPECT_EQ(form.StateLabel->text(), QStringLiteral("Sub running, Main held"));
  form.close();
}

// At its default size the grid shows all sixteen columns; Close and Esc close
// the window (no title bar is needed) and release the CPU.
TEST_F(DebugFormTest, GridFitsAndTheWindowClosesWithoutATitleBar) {
  for (bool esc : {false, true}) {
    TDebugForm1 form(Link);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QRect last = form.SGrid1->visualRect(form.SGrid1->model()->index(0, 15));
    EXPECT_TRUE(form.SGrid1->viewport()->rect().contains(last));
    if (esc)
      QTest::keyClick(&form, Qt::Key_Escape);
    else
      QTest::mouseClick(form.BtnClose, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(Link.HoldFlags.Engaged());
  }
}
