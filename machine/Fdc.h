// TFdc: the floppy disk controller at FD18-FD1F of the main machine, a
// controller of the WD1793 family as programs that drive it themselves see
// it.
//
// The emulation works on whole sectors of the drives' image files (TVfd): a
// read command fetches the sector at once and the program then takes its
// bytes one by one from the data register; a write command collects the
// bytes and writes the sector when the last one arrives. Head movement,
// timing, index pulses and formatting are not emulated. Type I commands
// (restore, seek, step) therefore show neither track-0 nor index bits.
//
// Registers: FD18 status/command, FD19 track, FD1A sector, FD1B data, FD1C
// side, FD1D drive select, FD1E a one-bit latch, FD1F the request lines.
// Except for FD1D and FD1E every register works on the selected drive's own
// copy. The state lives as long as the machine; resets do not touch it.
#pragma once

#include <cstdint>

#include "Vfd.h"

class TMcpuIo;
class TStateReader;
class TStateWriter;

class TFdc {
 public:
  explicit TFdc(TVfd& vfd) : Vfd(vfd) {}
  TFdc(const TFdc&) = delete;
  TFdc& operator=(const TFdc&) = delete;

  // Puts the eight register handlers into the main machine's I/O tables.
  void Install(TMcpuIo& cpu);

  // Controller state.
  int FdcMode = 0;      // 0 idle, 1 reading (data register delivers), 2 writing
  int FdcBusy = 0;      // a read, write or read-address command was given
  int FdcResult = 0;    // status word of the last sector operation
  int FdcDrive = 0;     // selected drive 0-3
  int FdcIndex = 0;     // position in DiskBuffer of the next byte
  int FdcLength = 0;    // bytes in the current transfer
  int FdcLatch = 0;     // FD1E bit 6
  int HeadTrack[4] = {};  // head position per drive
  int TrackReg[4] = {};
  int SectorReg[4] = {};
  int SideReg[4] = {};
  int DataReg[4] = {};
  int StepDir[4] = {};    // +1 or -1 after a step in or out, 0 at start

  // Selects drive n (0-3); a change of drive ends any transfer.
  void SelectDrive(int n);

  // Register access, offset from FD00 (0x18-0x1F).
  uint8_t ReadRegister(uint8_t offset);
  void WriteRegister(uint8_t offset, uint8_t value);

  // The save state's share: the controller's registers and the transfer in
  // progress, with the drives' sector buffer it works through.
  void SaveState(TStateWriter& w) const;
  void LoadState(TStateReader& r);

 private:
  bool HasImage() const { return Vfd.DiskMounted[FdcDrive].load() != 0; }
  void Command(uint8_t v);
  void Step(uint8_t v, int d);
  uint8_t Status() const;
  uint8_t ReadData();
  void WriteData(uint8_t value);

  TVfd& Vfd;
};
