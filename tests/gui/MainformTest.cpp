// The main window on the offscreen platform: zoom steps, full screen and
// back, pausing around menus and dialogs, and keys through the filter.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <vector>

#include "Hostevents.h"
#include "Mainform.h"
#include "RunningForm.h"

namespace {

// Records the key messages the filter posts to the window.
class TKeyRecorder : public QObject {
 public:
  struct TMsg {
    int Type;
    uint32_t Vk, Flags;
  };
  std::vector<TMsg> Msgs;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == HostEventType(WM_HOSTKEYDOWN) || e->type() == HostEventType(WM_HOSTKEYUP)) {
      auto* k = static_cast<THostKeyEvent*>(e);
      Msgs.push_back({int(e->type()), k->Vk, k->Flags});
    }
    return false;
  }
};

void SendKey(QWidget* to, QEvent::Type type, int key, uint32_t evdev, const QString& text = {},
             Qt::KeyboardModifiers mods = Qt::NoModifier, bool autoRep = false) {
  QKeyEvent e(type, key, mods, evdev + 8, 0, 0, text, autoRep);
  QApplication::sendEvent(to, &e);
}

TEST(Mainform, LayoutCaptionsAndDesignSizes) {
  TForm1 form;
  form.show();
  Settle();
  EXPECT_EQ(form.windowTitle(), "Quillon");
  EXPECT_EQ(form.File1->title(), "ファイル(&F)");
  EXPECT_EQ(form.Show1->title(), "表示(&V)");
  EXPECT_EQ(form.FullScrn1->text(), "全画面表示(&A)");
  EXPECT_EQ(form.SpeedButton5->toolTip(), "リセット");
  EXPECT_EQ(form.ToolButton1->toolTip(), "ズーム");
  EXPECT_EQ(form.ToolBar1->height(), 29);
  EXPECT_EQ(form.StatusBar1->height(), 19);
  EXPECT_EQ(form.Picture->size(), QSize(640, 400));
  EXPECT_TRUE(form.ZoomItems[2]->isChecked());
  EXPECT_TRUE(form.PZoomItems[2]->isChecked());
  // Status bar: the text panel is the outer width (648) less 114, then the
  // two lamps of 44.
  EXPECT_EQ(form.StatusBar1->PanelRect(0).width(), 534);
  EXPECT_EQ(form.StatusBar1->PanelRect(1), QRect(534, 0, 44, 19));
  EXPECT_EQ(form.StatusBar1->PanelRect(2), QRect(578, 0, 44, 19));
}

TEST(Mainform, ZoomStepsSetThePictureSize) {
  TForm1 form;
  form.show();
  Settle();
  const QSize sizes[5] = {{320, 200}, {480, 300}, {640, 400}, {960, 600}, {1280, 800}};
  for (int step : {0, 4, 1, 3, 2}) {
    form.ZoomItems[step]->trigger();
    Settle();
    EXPECT_EQ(form.Picture->size(), sizes[step]) << step;
    EXPECT_EQ(form.ClientSize(), sizes[step] + QSize(0, 48)) << step;
    EXPECT_EQ(form.Ddraw.DstRect, QRect(QPoint(0, 0), sizes[step])) << step;
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(form.ZoomItems[i]->isChecked(), i == step);
      EXPECT_EQ(form.PZoomItems[i]->isChecked(), i == step);
    }
  }
  // The pop-up menu's items do the same.
  form.PZoomItems[3]->trigger();
  Settle();
  EXPECT_EQ(form.Picture->size(), sizes[3]);
  EXPECT_TRUE(form.ZoomItems[3]->isChecked());
  // A click on the zoom button itself is 100 %.
  form.ToolButton1->click();
  Settle();
  EXPECT_EQ(form.Picture->size(), sizes[2]);
}

