// The application-wide key filter and the mapping of Qt key events to Windows
// virtual-key codes.
#include "Keyfilter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "Hostevents.h"
#include "ScanCodes.h"

namespace {

constexpr uint8_t VkShift = 0x10, VkControl = 0x11, VkMenu = 0x12, VkCapital = 0x14,
                  VkNumLock = 0x90;

// Keys identified by their meaning, for platforms that give no native key
// code (and for synthetic events). Characters map to the JIS keyboard key
// that carries them unshifted.
uint8_t VkFromQtKey(int key, bool keypad) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<uint8_t>(key);
  if (key >= Qt::Key_0 && key <= Qt::Key_9)
    return static_cast<uint8_t>(keypad ? 0x60 + (key - Qt::Key_0) : key);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return static_cast<uint8_t>(0x70 + (key - Qt::Key_F1));
  switch (key) {
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Return: case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 0x09;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_Clear: return 0x0C;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_End: return 0x23;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_Shift: return VkShift;
    case Qt::Key_Control: return VkControl;
    case Qt::Key_Alt: case Qt::Key_AltGr: return VkMenu;
    case Qt::Key_CapsLock: return VkCapital;
    case Qt::Key_NumLock: return VkNumLock;
    case Qt::Key_Asterisk: return keypad ? 0x6A : 0xBA;
    case Qt::Key_Plus: return keypad ? 0x6B : 0xBB;
    case Qt::Key_Minus: return keypad ? 0x6D : 0xBD;
    case Qt::Key_Period: return keypad ? 0x6E : 0xBE;
    case Qt::Key_Slash: return keypad ? 0x6F : 0xBF;
    case Qt::Key_Colon: return 0xBA;
    case Qt::Key_Semicolon: return 0xBB;
    case Qt::Key_Comma: return 0xBC;
    case Qt::Key_At: return 0xC0;
    case Qt::Key_BracketLeft: return 0xDB;
    case Qt::Key_Backslash: case Qt::Key_yen: return 0xDC;
    case Qt::Key_BracketRight: return 0xDD;
    case Qt::Key_AsciiCircum: return 0xDE;
    case Qt::Key_Underscore: return 0xE2;
    case Qt::Key_Katakana: return 0xF1;
    case Qt::Key_Hiragana: case Qt::Key_Hiragana_Katakana: return 0xF2;
    case Qt::Key_Zenkaku_Hankaku: case Qt::Key_Zenkaku: case Qt::Key_Hankaku: return 0xF3;
    default: return 0;
  }
}

}  // namespace

TKeyFilter::TKeyFilter(QObject* target) : Target(target) {}

TKeyFilter::~TKeyFilter() { Remove(); }

void TKeyFilter::Install() {
  if (IsInstalled) return;
  // Keys released while the filter was away were never seen going up.
  Held.clear();
  qApp->installEventFilter(this);
  IsInstalled = true;
}

void TKeyFilter::Remove() {
  if (!IsInstalled) return;
  qApp->removeEventFilter(this);
  IsInstalled = false;
  Held.clear();
}

uint8_t TKeyFilter::VkOf(const QKeyEvent& e) {
  bool keypad = e.modifiers() & Qt::KeypadModifier;
  if (e.nativeScanCode() != 0) {
    // With Num Lock off the keypad keys arrive as cursor keys.
    bool numLock = true;
    if (IsKeypadNavigationKey(e.nativeScanCode()))
      numLock = (e.key() >= Qt::Key_0 && e.key() <= Qt::Key_9) || e.key() == Qt::Key_Period ||
                e.key() == Qt::Key_Comma;
    if (uint8_t vk = VkFromScanCode(e.nativeScanCode(), numLock)) return vk;
  }
  return VkFromQtKey(e.key(), keypad);
}

uint32_t TKeyFilter::KeyId(const QKeyEvent& e) {
  return e.nativeScanCode() != 0 ? e.nativeScanCode() : 0x80000000u | static_cast<uint32_t>(e.key());
}

bool TKeyFilter::AltDown(const QKeyEvent& e) const {
  if (e.modifiers() & Qt::AltModifier) return true;
  for (const auto& [id, vk] : Held)
    if (vk == VkMenu) return true;
  return false;
}

