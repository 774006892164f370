// TBios: the boot, disk, kanji and cassette routines of the firmware,
// carried out in host code behind the trap opcode. See Bios.h.
#include "Bios.h"

namespace {

constexpr uint8_t TrapOpcode = 0x14;
constexpr int BootAttempts = 5;

// Boot firmware work bytes in main RAM.
constexpr uint16_t WorkLastDrive = 0xFFE0;
constexpr uint16_t WorkTrack0 = 0xFFE1;  // FFE1-FFE4: track of drive 0-3
constexpr uint16_t WorkLastDriveFlag = 0xFFE5;
constexpr uint16_t WorkRequestDrive = 0xFFE8;

constexpr uint16_t BasicColdStart = 0xFBFE;

bool NotReady(uint16_t status) { return (status & 0x8001) == 0x8001; }

}  // namespace

TBios::TBios(TMcpuIo& cpu, TVfd& vfd, TVtp& vtp, TFdc& fdc)
    : Cpu(cpu), Vfd(vfd), Vtp(vtp), Fdc(fdc) {
  cpu.SetTrapHandler(this);
}

TBios::~TBios() {
  if (Cpu.GetTrapHandler() == this) Cpu.SetTrapHandler(nullptr);
}

uint8_t TBios::DiskErrorNumber(uint16_t status) {
  static constexpr uint8_t numbers[8] = {10, 11, 14, 12, 13, 12, 15, 12};
  for (int bit = 0; bit < 8; ++bit)
    if (status & (1u << bit)) return numbers[bit];
  return 0;
}

void TBios::PatchRom(TMcpuIo& cpu) {
  // Straight into bank 0, past the read-only protection of the memory map.
  for (uint16_t address : PatchAddresses) cpu.Bank[0][address] = TrapOpcode;
}

void TBios::Trap(TMcpuIo& cpu) {
  const uint16_t at = static_cast<uint16_t>(cpu.PC - 1);
  // The three routines of the BASIC image exist only while it is selected;
  // a trap byte met in the RAM bank there is the program's own.
  if (at >= 0x8000 && at < 0xFC00 && cpu.BankSelect != 0) return;
  switch (at) {
    case 0xF21F: KanjiTrap(cpu); break;
    case 0xF2B0: TapeWriteTrap(cpu); break;
    case 0xF330: TapeReadTrap(cpu); break;
    case 0xFE00: BootTrap(cpu); break;
    case 0xFE02:
    case 0xFE61: RestoreTrap(cpu); break;
    case 0xFE05:
    case 0xFE08:
    case 0xFF5E: RequestBlockTrap(cpu); break;
    default: break;  // not a routine entry: carry on after the trap byte
  }
}

bool TBios::ReadBootSector(int sector) {
  for (int attempt = 0; attempt < BootAttempts; ++attempt) {
    if (!Vfd.DiskMounted[0].load()) continue;
    const uint16_t status = Vfd.ReadSector(0, 0, 0, sector);
    if (status == DISK_OK) return true;
    if (NotReady(status)) return false;
  }
  return false;
}

void TBios::StartBasic(TMcpuIo& cpu) {
  // The cold start of the BASIC image. A DOS boot has already switched RAM
  // in at 8000-FBFF, and whatever RAM holds there is no start address.
  cpu.BankSelect = 0;
  cpu.A = 0;
  cpu.DP = 0;
  cpu.PC = cpu.ReadWord(BasicColdStart);
}

void TBios::BootTrap(TMcpuIo& cpu) {
  const bool dos = cpu.State.BootMode.load() != 0;
  if (dos) cpu.BankSelect = 1;  // RAM at 8000-FBFF for the DOS
  cpu.S = 0xFC7F;
  Fdc.FdcLatch = 1;

  const int sectors = dos ? 2 : 1;
  const uint16_t start = dos ? 0x0300 : 0x0100;
  uint16_t destination = start;
  for (int sector = 1; sector <= sectors; ++sector) {
    if (!ReadBootSector(sector)) {
      StartBasic(cpu);
      return;
    }
    // 256 bytes a sector, whatever its size on the image.
    for (int i = 0; i < 256; ++i)
      cpu.WriteByte(static_cast<uint16_t>(destination + i), Vfd.DiskBuffer[i]);
    destination = static_cast<uint16_t>(destination + 256);
  }

  for (uint16_t a = WorkLastDrive; a <= WorkTrack0 + 3; ++a) cpu.WriteByte(a, 0);
  cpu.WriteByte(WorkLastDriveFlag, 0x80);
  cpu.WriteByte(WorkRequestDrive, 0);
  Fdc.SelectDrive(0);
  cpu.A = 0;
  cpu.DP = 0;
  cpu.PC = start;
}

