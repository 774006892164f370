// One whole emulated computer as the front end runs it: the shared machine
// state with its disk drives and cassette deck, the emulation thread with
// its two CPUs, their firmware and the BIOS traps, and the front end's
// keyboard and timer logic joined to them. The window and the headless mode
// each hold one.
#pragma once

#include <string>

#include "HostServices.h"
#include "KeyMap.h"
#include "MachineLink.h"
#include "MachineState.h"
#include "Mcputh.h"
#include "Settings.h"
#include "TimerSchedule.h"

class TComputer {
 public:
  // Builds both machines and loads the firmware images from romDir (empty:
  // the directory of the executable); RomError() tells whether one could not
  // be opened. window receives the timer's frame and paste-step requests.
  TComputer(THostServices& host, TPacer& pacer, TTimerWindow& window, const std::string& romDir);
  TComputer(const TComputer&) = delete;
  TComputer& operator=(const TComputer&) = delete;
  ~TComputer();

  bool RomError() const { return Thread.RomError != 0; }

  TMachineState State;  // holds the disk drives and the cassette deck too
  TMcpuThread Thread;   // builds the CPUs, the disk controller and the traps
  TMachineStatePort Port{State};
  TMachineDrives Drives{State.Vfd, State.Vtp};
  TImageNames ImageNames;
  TKeyboard Keyboard{Port};
  TTimerSchedule Timer;
};