TEST(Mainform, FullScreenAndBackRestoresTheSize) {
  TForm1 form;
  form.show();
  Settle();
  form.ZoomItems[1]->trigger();
  Settle();
  ASSERT_EQ(form.Picture->size(), QSize(480, 300));
  form.FullScrn1->trigger();
  Settle();
  EXPECT_EQ(form.DspMode, 1);
  EXPECT_TRUE(form.isFullScreen());
  EXPECT_TRUE(form.FullScrn1->isChecked());
  EXPECT_TRUE(form.menuBar()->isHidden());
  EXPECT_TRUE(form.ToolBar1->isHidden());
  EXPECT_TRUE(form.StatusBar1->isHidden());
  EXPECT_EQ(form.Ddraw.DstRect, TDdraw::PictureRect(form.Picture->size(), true));
  EXPECT_TRUE(form.Ddraw.IsOpen());
  // Zoom does nothing in full screen, not even the checks.
  form.ZoomItems[4]->trigger();
  Settle();
  EXPECT_TRUE(form.ZoomItems[1]->isChecked());
  EXPECT_TRUE(form.isFullScreen());
  form.SpeedButton3->click();  // the tool button switches back
  Settle();
  EXPECT_EQ(form.DspMode, 0);
  EXPECT_FALSE(form.isFullScreen());
  EXPECT_FALSE(form.FullScrn1->isChecked());
  EXPECT_FALSE(form.menuBar()->isHidden());
  EXPECT_EQ(form.Picture->size(), QSize(480, 300));
  EXPECT_EQ(form.Ddraw.DstRect, QRect(0, 0, 480, 300));
}

TEST(Mainform, FailedOpenAfterModeSwitchLeavesABlackPicture) {
  TForm1 form;
  form.show();
  Settle();
  form.Ddraw.RefuseOpen = true;
  form.FullScrn1Click();
  Settle();
  EXPECT_FALSE(form.Ddraw.IsOpen());
  EXPECT_EQ(form.StatusBar1->Text(), "DirectDrawの初期化に失敗しました。");
  form.Picture->repaint();  // painting with no work image is safe
  form.FullScrn1Click();
  Settle();
  EXPECT_TRUE(form.Ddraw.IsOpen());
  EXPECT_EQ(form.StatusBar1->Text(), "");
}

TEST(Mainform, MenusAndDialogsPauseInPairs) {
  TRunningForm run;
  TForm1& form = *run.Form;
  ASSERT_TRUE(form.KeyFilter.Installed());
  form.File1->popup(form.mapToGlobal(QPoint(10, 10)));
  Settle();
  EXPECT_TRUE(form.Paused());
  EXPECT_TRUE(form.DrawStop);
  EXPECT_FALSE(form.KeyFilter.Installed());
  form.File1->hide();
  Settle();
  EXPECT_FALSE(form.Paused());
  EXPECT_FALSE(form.DrawStop);
  EXPECT_TRUE(form.KeyFilter.Installed());
  EXPECT_EQ(form.PauseCount, 1);
  EXPECT_EQ(form.ResumeCount, 1);

  // A submenu inside its menu is one pause.
  form.Show1->popup(form.mapToGlobal(QPoint(10, 10)));
  form.Zoom1->popup(form.mapToGlobal(QPoint(50, 10)));
  Settle();
  form.Zoom1->hide();
  Settle();
  EXPECT_TRUE(form.Paused());
  form.Show1->hide();
  Settle();
  EXPECT_FALSE(form.Paused());
  EXPECT_EQ(form.PauseCount, form.ResumeCount);

  // A modal dialog: paused while it is up, centred on the screen.
  QDialog dialog(&form);
  dialog.resize(200, 100);
  bool pausedInside = false;
  QPoint where;
  QTimer::singleShot(0, &dialog, [&] {
    pausedInside = form.Paused() && !form.KeyFilter.Installed();
    where = dialog.pos();
    dialog.accept();
  });
  EXPECT_EQ(form.ShowModal(dialog), QDialog::Accepted);
  EXPECT_TRUE(pausedInside);
  QRect screen = form.screen()->geometry();
  EXPECT_EQ(where, QPoint((screen.width() - dialog.width()) / 2, (screen.height() - dialog.height()) / 2));
  EXPECT_FALSE(form.Paused());
  EXPECT_EQ(form.PauseCount, form.ResumeCount);
}

