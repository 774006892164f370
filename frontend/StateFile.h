// Save states of a whole computer: the machine's sections (TMcpuThread) and
// what the front end owns — the keyboard's kana mode and the paste still to
// type, the timer schedules, the images in the drives and the deck by
// reference (path, size, write protection, the tape's position and
// direction; never their contents), and the window's INS lamp.
//
// Both directions require the emulation to rest (the window's pause, or a
// headless run between steps). A load reads the whole file first, then
// every section into objects of its own, and only then into the computer,
// so a bad file leaves the running machine exactly as it was. An image that
// has gone, or whose size changed since the save, leaves its drive empty and
// adds a note; the state still loads.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "Computer.h"
#include "StateIo.h"

// The front end's own values that go into a state besides its objects'.
struct TFrontState {
  int InsLamp = 0;         // the window's INS lamp (0 off, 1 on)
  uint32_t TickDueMs = 0;  // until the next tick of the timer schedules (headless)
};

// A drive (0-3, or -1 for the tape) whose image did not come back.
struct TStateNote {
  int Drive = 0;
  std::string Path;
  bool Missing = false;  // else its size changed
};

struct TStateLoad {
  TStateError Error = TStateError::None;
  std::vector<TStateNote> Notes;
  TFrontState Front;
};

// The state as the bytes of its file. nowMs: the clock the timer schedules
// run on (the virtual clock headless, the host timer's in the window).
std::vector<uint8_t> SaveComputerState(TComputer& c, const TFrontState& front, uint32_t nowMs);
TStateLoad LoadComputerState(TComputer& c, std::span<const uint8_t> file, uint32_t nowMs);

// The same through a file (written through a temporary, see WriteStateFile).
TStateError SaveComputerStateFile(TComputer& c, const TFrontState& front, uint32_t nowMs,
                                  const std::filesystem::path& path);
TStateLoad LoadComputerStateFile(TComputer& c, const std::filesystem::path& path, uint32_t nowMs);

// What the window says (Japanese) or a headless run prints (English).
std::string StateErrorText(TStateError e, bool japanese);
std::string StateNoteText(const TStateNote& note, bool japanese);
