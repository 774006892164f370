// The keyboard path from the host into the main window while the machine
// runs. An application-wide event filter takes every key press and release
// away from the window's normal handling and posts it to the main window as
// WM_HOSTKEYDOWN or WM_HOSTKEYUP with the key's Windows virtual-key code (by
// physical position, as on a Japanese 106-key keyboard) and the key message
// flags. Alt, Caps Lock and Num Lock pass on, so Alt still reaches the menus
// and the host keeps its lock toggles; while Alt is down every other key
// passes on too (Alt and a menu's underlined letter open that menu; the
// machine has no Alt key), except the release of a key the machine has down. The filter is installed while the
// emulation runs and removed while it is paused, so menus and dialogs get the
// keyboard normally.
//
// The host's own auto-repeat flag is not trustworthy under X, so the filter
// keeps the set of keys it has seen go down and not come up: a press of a
// key in that set is a repeat ("already down"). The same set gives the Shift
// and Ctrl states when the key message is handled; the Caps Lock toggle is
// followed from the Caps Lock key and from the case of the letters typed.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <map>

class QKeyEvent;

struct THostKeyState {
  bool Shift = false;
  bool Ctrl = false;
  bool CapsLock = false;  // the toggle, not the key
};

class TKeyFilter : public QObject {
 public:
  // Posts the key messages to target (the main window).
  explicit TKeyFilter(QObject* target);
  ~TKeyFilter() override;

  void Install();
  void Remove();
  bool Installed() const { return IsInstalled; }

  // A key the window keeps for its own shortcut (the debug window's); the
  // machine never sees it.
  int WindowKey = 0;
  // Called when Alt goes down, before anything else sees it (the full-screen
  // window shows its menu bar here, so Alt then works the menus).
  std::function<void()> OnAltDown;

  // The modifier and Caps Lock state as far as the filter has seen the keys.
  THostKeyState KeyState() const;

  // The virtual-key code of a host key event: by the native key code when the
  // platform gives one, else by the key's meaning.
  static uint8_t VkOf(const QKeyEvent& e);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static uint32_t KeyId(const QKeyEvent& e);
  bool AltDown(const QKeyEvent& e) const;

  QObject* Target;
  bool IsInstalled = false;
  bool CapsLock = false;
  std::map<uint32_t, uint8_t> Held;  // key id -> virtual-key code
};
