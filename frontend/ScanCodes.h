// Host keys by physical position. The machine's key map is laid out on the
// keys of a Japanese 106-key keyboard and addressed by Windows virtual-key
// codes; a Linux host reports each key as its evdev key code plus 8 (the X11
// and Wayland key code), which names the key's place on the board whatever
// layout the user has chosen. Mapping that code to the virtual-key code the
// same place has on a Japanese keyboard lets the key map work on a US, German
// or any other keyboard by position.
#pragma once

#include <cstdint>

// The Windows virtual-key code of the key with host key code scanCode (evdev
// key code + 8), as a Japanese 106-key keyboard gives it. numLock chooses
// what the keypad keys are: digits and the decimal point when it is on, the
// cursor and editing keys (and Clear for the middle key) when it is off.
// Returns 0 for a key the machine's keyboard has no use for or that is not
// known.
uint8_t VkFromScanCode(uint32_t scanCode, bool numLock = true);

// True for the keypad keys whose meaning depends on Num Lock.
bool IsKeypadNavigationKey(uint32_t scanCode);