// A key event as X gives it: the modifier state from before the key, which
// Qt turns into Alt's own press carrying the Alt modifier.
void Key(QWidget* to, bool press, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QTest::simulateEvent(to, press, key, mods, QString(), false);
  Settle();
}
void AltWith(QWidget* to, int key) {
  Key(to, true, Qt::Key_Alt);
  if (key) Key(to, true, key, Qt::AltModifier);
  Key(to, false, Qt::Key_Alt, Qt::AltModifier);
}
void Esc() {
  QWidget* popup = QApplication::activePopupWidget();
  Key(popup ? popup : QApplication::focusWidget(), true, Qt::Key_Escape);
}

// Alt works the menus as a click would, in the window and in full screen:
// alone it gives the menu bar the keyboard (Down opens the first menu), with
// a title's letter it opens that menu, Return takes an item; the machine
// pauses and gets no key meanwhile. F10 stays a machine key.
TEST(Mainform, MenusFromTheKeyboard) {
  TRunningForm run;
  TForm1& form = *run.Form;
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  TKeyRecorder rec;
  form.installEventFilter(&rec);
  QWidget* bar = form.menuBar();
  const std::pair<int, QMenu*> openers[] = {{0, form.File1},       {Qt::Key_F, form.File1},
                                            {Qt::Key_E, form.Edit1}, {Qt::Key_V, form.Show1},
                                            {Qt::Key_S, form.S1},    {Qt::Key_O, form.Operate1},
                                            {Qt::Key_H, form.Help1}};
  QSignalSpy reset(form.Reset1, &QAction::triggered);
  for (int full = 0; full < 2; ++full) {
    if (full) form.FullScrn1Click();
    Settle();
    form.Picture->setFocus();
    for (const auto& [letter, menu] : openers) {
      AltWith(form.Picture, letter);
      if (!letter) {
        EXPECT_EQ(QApplication::focusWidget(), bar);
        EXPECT_TRUE(form.Paused());
        Key(bar, true, Qt::Key_Down);
      }
      EXPECT_EQ(QApplication::activePopupWidget(), menu) << full << " " << letter;
      EXPECT_TRUE(form.Paused());
      Esc();  // back to the titles, then out
      Esc();
      EXPECT_FALSE(form.Paused()) << full << " " << letter;
      EXPECT_EQ(bar->isHidden(), full == 1);
    }
    AltWith(form.Picture, Qt::Key_O);
    Key(form.Operate1, true, Qt::Key_Return);  // Reset is the first item
    EXPECT_EQ(reset.count(), full + 1);
    EXPECT_FALSE(form.Paused());
  }
  EXPECT_TRUE(rec.Msgs.empty());  // not one key reached the machine
  Key(form.Picture, true, Qt::Key_F10);
  ASSERT_EQ(rec.Msgs.size(), 1u);
  EXPECT_EQ(rec.Msgs[0].Vk, 0x79u);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  Key(form.Picture, false, Qt::Key_F10);
}

