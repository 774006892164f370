// TForm1: the emulator's main window. It owns the presenter, the machine's
// emulation thread and the host timer; holds the menus, the tool bar and the
// status bar with the kana and INS lamps; switches between window and full
// screen and sets the zoom; turns Reset and Hot start into requests for the
// run loop; and pauses the whole emulation (frames, timer, thread, keyboard)
// while a menu or a modal dialog is open. The status bar shows the machine's
// speed; "全速" lets it run as fast as the host allows.
#pragma once

#include <QActionGroup>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Beeper.h"
#include "Computer.h"
#include "HostServices.h"
#include "Keyfilter.h"
#include "Mcputh.h"
#include "Settings.h"
#include "Tddraw.h"
#include "TimerSchedule.h"
#include "Hosttimer.h"
#include "WindowPacer.h"

class QDialog;
class QTextBrowser;
class QTimer;
class QPrinter;

// What the machine asks of the desktop: the beep and the kanji patterns.
// Both are called on the emulation thread. The beep is posted to the window
// (WM_BEEP), which plays it; beeps that come before the window has taken
// the last one are one beep.
class TQtHostServices : public THostServices {
 public:
  void Beep() override;
  void DrawGlyph(uint16_t sjis, uint8_t bitmap[32]) override;
  QObject* BeepTarget = nullptr;
  std::atomic<bool> BeepPending{false};
};

// Where the window finds its files and what it was started with.
struct TForm1Options {
  // The program's directory, where the firmware and the settings are looked
  // for first (Locations.h). Empty: the directory of the executable.
  std::string ProgramDir;
  // The --firmware folder: the only place to read the firmware from.
  std::string FirmwareDir;
  // The command-line arguments, without the program name.
  std::vector<std::string> Args;
};

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
// plain panel at the right. The speed stands at the right end of the text
// panel, the last part of the bar that is always in view; the message is
// cut short before it.
class TStatusBar : public QWidget {
  Q_OBJECT
 public:
  static constexpr int LampWidth = 44;
  static constexpr int LastWidth = 40;
  static constexpr int DesignFrameWidth = 8;  // outer width less client width

  explicit TStatusBar(QWidget* parent);
  void SetText(const QString& text);
  QString Text() const { return Panel0Text; }
  void SetSpeedText(const QString& text);
  QString SpeedText() const { return Speed; }
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
  QString Speed;
};

class TForm1 : public QMainWindow, public TTimerWindow {
  Q_OBJECT
 public:
  // Design values of the window.
  static constexpr int ToolBarHeight = 29;
  static constexpr int StatusBarHeight = 19;

