// The performance, timer and keyboard dialogs, and the about box.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <atomic>

#include "Aboutform.h"
#include "Keyform.h"
#include "Paform.h"
#include "Timeform.h"

namespace {
// Shaped like the program's settings: CpuWait is 8 bits, the rest words.
struct TSettings {
  uint8_t CpuWait = 240;
  int32_t FlipFreq = 30;
  int32_t SubNmi = 20;
  int32_t McpuIrq = 203;
  bool KeyCh_ESC = true;
  bool KeyByChar = false;
};

// Runs f once the modal loop of the dialog has started.
template <class F>
void WhenShown(F f) {
  QTimer::singleShot(0, f);
}
}  // namespace

TEST(PaformForm, FlipFreqZeroShowsAndCommitsOne) {
  TPaformForm1 form;
  TSettings s;
  WhenShown([&] {
    EXPECT_EQ(form.WaitLabel->text(), QStringLiteral("240"));
    EXPECT_EQ(form.FlipLabel->text(), QStringLiteral("30"));
    form.FlipTrkBar1->setValue(0);
    EXPECT_EQ(form.FlipLabel->text(), QStringLiteral("1"));
    form.WaitTrkBar1->setValue(255);
    EXPECT_EQ(form.WaitLabel->text(), QStringLiteral("255"));
    form.accept();
  });
  EXPECT_EQ(form.Run(s), QDialog::Accepted);
  EXPECT_EQ(s.FlipFreq, 1);
  EXPECT_EQ(s.CpuWait, 255);
  EXPECT_EQ(form.windowTitle(), QStringLiteral("パフォーマンス"));
}

TEST(PaformForm, CloseBoxAndEscapeAreCancel) {
  for (int way = 0; way < 2; ++way) {
    TPaformForm1 form;
    TSettings s;
    WhenShown([&] {
      form.FlipTrkBar1->setValue(60);
      form.WaitTrkBar1->setValue(3);
      if (way == 0) form.close();
      else QTest::keyClick(&form, Qt::Key_Escape);
    });
    EXPECT_EQ(form.Run(s), QDialog::Rejected);
    EXPECT_EQ(s.FlipFreq, 30);
    EXPECT_EQ(s.CpuWait, 240);
  }
}

TEST(PaformForm, OutOfRangeValuesAreNeverCommitted) {
  TPaformForm1 form;
  TSettings s;
  s.FlipFreq = 500;  // as a hand-edited settings file could hold
  WhenShown([&] { form.accept(); });
  form.Run(s);
  EXPECT_EQ(s.FlipFreq, 60);
}

TEST(TimerForm, LabelRule) {
  const struct { int value; const char* text; } cases[] = {
      {100, "1"}, {105, "1.05"}, {203, "2.03"}, {250, "2.5"}, {500, "5"}, {110, "1.1"}, {499, "4.99"}};
  for (const auto& c : cases)
    EXPECT_EQ(TTimerForm1::McpuLabelText(c.value), QString::fromLatin1(c.text)) << c.value;
}

TEST(TimerForm, StandardThenCancelKeepsTheSettings) {
  TTimerForm1 form;
  TSettings s;
  s.McpuIrq = 450;
  s.SubNmi = 40;
  WhenShown([&] {
    EXPECT_EQ(form.McpuLabel->text(), QStringLiteral("4.5"));
    EXPECT_EQ(form.ScpuLabel->text(), QStringLiteral("40"));
    QTest::mouseClick(form.StdBtn1, Qt::LeftButton);
    EXPECT_EQ(form.McpuTrkBar1->value(), 203);
    EXPECT_EQ(form.McpuLabel->text(), QStringLiteral("2.03"));
    EXPECT_EQ(form.ScpuLabel->text(), QStringLiteral("20"));
    form.reject();
  });
  EXPECT_EQ(form.Run(s), QDialog::Rejected);
  EXPECT_EQ(s.McpuIrq, 450);
  EXPECT_EQ(s.SubNmi, 40);

  WhenShown([&] {
    QTest::mouseClick(form.StdBtn1, Qt::LeftButton);
    form.accept();
  });
  EXPECT_EQ(form.Run(s), QDialog::Accepted);
  EXPECT_EQ(s.McpuIrq, 203);
  EXPECT_EQ(s.SubNmi, 20);
}

TEST(KeybordForm, CommitsOnlyOnOk) {
  TKeybordForm1 form;
  TSettings s;
  WhenShown([&] {
    EXPECT_TRUE(form.EscChkBox1->isChecked());
    EXPECT_FALSE(form.CharChkBox1->isChecked());
    form.EscChkBox1->setChecked(false);
    form.CharChkBox1->setChecked(true);
    form.reject();
  });
  form.Run(s);
  EXPECT_TRUE(s.KeyCh_ESC);
  EXPECT_FALSE(s.KeyByChar);
  WhenShown([&] {
    form.EscChkBox1->setChecked(false);
    form.CharChkBox1->setChecked(true);
    form.accept();
  });
  form.Run(s);
  EXPECT_FALSE(s.KeyCh_ESC);
  EXPECT_TRUE(s.KeyByChar);
  EXPECT_EQ(form.windowTitle(), QStringLiteral("キーボード"));
}

TEST(AboutForm, LogoFlickersWhileShownAndIsWholeAfterwards) {
  TAboutForm1 form;
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Quillonについて"));
  const QImage original = TAboutForm1::DrawLogo();
  ASSERT_EQ(original.size(), QSize(281, 65));
  form.show();
  EXPECT_TRUE(form.FlickerTimer->isActive());
  form.SetSeed(12345);
  int changed = 0;
  for (int i = 0; i < 200; ++i) {
    form.FlickerTick();
    changed += form.Logo() != original;
  }
  EXPECT_GT(changed, 150);
  form.accept();
  EXPECT_FALSE(form.FlickerTimer->isActive());
  EXPECT_EQ(form.Logo(), original);
}