TEST(Mainform, KeysThroughTheFilterBecomeKeyMessages) {
  TRunningForm run;
  TForm1& form = *run.Form;
  TKeyRecorder rec;
  form.installEventFilter(&rec);

  // Press and release of a key become one message each, with its code.
  SendKey(form.Picture, QEvent::KeyPress, Qt::Key_BracketLeft, 26);
  SendKey(form.Picture, QEvent::KeyRelease, Qt::Key_BracketLeft, 26);
  Settle();
  ASSERT_EQ(rec.Msgs.size(), 2u);
  EXPECT_EQ(rec.Msgs[0].Type, WM_HOSTKEYDOWN);
  EXPECT_EQ(rec.Msgs[0].Vk, 0xC0u);
  EXPECT_EQ(rec.Msgs[0].Flags & (HostKeyFlag_AlreadyDown | HostKeyFlag_Released), 0u);
  EXPECT_EQ(rec.Msgs[1].Type, WM_HOSTKEYUP);
  EXPECT_EQ(rec.Msgs[1].Vk, 0xC0u);
  EXPECT_EQ(rec.Msgs[1].Flags & HostKeyFlag_Released, HostKeyFlag_Released);

  // A key held down: the second press is "already down"; X's repeat release
  // in between is not a release.
  rec.Msgs.clear();
  SendKey(form.Picture, QEvent::KeyPress, Qt::Key_A, 30, "a");
  SendKey(form.Picture, QEvent::KeyRelease, Qt::Key_A, 30, "a", Qt::NoModifier, true);
  SendKey(form.Picture, QEvent::KeyPress, Qt::Key_A, 30, "a", Qt::NoModifier, true);
  SendKey(form.Picture, QEvent::KeyRelease, Qt::Key_A, 30, "a");
  Settle();
  ASSERT_EQ(rec.Msgs.size(), 3u);
  EXPECT_EQ(rec.Msgs[0].Flags & HostKeyFlag_AlreadyDown, 0u);
  EXPECT_EQ(rec.Msgs[1].Flags & HostKeyFlag_AlreadyDown, HostKeyFlag_AlreadyDown);
  EXPECT_EQ(rec.Msgs[2].Type, WM_HOSTKEYUP);

  // Shift and Ctrl are known while held.
  SendKey(form.Picture, QEvent::KeyPress, Qt::Key_Shift, 42);
  EXPECT_TRUE(form.KeyFilter.KeyState().Shift);
  EXPECT_FALSE(form.KeyFilter.KeyState().Ctrl);
  SendKey(form.Picture, QEvent::KeyPress, Qt::Key_Control, 97);
  EXPECT_TRUE(form.KeyFilter.KeyState().Ctrl);
  SendKey(form.Picture, QEvent::KeyRelease, Qt::Key_Shift, 42);
  SendKey(form.Picture, QEvent::KeyRelease, Qt::Key_Control, 97);
  EXPECT_FALSE(form.KeyFilter.KeyState().Shift);
  EXPECT_FALSE(form.KeyFilter.KeyState().Ctrl);

  // Caps Lock passes on and is followed; a letter's case corrects it.
  Settle();
  rec.Msgs.clear();
  SendKey(form.Picture, QEvent::KeyPress, Qt::Key_CapsLock, 58);
  SendKey(form.Picture, QEvent::KeyRelease, Qt::Key_CapsLock, 58);
  EXPECT_TRUE(form.KeyFilter.KeyState().CapsLock);
  SendKey(form.Picture, QEvent::KeyPress, Qt::Key_B, 48, "b");
  SendKey(form.Picture, QEvent::KeyRelease, Qt::Key_B, 48, "b");
  EXPECT_FALSE(form.KeyFilter.KeyState().CapsLock);
  Settle();
  ASSERT_EQ(rec.Msgs.size(), 2u);  // Caps Lock itself is not posted
  EXPECT_EQ(rec.Msgs[0].Vk, 0x42u);

  // Alt and Num Lock pass on too.
  rec.Msgs.clear();
  SendKey(form.Picture, QEvent::KeyPress, Qt::Key_Alt, 56);
  SendKey(form.Picture, QEvent::KeyRelease, Qt::Key_Alt, 56);
  SendKey(form.Picture, QEvent::KeyPress, Qt::Key_NumLock, 69);
  SendKey(form.Picture, QEvent::KeyRelease, Qt::Key_NumLock, 69);
  Settle();
  EXPECT_TRUE(rec.Msgs.empty());

  // While paused no key is taken.
  form.PauseEmulation();
  rec.Msgs.clear();
  SendKey(form.Picture, QEvent::KeyPress, Qt::Key_A, 30);
  Settle();
  EXPECT_TRUE(rec.Msgs.empty());
  form.ResumeEmulation();
}

}  // namespace
