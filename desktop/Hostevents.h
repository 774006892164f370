// The main window's private messages. The host timer posts the frame request
// and the paste step, the keyboard filter posts the key presses and releases,
// the emulation thread the beep;
// each is a posted Qt event whose type number is the window message number
// the program has always used for it.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <cstdint>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

enum : int {
  WM_FLIP = 0x8190,         // draw a frame
  WM_HOSTKEYDOWN = 0x8191,  // a host key was pressed
  WM_HOSTKEYUP = 0x8192,    // a host key was released
  WM_PASTECHAR = 0x8193,    // send the next byte of the paste in progress
  WM_BEEP = 0x8194,         // the machine beeped
};

inline QEvent::Type HostEventType(int message) { return static_cast<QEvent::Type>(message); }

// WM_HOSTKEYDOWN and WM_HOSTKEYUP: the key's Windows virtual-key code and the
// flags word of a key message (bit 30 set when the key was already down,
// bit 31 set when it is being released). Char: for a press, the printable
// ASCII symbol the host's keyboard layout gives for it (not a letter or a
// digit), else 0.
class THostKeyEvent : public QEvent {
 public:
  THostKeyEvent(int message, uint32_t vk, uint32_t flags, uint8_t ch = 0)
      : QEvent(HostEventType(message)), Vk(vk), Flags(flags), Char(ch) {}
  const uint32_t Vk;
  const uint32_t Flags;
  const uint8_t Char;
};

// Key message flags.
enum : uint32_t {
  HostKeyFlag_AlreadyDown = 1u << 30,
  HostKeyFlag_Released = 1u << 31,
};

// Events posted from the emulation and timer threads. Qt's event queue hands
// an event over to the window thread under Qt's own lock, which
// ThreadSanitizer cannot see (Qt is not built with it). PostFromThread marks
// the hand-over, and the window thread calls ReceiveEvent before it first
// reads any event (the application's key filter, the window's event
// handler). Both add nothing but the post in other builds.
inline void PostFromThread(QObject* receiver, QEvent* event) {
#if defined(__SANITIZE_THREAD__)
  __tsan_release(event);
#endif
  QCoreApplication::postEvent(receiver, event);
}
inline void ReceiveEvent([[maybe_unused]] QEvent* event) {
#if defined(__SANITIZE_THREAD__)
  __tsan_acquire(event);
#endif
}
