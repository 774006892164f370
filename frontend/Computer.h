// One whole emulated computer as the front end runs it: the shared machine
// state, the emulation thread with its two CPUs and their firmware, the disk
// drives, the cassette deck, and the front end's keyboard and timer logic
// joined to them. The window and the headless mode each hold one.
#pragma once

#include <string>

#include "HostServices.h"
#include "KeyMap.h"
#include "MachineLink.h"
#include "MachineState.h"
#include "Mcputh.h"
#include "Settings.h"
#include "TimerSchedule.h"
#include "Vfd.h"
#include "Vtp.h"

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

  TMachineState State;
  TVfd Vfd;
  TVtp Vtp;
  TMcpuThread Thread;
  TMachineStatePort Port{State};
  TMachineDrives Drives{Vfd, Vtp};
  TImageNames ImageNames;
  TKeyboard Keyboard{Port};
  TTimerSchedule Timer;
};
