// TBios: the firmware routines the emulator carries out in host code.
//
// At every reset the first byte of nine firmware routines is overwritten
// with the trap opcode 14. When the main CPU reaches one, the core calls
// Trap with PC past the trap byte; the routine chosen by the trap address
// does its work on the disk and tape images and returns to the caller as
// the routine's own RTS would:
//
//   F21F  kanji pattern read (BASIC image, banked)
//   F2B0  cassette byte write (BASIC image, banked)
//   F330  cassette byte read (BASIC image, banked)
//   FE00  boot entry (the reset vector)
//   FE02, FE61        disk restore
//   FE05, FE08, FF5E  disk request block
//
// A trap byte met anywhere else does nothing. The three banked routines
// exist only while the BASIC image is selected.
//
// Disk request block at X: +0 command (9 write, 10 read), +2/+3 buffer
// address, +4 track, +5 sector (from 1), +6 bit 0 side, +7 bits 0-1 drive.
// The disk traps return the firmware's error number in A and set the carry
// on failure (no other flag changes): 10 not ready, 11 write-protected,
// 12 no such sector, 13 image file error. The boot firmware's work bytes
// FFE0 (last drive), FFE1-FFE4 (track per drive), FFE5 (last drive | 80) and
// FFE8 (drive of the request) are kept as the firmware would.
#pragma once

#include <cstdint>

#include "Fdc.h"
#include "Mcpuio.h"
#include "Vfd.h"
#include "Vtp.h"

class TBios : public TTrapHandler {
 public:
  // Plugs into the main machine: becomes its trap handler. The controller
  // is the one whose drive selection and latch the traps keep up to date.
  TBios(TMcpuIo& cpu, TVfd& vfd, TVtp& vtp, TFdc& fdc);
  ~TBios() override;
  TBios(const TBios&) = delete;
  TBios& operator=(const TBios&) = delete;

  // The routine entries that carry the trap opcode.
  static constexpr uint16_t PatchAddresses[9] = {
      0xF21F, 0xF2B0, 0xF330, 0xFE00, 0xFE02, 0xFE05, 0xFE08, 0xFE61, 0xFF5E};

  void PatchRom(TMcpuIo& cpu) override;
  void Trap(TMcpuIo& cpu) override;

  // The firmware's error number for a disk status word: by the lowest set
  // bit of its low byte, 0 for success.
  static uint8_t DiskErrorNumber(uint16_t status);

 private:
  void BootTrap(TMcpuIo& cpu);
  void RestoreTrap(TMcpuIo& cpu);
  void RequestBlockTrap(TMcpuIo& cpu);
  void KanjiTrap(TMcpuIo& cpu);
  void TapeWriteTrap(TMcpuIo& cpu);
  void TapeReadTrap(TMcpuIo& cpu);

  // Reads drive 0, track 0, side 0, the sector, with up to five attempts;
  // stops at once on not ready.
  bool ReadBootSector(int sector);
  // Ends a disk trap: error number and carry, then the routine's RTS.
  void DiskReturn(TMcpuIo& cpu, uint16_t status);
  // Falls back to BASIC: the BASIC image selected, its cold start.
  void StartBasic(TMcpuIo& cpu);

  TMcpuIo& Cpu;
  TVfd& Vfd;
  TVtp& Vtp;
  TFdc& Fdc;
};
