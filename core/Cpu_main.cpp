// TCpu09: set-up, memory maps, the fetch/dispatch step, hardware interrupt
// entry (FIRQ, IRQ, NMI) and firmware image loading.
//
// The instruction handlers themselves live in Cpu_ops.cpp. Interrupt entry
// follows the 6809 datasheet: FIRQ stacks PC and CC only (E = 0), IRQ and NMI
// stack the whole register set (E = 1). After CWAI the frame is already on
// the stack, so the entry only sets its masks and loads its vector.
#include "core/Cpu_main.h"

#include <cstdio>
#include <cstring>
#include <algorithm>
#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "core/PlainFile.h"

// The opcode tables are the same in every core; building them here as well
// as in InitCpu means a core that was never initialised still runs (as a
// plain RAM CPU) instead of calling through empty table entries.
TCpu09::TCpu09() { BuildOpcodeTables(); }

void TCpu09::InitCpu(int kind) {
  ResetState();
  BuildMemoryMap(kind);
  BuildOpcodeTables();
}

void TCpu09::ResetState() {
  BankSelect = 0;
  Waiting = 0;
  Stacked = 0;
}

namespace {
void SetRange(uint8_t* map, uint32_t first, uint32_t last, uint8_t type) {
  std::memset(map + first, type, last - first + 1);
}
}  // namespace

void TCpu09::BuildMemoryMap(int kind) {
  if (kind == 0) {
    // Main CPU: RAM, the BASIC image banked against RAM, the shared window,
    // the I/O page, the boot image, and a fixed reset vector FE00.
    Bank[0][0xFFFE] = 0xFE;
    Bank[0][0xFFFF] = 0x00;
    SetRange(MemType, 0x0000, 0xFFFF, MT_RAM);
    SetRange(MemType, 0x8000, 0xFBFF, MT_BANKED);
    SetRange(MemType, 0xFC80, 0xFCFF, MT_SHAREDM);
    SetRange(MemType, 0xFD00, 0xFDFF, MT_MAINIO);
    SetRange(MemType, 0xFE00, 0xFFDF, MT_ROM);
    SetRange(MemType, 0xFFFE, 0xFFFF, MT_ROM);
  } else if (kind == 1) {
    // Sub CPU: video RAM, work RAM, the shared window, the I/O page and the
    // sub firmware with its vectors.
    SetRange(MemType, 0x0000, 0xFFFF, MT_RAM);
    SetRange(MemType, 0x0000, 0xBFFF, MT_VRAM);
    SetRange(MemType, 0xD380, 0xD3FF, MT_SHAREDS);
    SetRange(MemType, 0xD400, 0xD4FF, MT_SUBIO);
    SetRange(MemType, 0xD800, 0xFFFF, MT_ROM);
  }
  // Any other kind keeps the map as it is: a fresh core is all RAM, which is
  // what tests and benchmarks use.
}

// The I/O and shared windows take their offset from the low address bits:
// the I/O pages start on a 256-byte boundary (FD00, D400) and the shared
// windows on a 128-byte boundary (FC80, D380), so a map laid out differently
// can never index outside the 128-byte shared RAM.
uint8_t TCpu09::MemoryReadOther(uint16_t address, uint8_t type) {
  // Tested as bits of a mask, I/O first: the two CPUs of a machine alternate
  // through here (one polling its I/O page, the other the shared RAM), which
  // the single indirect jump of a switch predicts badly; plain tests of the
  // type itself the compiler turns back into such a switch.
  if (type > MT_SHAREDS) return 0;  // no map uses other codes
  const uint32_t bit = 1u << type;
  if (bit & (1u << MT_MAINIO | 1u << MT_SUBIO)) {
    const uint8_t offset = static_cast<uint8_t>(address);
    if (IoReads != nullptr) {
      const TIoReadHandler& h = IoReads[offset];
      return h.Fn(h.Context, offset);
    }
    return IoRead(offset);
  }
  if (bit & (1u << MT_SHAREDS | 1u << MT_SHAREDM)) {
    if (Shared != nullptr &&
        (type == MT_SHAREDS || Shared->SubHalt.load(std::memory_order_relaxed) != 0))
      return Shared->SharedRam[address & 0x7F];
    return 0xFF;
  }
  if (type == MT_BANKED) return Bank[BankSelect == 1 ? 1 : 0][address];
  return Bank[0][address];  // RAM, ROM, video RAM
}

void TCpu09::MemoryWriteOther(uint16_t address, uint8_t value, uint8_t type) {
  if (type == MT_MAINIO || type == MT_SUBIO) {
    const uint8_t offset = static_cast<uint8_t>(address);
    if (IoWrites != nullptr) {
      const TIoWriteHandler& h = IoWrites[offset];
      h.Fn(h.Context, offset, value);
      return;
    }
    IoWrite(offset, value);
    return;
  }
  switch (type) {
    case MT_RAM:
      Bank[0][address] = value;
      return;
    case MT_VRAM:
      VramWrite(value, address);
      return;
    case MT_BANKED:
      if (BankSelect == 1) Bank[1][address] = value;
      return;
    case MT_SHAREDM:
      if (Shared != nullptr &&
          Shared->SubHalt.load(std::memory_order_relaxed) != 0)
        Shared->SharedRam[address & 0x7F] = value;
      return;
    case MT_SHAREDS:
      if (Shared != nullptr) Shared->SharedRam[address & 0x7F] = value;
      return;
    default:  // MT_ROM, and codes no map uses, drop the write
      return;
  }
}

int TCpu09::TakeFirq() {
  if (CC & CC_F) return 0;
  if (Stacked == 0) {
    CC &= static_cast<uint8_t>(~CC_E);
    PushRegs(S, U, 0x81);
  }
  CC |= CC_F | CC_I;
  PC = ReadWord(0xFFF6);
  Waiting = 0;
  Stacked = 0;
  return 1;
}

int TCpu09::TakeIrq() {
  if (CC & CC_I) return 0;
  if (Stacked == 0) {
    CC |= CC_E;
    PushRegs(S, U, 0xFF);
  }
  CC |= CC_I;
  PC = ReadWord(0xFFF8);
  Waiting = 0;
  Stacked = 0;
  return 1;
}

void TCpu09::TakeNmi() {
  if (Stacked == 0) {
    CC |= CC_E;
    PushRegs(S, U, 0xFF);
  }
  CC |= CC_I | CC_F;
  PC = ReadWord(0xFFFC);
  Waiting = 0;
  Stacked = 0;
}

int TCpu09::LoadRom(const std::string& path, uint16_t address,
                    uint32_t count) {
  // A FIFO or device in place of the image is refused, not waited on.
  const int fd = OpenPlainFile(path, O_RDONLY);
  if (fd < 0) return 1;
  // The image never runs past the end of the bank, whatever count says.
  uint32_t room = 0x10000u - address;
  if (count > room) count = room;
  // Read into a copy first: a read error leaves memory unchanged. A short
  // file fills what it has.
  std::vector<uint8_t> image(count);
  size_t got = 0;
  bool failed = false;
  while (got < count) {
    const ssize_t n = ::read(fd, image.data() + got, count - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed = true;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  if (failed) return 1;
  std::copy(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(got), &Bank[0][address]);
  return 0;
}

uint8_t TCpu09::IoRead(uint8_t) { return 0; }
void TCpu09::IoWrite(uint8_t, uint8_t) {}
void TCpu09::VramWrite(uint8_t, uint16_t) {}
void TCpu09::Trap() {}
