// TForm1: the emulator's main window. It owns the presenter, the machine's
// emulation thread and the host timer; holds the menus, the tool bar and the
// status bar with the kana and INS lamps; switches between window and full
// screen and sets the zoom; turns Reset and Hot start into requests for the
// run loop; and pauses the whole emulation (frames, timer, thread, keyboard)
// while a menu or a modal dialog is open.
#pragma once

#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <memory>

#include "Keyfilter.h"
#include "Tddraw.h"

class QDialog;

// The picture area between the tool bar and the status bar; the presenter
// paints into it.
class TPicture : public QWidget {
  Q_OBJECT
 public:
  TPicture(TDdraw& ddraw, QWidget* parent);

 signals:
  void Resized();

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  TDdraw& Ddraw;
};

// The four-panel status bar: a text panel, the kana lamp, the INS lamp and a
// plain panel at the right.
class TStatusBar : public QWidget {
  Q_OBJECT
 public:
  static constexpr int LampWidth = 44;
  static constexpr int LastWidth = 40;

  explicit TStatusBar(QWidget* parent);
  void SetText(const QString& text);
  QString Text() const { return Panel0Text; }
  // Lamp states; the bar repaints when asked.
  int KanaLamp = 0;
  int InsLamp = 0;
  int RepaintCount = 0;
  QRect PanelRect(int panel) const;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  void DrawLampPanel(QPainter& p, const QRect& r, int lamp, const QString& label);
  QString Panel0Text;
};

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  // Design values of the window.
  static constexpr int ToolBarHeight = 29;
  static constexpr int StatusBarHeight = 19;

  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // ---- steps the rest of the program calls ----
  void PauseEmulation();
  void ResumeEmulation();
  void ResetFrontState();
  void SetDstRect();
  // Pause, centre on the screen, run modally, resume. Returns the result.
  int ShowModal(QDialog& dialog);

  // ---- menu commands (shared by the tool bar and the pop-up menu) ----
  void Zoom50Click() { SetZoom(0); }
  void Zoom75Click() { SetZoom(1); }
  void Zoom100Click() { SetZoom(2); }
  void Zoom150Click() { SetZoom(3); }
  void Zoom200Click() { SetZoom(4); }
  void FullScrn1Click();
  void Exit1Click() { close(); }

  // ---- state ----
  TDdraw Ddraw;
  int DspMode = 0;       // 0 window, 1 full screen
  bool MenuShown = false;
  bool DrawStop = false;
  int InsLamp = 0;
  int KanaMode = 0;
  bool KanaChanged = false;
  QSize SavedClientSize;  // client (tool bar + picture + status bar) to restore
  int ZoomStep = 2;       // index into ZoomSizes; 100 % at start
  // Pause and resume calls, in pairs (tests and the debugger look at them).
  int PauseCount = 0;
  int ResumeCount = 0;
  bool Paused() const { return PauseDepth > 0; }

  static constexpr QSize ZoomSizes[5] = {{320, 200}, {480, 300}, {640, 400}, {960, 600}, {1280, 800}};

  // Controls, named as the window has always named them.
  QMenu* File1 = nullptr;
  QMenu* Edit1 = nullptr;
  QMenu* Show1 = nullptr;
  QMenu* Zoom1 = nullptr;
  QMenu* S1 = nullptr;
  QMenu* B1 = nullptr;
  QMenu* Operate1 = nullptr;
  QMenu* Help1 = nullptr;
  QAction *VFd1, *VTape1, *BmpSave1, *Print1, *Exit1;
  QAction *Copy1, *Paste1;
  QAction* ZoomItems[5];
  QAction* FullScrn1;
  QAction *Paform1, *Timer1, *Keybord1, *BASIC1, *DOS1;
  QAction *Reset1, *HotStart1, *About1;
  QMenu* ZoomPupMenu1 = nullptr;
  QAction* PZoomItems[5];
  QToolBar* ToolBar1 = nullptr;
  QToolButton *SpeedButton1, *SpeedButton2, *SpeedButton7, *ToolButton1, *SpeedButton3,
      *SpeedButton4, *SpeedButton6, *SpeedButton5;
  TPicture* Picture = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  TKeyFilter KeyFilter;

  // The client size: tool bar, picture and status bar, below the menu bar.
  QSize ClientSize() const;

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void BuildMenus();
  void BuildToolBar();
  QToolButton* AddToolButton(const QIcon& icon, const QString& hint, QAction* same);
  void WatchMenu(QMenu* menu);
  void MenuLoopEnter();
  void MenuLoopExit();
  void SetZoom(int step);
  void SetClientSize(const QSize& client);
  void CentreOnScreen();
  void EnterFullScreenLayout();
  void LeaveFullScreenLayout();
  void OpenPresenter();

  int PauseDepth = 0;
  int MenuDepth = 0;
};
