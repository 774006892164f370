// The dialogs and the debug window as the main window opens them: each
// dialog between one pause and one resume of the emulation, settings
// committed on OK, and the debug window holding the running machine's CPU
// until it is closed.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

#include "Debugform.h"
#include "Dialogmenus.h"
#include "Language.h"
#include "Mainform.h"
#include "Paform.h"
#include "Vfdform.h"

namespace {
struct MainWindowWithDialogs : ::testing::Test {
  std::string Language = "ja";
  QTemporaryDir Dir;
  std::unique_ptr<TForm1> Form;
  TDialogMenus* Menus = nullptr;

  void SetUp() override {
    for (const char* f : {"fb30rom1.dat", "fb30rom2.dat", "fb30sub.dat"})
      QFile::copy(QStringLiteral(QUILLON_BIN_DIR "/") + f, Dir.filePath(f));
    TForm1Options o;
    o.ProgramDir = Dir.path().toStdString();
    UseLanguage(Language);
    Form = std::make_unique<TForm1>(o);
    Form->ShowMessage = [](const QString&) {};
    Form->Beeper.FindDevice = [] { return QAudioDevice(); };  // silent on any desktop
    Menus = new TDialogMenus(*Form);
    Form->show();
    Form->FormCreate();
  }
  void TearDown() override {
    Form->close();
    Form.reset();
    UseLanguage("ja");
  }
  // Runs f on the modal dialog once it is up.
  template <class F>
  void WhenModal(F f) {
    QTimer::singleShot(0, [f] {
      QWidget* w = QApplication::activeModalWidget();
      ASSERT_NE(w, nullptr);
      f(w);
    });
  }
};
}  // namespace

TEST_F(MainWindowWithDialogs, DialogsOpenBetweenPauseAndResume) {
  for (QAction* item : {Form->VFd1, Form->VTape1, Form->Paform1, Form->Timer1,
                        Form->Keybord1, Form->About1}) {
    ASSERT_TRUE(item->isEnabled());
    const int pauses = Form->PauseCount;
    bool paused = false;
    WhenModal([&](QWidget* w) {
      paused = Form->Paused();
      static_cast<QDialog*>(w)->reject();
    });
    item->trigger();
    EXPECT_TRUE(paused) << item->text().toStdString();
    EXPECT_EQ(Form->PauseCount, pauses + 1);
    EXPECT_EQ(Form->ResumeCount - Form->PauseCount, 0);
    EXPECT_FALSE(Form->Paused());
  }
  EXPECT_TRUE(Form->SpeedButton1->isEnabled());
  EXPECT_NE(Menus->VfdForm1, nullptr);
}

TEST_F(MainWindowWithDialogs, PerformanceCommitsIntoTheSettingsAndTheMachine) {
  WhenModal([](QWidget* w) {
    auto* form = static_cast<TPaformForm1*>(w);
    form->FlipTrkBar1->setValue(0);
    form->WaitTrkBar1->setValue(100);
    form->accept();
  });
  Form->Paform1->trigger();
  EXPECT_EQ(Form->Settings.FlipFreq, 1);
  EXPECT_EQ(Form->Settings.CpuWait, 100);
  EXPECT_EQ(Form->Computer->State.CpuWait.load(), 100);
}

TEST_F(MainWindowWithDialogs, ImagesConfirmedInTheDialogsJoinTheRecentList) {
  const QString disk = Dir.filePath("d.vfd");
  QFile f(disk);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(480, '\0'));
  f.close();
  WhenModal([&](QWidget* w) {
    auto* form = static_cast<TVfdForm1*>(w);
    EXPECT_NE(form->Recent, nullptr);
    form->VfdChkBox1->setChecked(true);
    form->VfdEdit1->setText(disk);
    form->accept();
  });
  Form->VFd1->trigger();
  EXPECT_EQ(Form->Settings.Recent, std::vector<std::string>{disk.toStdString()});
}

TEST_F(MainWindowWithDialogs, DebugWindowHoldsTheMainCpuUntilClosed) {
  Menus->Debug1->trigger();
  ASSERT_NE(Menus->DebugForm1, nullptr);
  EXPECT_TRUE(Menus->DebugForm1->isVisible());
  TDebugHold& hold = Form->Computer->Thread.DebugHold;
  EXPECT_EQ(hold.DebugTarget[0].load(), 1u);
  EXPECT_EQ(hold.DebugHalt.load(), 1u);
  Menus->DebugForm1->close();
  EXPECT_FALSE(hold.Engaged());
  // Shown again and left open: closing the main window releases it first.
  Menus->Debug1->trigger();
  EXPECT_TRUE(hold.Engaged());
  Form->close();
  EXPECT_FALSE(Menus->DebugForm1->isVisible());
  EXPECT_FALSE(hold.Engaged());
}

// The texts a user sees in a window: titles, labels, buttons, group boxes,
// tool tips and menu items, with those of the windows and menus inside it.
QStringList ShownTexts(QWidget* w) {
  QStringList texts{w->windowTitle(), w->toolTip()};
  if (auto* l = qobject_cast<QLabel*>(w)) texts << l->text();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) texts << b->text();
  if (auto* g = qobject_cast<QGroupBox*>(w)) texts << g->title();
  for (QAction* a : w->actions()) {
    texts << a->text() << a->toolTip();
    if (a->menu()) texts << ShownTexts(a->menu());
  }
  for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) texts << ShownTexts(child);
  return texts;
}

struct EnglishWindowWithDialogs : MainWindowWithDialogs {
  EnglishWindowWithDialogs() { Language = "en"; }
};

// In English no Japanese text is left in the window, its menus, any dialog
// or the debug window, but for the language menu, which reads the same in
// both languages.
TEST_F(EnglishWindowWithDialogs, NoJapaneseTextIsLeft) {
  ASSERT_TRUE(EnglishInUse());
  QStringList texts = ShownTexts(Form.get());
  for (QAction* item : {Form->VFd1, Form->VTape1, Form->Paform1, Form->Timer1, Form->Keybord1, Form->About1}) {
    WhenModal([&](QWidget* w) {
      texts << ShownTexts(w);
      static_cast<QDialog*>(w)->reject();
    });
    item->trigger();
  }
  Menus->Debug1->trigger();
  texts << ShownTexts(Menus->DebugForm1);
  Menus->DebugForm1->close();
  EXPECT_TRUE(texts.contains(QStringLiteral("&File")));
  EXPECT_TRUE(texts.contains(QStringLiteral("Virtual Disk"))) << "the disk dialog's title";
  EXPECT_TRUE(texts.contains(QStringLiteral("Break at"))) << "the debug window's";
  for (const QString& t : texts) {
    if (t == QStringLiteral("Language / 言語") || t == QStringLiteral("日本語")) continue;
    for (QChar c : t)
      EXPECT_FALSE((c >= QChar(0x3000) && c <= QChar(0x9FFF)) || (c >= QChar(0xFF00) && c <= QChar(0xFFEF)))
          << t.toStdString();
  }
}
