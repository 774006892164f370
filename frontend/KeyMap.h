// The machine's keyboard as the host feeds it. The machine does not scan a
// key matrix: it sees one key code at a time in the key data word, and an
// interrupt request says a new one is there. Host key presses arrive as
// Windows virtual-key codes (the window turns host keys into those by
// physical position) with the already-down and released flags, and are
// turned into machine codes through an eight-row table selected by Shift,
// Ctrl, Caps Lock and the kana mode. A few keys are handled apart: BREAK (a
// level held while the key is down), the ten function keys, the kana toggle
// and the half-width/full-width key. Pasted text goes through the same path,
// one byte per sub timer period at most: a byte goes out only once the
// machine has read the one before, so none is lost however long the text and
// however slowly the firmware takes keys.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "MachinePort.h"

class TStateReader;
class TStateWriter;

// Virtual-key codes the handlers treat specially.
enum : uint8_t {
  VK_BACK = 0x08,
  VK_RETURN = 0x0D,
  VK_SHIFT = 0x10,
  VK_CONTROL = 0x11,
  VK_MENU = 0x12,
  VK_PAUSE = 0x13,
  VK_CAPITAL = 0x14,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_LEFT = 0x25,
  VK_F1 = 0x70,
  VK_F10 = 0x79,
  VK_F11 = 0x7A,
  VK_F12 = 0x7B,
  VK_NUMLOCK = 0x90,
  VK_KANA_A = 0xF1,  // the kana keys of a Japanese keyboard
  VK_KANA_B = 0xF2,
  VK_HANKAKU_A = 0xF3,  // the half-width/full-width key
  VK_HANKAKU_B = 0xF4,
};

// Key message flags: bit 30 the key was already down (auto-repeat), bit 31
// the key is being released.
enum : uint32_t {
  KeyFlag_Repeat = 1u << 30,
  KeyFlag_Release = 1u << 31,
};

// KeyMap[row][vk]: the machine code of a key in each keyboard state, 0 for
// none. Row = 2 * mode + Shift, mode 3 with Ctrl, else 2 in kana mode, else
// 1 with Caps Lock, else 0.
using TKeyMapTable = std::array<std::array<uint8_t, 256>, 8>;
extern const TKeyMapTable KeyMap;

struct TKeyModifiers {
  bool Shift = false;
  bool Ctrl = false;
  bool CapsLock = false;  // the toggle state, not the key
};

int KeyMapRow(const TKeyModifiers& m, bool kanaMode);

// True when the window should take the key from the host's own handling;
// Alt (menus), Caps Lock and Num Lock (the host keeps their toggles) pass on.
bool KeyboardTakesKey(uint32_t vk);

class TKeyboard {
 public:
  explicit TKeyboard(TMachinePort& machine) : Machine(machine) {}

  // Stores a code (0x00-0xFF, or 0x8000 | n for function key n) in the key
  // data word and tells the CPU that has key interrupts: the main CPU if it
  // enabled them, else the sub CPU.
  void Deliver(uint16_t code);

  // A key message; keyChEsc is the KeyCh_ESC setting at the time.
  void KeyDown(uint32_t vk, uint32_t flags, const TKeyModifiers& m, bool keyChEsc);
  void KeyUp(uint32_t vk, bool keyChEsc);
  // A press typed as the symbol the host's keyboard layout gives for it
  // (0x21-0x7E), where that setting is on: delivered as that code, true. In
  // kana mode or with Ctrl the key goes by its position (false).
  bool KeyDownAsSymbol(uint8_t symbol, const TKeyModifiers& m);
  // Press or release as the message's flags say.
  void KeyMessage(uint32_t vk, uint32_t flags, const TKeyModifiers& m, bool keyChEsc);

  // Starts sending the bytes of text (in the machine's character set), one
  // per PasteStep; a paste in progress starts over with the new text.
  void StartPaste(std::string text);
  // Sends the next byte of the paste in progress, if any and if the machine
  // has read the last key delivered; else the step does nothing (the byte
  // goes with a later step).
  void PasteStep();
  bool PasteInProgress() const { return PastePos.load(std::memory_order_relaxed) != 0; }
  // Bytes of the paste not sent yet (on the thread that starts pastes).
  size_t PasteLeft() const {
    const uint32_t pos = PastePos.load(std::memory_order_relaxed);
    return pos == 0 ? 0 : PasteText.size() + 1 - pos;
  }
  // Drops what is left of the paste in progress.
  void StopPaste() { PastePos.store(0, std::memory_order_relaxed); }

  // Kana mode is the front end's own toggle; KanaChanged asks for the lamp to
  // be repainted and is cleared by whoever repaints it.
  bool KanaMode = false;
  bool KanaChanged = false;
  // Reset and hot start turn the kana mode off.
  void ResetFrontState() {
    KanaMode = false;
    KanaChanged = false;
  }

  // The save state's share: the kana mode and the paste still to type.
  // A loaded kana mode asks for the lamp to be repainted.
  void SaveState(TStateWriter& w) const;
  void LoadState(TStateReader& r);

 private:
  TMachinePort& Machine;
  std::string PasteText;
  // 1-based index of the next byte to send; 0 when no paste is in progress.
  // Read by the timer thread to decide whether a paste step is due.
  std::atomic<uint32_t> PastePos{0};
};
