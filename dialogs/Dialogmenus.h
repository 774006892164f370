// TDialogMenus: joins the dialogs and the debug window to the main window.
// The menu items and tool buttons for the virtual disk, virtual tape,
// performance, timer and keyboard dialogs and the about box open them
// through the window's modal step (pause the emulation, centre, show,
// resume); the item "デバッグウィンドウ" (F11) shows the debug window, which
// stays open beside the running machine.
//
// The dialogs are made the first time they are needed, once the window has
// built its computer, and live as long as the window. Their browse buttons
// offer the window's recent images, and the images a confirmed dialog put in
// the drives join that list.
#pragma once

#include <QCoreApplication>
#include <QObject>
#include <memory>
#include <string>

#include "Vfdform.h"
#include "Vtpform.h"

class QAction;
class TAboutForm1;
class TDebugForm1;
class TDebugLink;
class TForm1;
class TKeybordForm1;
class TPaformForm1;
class TTimerForm1;

class TDialogMenus : public QObject {
  Q_DECLARE_TR_FUNCTIONS(TDialogMenus)

 public:
  explicit TDialogMenus(TForm1& form);
  ~TDialogMenus() override;

  void VFd1Click();
  void VTape1Click();
  void Paform1Click();
  void Timer1Click();
  void Keybord1Click();
  void About1Click();
  void Debug1Click();

  QAction* Debug1;  // the debug window's menu item

  TVfdForm1* VfdForm1 = nullptr;
  TVtpForm1* VtpForm1 = nullptr;
  TPaformForm1* PaformForm1 = nullptr;
  TTimerForm1* TimerForm1 = nullptr;
  TKeybordForm1* KeybordForm1 = nullptr;
  TAboutForm1* AboutForm1 = nullptr;
  TDebugForm1* DebugForm1 = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool HaveComputer() const;

  TForm1& Form;
  std::unique_ptr<TDiskDeck> Disks;
  std::unique_ptr<TTapeDeck> Tape;
  std::unique_ptr<TDebugLink> DebugLink;
  std::unique_ptr<TRecentImages> Recent;
};