THostKeyState TKeyFilter::KeyState() const {
  THostKeyState s;
  for (const auto& [id, vk] : Held) {
    if (vk == VkShift) s.Shift = true;
    if (vk == VkControl) s.Ctrl = true;
  }
  s.CapsLock = CapsLock;
  return s;
}

bool TKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  ReceiveEvent(event);  // it may come from the emulation or timer thread
  QEvent::Type t = event->type();
  if (t == QEvent::ApplicationDeactivate) {
    // Keys let go while another program has the keyboard are never seen
    // going up: release them now, so no BREAK or Shift stays held.
    for (const auto& [id, vk] : Held)
      QCoreApplication::postEvent(Target, new THostKeyEvent(WM_HOSTKEYUP, vk,
                                                            1 | HostKeyFlag_AlreadyDown |
                                                                HostKeyFlag_Released));
    Held.clear();
    return false;
  }
  if (t != QEvent::KeyPress && t != QEvent::KeyRelease && t != QEvent::ShortcutOverride)
    return QObject::eventFilter(watched, event);
  // A message box or a menu that is up while the machine runs gets its keys.
  if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
    return false;
  // Another window of the program (the debug window) gets its own keys.
  if (QWidget* active = QApplication::activeWindow(); active && active != Target)
    return false;
  auto* e = static_cast<QKeyEvent*>(event);
  if (WindowKey && e->key() == WindowKey && e->modifiers() == Qt::NoModifier) return false;
  uint8_t vk = VkOf(*e);

  if (vk == VkMenu || vk == VkCapital || vk == VkNumLock) {
    // Qt offers a key to the shortcuts before it is pressed: that is the
    // first the program learns of Alt going down.
    if (vk == VkMenu && t == QEvent::ShortcutOverride && !e->isAutoRepeat() &&
        !Held.count(KeyId(*e)) && OnAltDown)
      OnAltDown();
    if (vk == VkCapital && t == QEvent::KeyPress && !e->isAutoRepeat() && !Held.count(KeyId(*e)))
      CapsLock = !CapsLock;
    if (t == QEvent::KeyPress) Held[KeyId(*e)] = vk;
    if (t == QEvent::KeyRelease && !e->isAutoRepeat()) Held.erase(KeyId(*e));
    return false;
  }
  if (AltDown(*e) && !(t == QEvent::KeyRelease && Held.count(KeyId(*e)))) return false;
  if (t == QEvent::ShortcutOverride) {
    // Claimed, so no shortcut of the window fires for a key the machine gets.
    e->accept();
    return true;
  }
  uint32_t id = KeyId(*e);
  if (t == QEvent::KeyPress) {
    // The letters tell the Caps Lock state: their case with Shift undone.
    QString text = e->text();
    if (text.size() == 1 && text[0].isLetter() && text[0].unicode() < 0x80 && vk >= 'A' && vk <= 'Z')
      CapsLock = text[0].isUpper() != bool(e->modifiers() & Qt::ShiftModifier);
    uint32_t flags = (e->nativeScanCode() & 0xFF) << 16 | 1;
    if (Held.count(id)) flags |= HostKeyFlag_AlreadyDown;
    Held[id] = vk;
    uint8_t symbol = 0;  // for typing symbols as the host's layout has them
    if (text.size() == 1 && text[0].unicode() >= 0x21 && text[0].unicode() <= 0x7E && !text[0].isLetterOrNumber())
      symbol = static_cast<uint8_t>(text[0].unicode());
    QCoreApplication::postEvent(Target, new THostKeyEvent(WM_HOSTKEYDOWN, vk, flags, symbol));
  } else {
    // X reports a held key's auto-repeat as release-press pairs; the release
    // of such a pair is not a release.
    if (e->isAutoRepeat()) return true;
    Held.erase(id);
    uint32_t flags = (e->nativeScanCode() & 0xFF) << 16 | 1 | HostKeyFlag_AlreadyDown |
                     HostKeyFlag_Released;
    QCoreApplication::postEvent(Target, new THostKeyEvent(WM_HOSTKEYUP, vk, flags));
  }
  return true;
}
