// The front end's logic joined to one emulated computer: the key handlers
// and the timer schedules act on the machine state's shared words, the image
// commands on its disk drives and cassette deck, and the capture commands
// read its display state and the sub CPU's RAM.
#pragma once

#include <string>

#include "Capture.h"
#include "CommandLine.h"
#include "MachinePort.h"
#include "MachineState.h"
#include "Vfd.h"
#include "Vtp.h"

class TScpuIo;

class TMachineStatePort : public TMachinePort {
 public:
  explicit TMachineStatePort(TMachineState& state) : State(state) {}
  void StoreKeyData(uint16_t word) override { State.KeyData.store(word); }
  bool KeyIrqEnabled() const override { return (State.KeyIrqEnable.load() & 1) != 0; }
  bool TimerIrqEnabled() const override { return (State.TimerIrqEnable.load() & 1) != 0; }
  void SetMcpuRequest(uint32_t bits) override { State.RaiseMcpu(bits); }
  void ClearMcpuRequest(uint32_t bits) override { State.ClearMcpu(bits); }
  void SetScpuRequest(uint32_t bits) override { State.RaiseScpu(bits); }
  bool KeyUnread() const override { return State.KeyUnread(); }

 private:
  TMachineState& State;
};

class TMachineDrives : public TImageDrives {
 public:
  TMachineDrives(TVfd& vfd, TVtp& vtp) : Vfd(vfd), Vtp(vtp) {}
  bool DiskMounted(int drive) const override {
    return drive >= 0 && drive < TVfd::Drives && Vfd.DiskMounted[drive].load() != 0;
  }
  void MountDisk(int drive, const std::string& path) override { Vfd.MountDisk(drive, path); }
  void UnmountDisk(int drive) override { Vfd.UnmountDisk(drive); }
  void UnmountAllDisks() override { Vfd.UnmountAllDisks(); }
  bool TapeMounted() const override { return Vtp.TapeMounted.load() != 0; }
  void OpenTape(const std::string& path) override { Vtp.OpenTape(path); }
  void CloseTape() override { Vtp.CloseTape(); }

 private:
  TVfd& Vfd;
  TVtp& Vtp;
};

// The capture picture of the screen as the display state shows it now.
TCapturePicture CaptureScreen(const TDisplayState& display);

// The text copy of the sub CPU's text screen, read from its RAM directly.
// The CPU core stores to that RAM with plain writes, so a caller on another
// thread suspends the emulation thread around the copy (it rests between
// passes) to keep the read free of data races.
std::string CopyTextScreen(const TScpuIo& sub);