  // Builds the window; FormCreate then starts the machine.
  explicit TForm1(TForm1Options options = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  // Start-up: settings, command-line images, presenter, machine, timer.
  void FormCreate();

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
  void Reset1Click();
  void HotStart1Click();
  void BASIC1Click();
  void DOS1Click();
  void Beep1Click();
  // Help: the BASIC's guide in a window of its own (built into the program),
  // and an example program typed in as a dropped listing is.
  void Guide1Click();
  void TypeExample(const QString& resource);
  // Chooses the language of the next start ("ja" or "en").
  void LanguageClick(const std::string& language);
  // The language the settings ask for, read as FormCreate reads them; the
  // program puts it in force before it builds the window.
  static std::string StartLanguage(const TForm1Options& options);
  void BmpSave1Click();
  void Print1Click();
  void Copy1Click();
  void Paste1Click();
  // Full speed on or off as the menu item's check says; not saved.
  void FullSpeed1Click();
  // Smoothing of shrunk pictures as the menu item's check says.
  void Smooth1Click();
  // A recent image mounted as a drop would mount it. A file that is gone,
  // or is no image, leaves the list with the usual failure message.
  void RecentClick(const std::string& path);
  // An image now in use goes to the head of the recent list, if it is the
  // one mounted (path as mounted).
  void NoteRecentImage(const std::string& path);
  // Rebuilds the "最近使ったファイル" submenu from the list.
  void FillRecentMenu();
  // The speed in the status bar, every half second while the machine runs.
  void ShowSpeed();
  // Files dropped on the window (full paths): the first file counts, an
  // image or a save state.
  void DropFiles(const std::vector<std::string>& paths);

  // ---- save states ----
  // Through a file dialog, and the four quick slots (1-4), kept in the
  // folder "states" beside the settings file. The emulation rests while a
  // state is saved or loaded; the status bar says what happened, and a
  // failure also shows a message.
  void StateSave1Click();
  void StateLoad1Click();
  void QuickSaveClick(int slot);
  void QuickLoadClick(int slot);
  std::filesystem::path QuickSlotPath(int slot) const;
  // Saves or loads now; the caller has paused the emulation (or the thread
  // has not started). True on success.
  bool SaveStateNow(const std::string& path);
  bool LoadStateNow(const std::string& path);

  // The frame handler (WM_FLIP).
  void DrawFrame();
  void StartTimer();
  void StopTimer();

  // TTimerWindow: called on the timer thread.
  bool PasteInProgress() const override;
  void PostFlip() override;
  void PostPasteChar() override;

  // ---- the desktop's dialogs, replaceable by tests ----
  // A message box with the text.
  std::function<void(const QString&)> ShowMessage;
  // A Yes/No question; true for Yes.
  std::function<bool(const QString&)> AskYesNo;
  // The save dialog "画面の保存"; an empty string when cancelled.
  std::function<QString()> AskSaveFileName;
  // The print dialog on printer; false when cancelled.
  std::function<bool(QPrinter&)> AskPrinter;
  // The state file dialog ("状態の保存" or "状態の読み込み"); an empty
  // string when cancelled.
  std::function<QString(bool save)> AskStateFileName;

  // ---- state ----
  TForm1Options Options;
  std::filesystem::path ProgramDir;
  // "QUILLON.INI" (Locations.h); empty: the settings are neither read nor
  // saved.
  std::filesystem::path SettingsPath;
  TSettings Settings;
  TQtHostServices Host;
  TWindowPacer Pacer;
  std::unique_ptr<TComputer> Computer;
  THostTimer Timer;  // the real-time tick of the timer schedules
  TDdraw Ddraw;
  TBeeper Beeper;
  int& DspMode = Settings.DspMode;  // 0 window, 1 full screen
  bool MenuShown = false;
  bool DrawStop = false;
  int InsLamp = 0;
  bool ThreadStarted = false;
  bool FullSpeed = false;  // "全速": no pauses, interrupts on machine time
  bool Closed = false;
  uint64_t FramesDrawn = 0;
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
  QMenu* Language1 = nullptr;
  QAction *LanguageJa1 = nullptr, *LanguageEn1 = nullptr;
  QMenu* Operate1 = nullptr;
  QMenu* Help1 = nullptr;
  QAction *VFd1, *VTape1, *BmpSave1, *Print1, *Exit1;
  QAction *StateSave1, *StateLoad1;
  QMenu *QuickSave1 = nullptr, *QuickLoad1 = nullptr;
  QAction* QuickSaveItems[4];
  QAction* QuickLoadItems[4];
  QMenu* RecentMenu1 = nullptr;
  QAction *Copy1, *Paste1;
  QAction* ZoomItems[5];
  QAction* FullScrn1;
  QAction *Paform1, *Timer1, *Keybord1, *BASIC1, *DOS1, *Beep1;
  QAction* Smooth1;
  QAction* FullSpeed1;
  QAction *Reset1, *HotStart1, *About1, *Guide1;
  QMenu* Examples1 = nullptr;
  QTextBrowser* GuideWindow = nullptr;  // made when first shown
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
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void BuildMenus();
  void BuildToolBar();
  QToolButton* AddToolButton(const QIcon& icon, const QString& hint, QAction* same);
  void WatchMenu(QMenu* menu);
  void MenuLoopEnter();
  void MenuLoopExit();
  void FollowMenuBarFocus(QWidget* now);
  void ShowFullScreenMenuBar(bool show);
  void SetZoom(int step);
  void SetClientSize(const QSize& client);
  void CentreOnScreen();
  void EnterFullScreenLayout();
  void LeaveFullScreenLayout();
  void OpenPresenter();
  void RepaintLamps();
  void HandleKey(const QEvent* e);
  void PostClose();
  void RestoreWindowLayout();

  // The speed measurement: passes at the start of the current half second.
  QTimer* SpeedTimer = nullptr;
  QElapsedTimer SpeedClock;
  uint64_t SpeedPasses = 0;
  bool SpeedBase = false;

  int PauseDepth = 0;
  int MenuDepth = 0;
  bool BarLoop = false;  // the menu bar has the keyboard (Alt tapped)
};