void TBios::DiskReturn(TMcpuIo& cpu, uint16_t status) {
  cpu.A = DiskErrorNumber(status);
  if (status != DISK_OK)
    cpu.CC |= CC_C;
  else
    cpu.CC &= static_cast<uint8_t>(~CC_C);
  cpu.Rts();
}

void TBios::RestoreTrap(TMcpuIo& cpu) {
  const int drive = cpu.ReadByte(static_cast<uint16_t>(cpu.X + 7)) & 3;
  cpu.WriteByte(static_cast<uint16_t>(WorkTrack0 + drive), 0);
  const uint16_t status = Vfd.DiskMounted[drive].load() ? DISK_OK : DISK_NOT_READY;
  DiskReturn(cpu, status);
}

void TBios::RequestBlockTrap(TMcpuIo& cpu) {
  const uint16_t x = cpu.X;
  const uint8_t command = cpu.ReadByte(x);
  const uint16_t buffer = cpu.ReadWord(static_cast<uint16_t>(x + 2));
  const int track = cpu.ReadByte(static_cast<uint16_t>(x + 4));
  const int sector = cpu.ReadByte(static_cast<uint16_t>(x + 5));
  const int side = cpu.ReadByte(static_cast<uint16_t>(x + 6)) & 1;
  const int drive = cpu.ReadByte(static_cast<uint16_t>(x + 7)) & 3;

  const int previous = Fdc.FdcDrive;
  cpu.WriteByte(WorkLastDriveFlag, static_cast<uint8_t>(previous | 0x80));
  cpu.WriteByte(WorkLastDrive, static_cast<uint8_t>(previous));
  cpu.WriteByte(WorkRequestDrive, static_cast<uint8_t>(drive));
  cpu.WriteByte(static_cast<uint16_t>(WorkTrack0 + drive), static_cast<uint8_t>(track));
  Fdc.SelectDrive(drive);

  const bool mounted = Vfd.DiskMounted[drive].load() != 0;
  uint16_t status = mounted ? DISK_OK : DISK_NOT_READY;
  if (command == 9) {
    // Without an image a write still takes the bytes into the buffer, as
    // the controller would, and writes nothing.
    int size = mounted ? Vfd.SectorSize(drive, track, side, sector) : 256;
    if (size >= 0) {
      for (int i = 0; i < size; ++i)
        Vfd.DiskBuffer[i] = cpu.ReadByte(static_cast<uint16_t>(buffer + i));
    }
    if (mounted) status = Vfd.WriteSector(drive, track, side, sector);
  } else if (command == 10 && mounted) {
    int size = 0;
    status = Vfd.ReadSector(drive, track, side, sector, &size);
    if (status == DISK_OK) {
      for (int i = 0; i < size; ++i)
        cpu.WriteByte(static_cast<uint16_t>(buffer + i), Vfd.DiskBuffer[i]);
    }
  }
  DiskReturn(cpu, status);
  cpu.State.ClearScpu(SCPU_NMI);
}

void TBios::KanjiTrap(TMcpuIo& cpu) {
  uint16_t destination = cpu.ReadWord(static_cast<uint16_t>(cpu.X + 2));
  const uint16_t code = cpu.ReadWord(static_cast<uint16_t>(cpu.X + 4));
  cpu.RenderGlyph(code);
  cpu.State.LastKanjiCode = code;
  for (int i = 0; i < 32; ++i) {
    cpu.WriteByte(destination, cpu.KanjiBitmap[i]);
    destination = static_cast<uint16_t>(destination + 1);
  }
  cpu.A = 0;
  cpu.Rts();
}

void TBios::TapeWriteTrap(TMcpuIo& cpu) {
  const uint8_t b = cpu.ReadByte(static_cast<uint16_t>(cpu.X + 2));
  if (Vtp.TapeMounted.load()) Vtp.TapeWriteByte(b);
  cpu.A = 0;
  cpu.Rts();
  cpu.State.ClearScpu(SCPU_NMI);
}

void TBios::TapeReadTrap(TMcpuIo& cpu) {
  // The end of the tape, and no tape at all, read as FF.
  const int b = Vtp.TapeMounted.load() ? Vtp.TapeReadByte() : -1;
  cpu.WriteByte(static_cast<uint16_t>(cpu.X + 2), b < 0 ? 0xFF : static_cast<uint8_t>(b));
  cpu.A = 0;
  cpu.Rts();
  cpu.State.ClearScpu(SCPU_NMI);
}
