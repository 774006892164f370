// TCpu09: the Motorola 6809 interpreter that both CPUs of the machine are
// instances of.
//
// The core owns the register file, two 64 KiB memory banks with a per-address
// memory type map, the three opcode dispatch pages and the CWAI/SYNC wait
// state. It knows nothing about the machine around it: the I/O page goes
// through the register tables a machine hands it (IoReads, IoWrites; a bare
// core without them uses the virtual IoRead and IoWrite), and video RAM
// writes and the trap opcode through the virtual VramWrite and Trap that the
// main and sub machine classes override.
//
// One call of Step executes one whole instruction; the core counts no cycles.
// Pacing is the run loop's business.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

// What the two cores of one computer share at the bus level: the 128 bytes of
// RAM both CPUs can see, and the flag with which the main CPU halts the sub
// CPU (which also opens the main CPU's window onto that RAM). The machine's
// state object derives from this; a bare core used for tests has none.
struct TCoreShared {
  uint8_t SharedRam[128] = {};
  std::atomic<uint32_t> SubHalt{0};
};

// Memory type codes, one byte per address in MemType.
enum : uint8_t {
  MT_RAM = 0,      // bank 0, read and write
  MT_ROM = 1,      // bank 0, writes dropped
  MT_MAINIO = 2,   // main I/O registers FD00-FDFF
  MT_SHAREDM = 3,  // shared RAM as the main CPU sees it (FC80-FCFF)
  MT_VRAM = 4,     // video RAM: reads bank 0, writes go to VramWrite
  MT_BANKED = 5,   // bank BankSelect; writable only when BankSelect is 1
  MT_SUBIO = 6,    // sub I/O registers D400-D4FF
  MT_SHAREDS = 7,  // shared RAM as the sub CPU sees it (D380-D3FF)
};

// Condition code bits.
enum : uint8_t {
  CC_C = 0x01,
  CC_V = 0x02,
  CC_Z = 0x04,
  CC_N = 0x08,
  CC_I = 0x10,
  CC_H = 0x20,
  CC_F = 0x40,
  CC_E = 0x80,
};

// One register of a machine's I/O page: Fn is called with Context (the
// object the register belongs to) and the offset within the page.
struct TIoReadHandler {
  uint8_t (*Fn)(void* context, uint8_t offset);
  void* Context;
};
struct TIoWriteHandler {
  void (*Fn)(void* context, uint8_t offset, uint8_t value);
  void* Context;
};

class TCpu09 {
 public:
  using OpHandler = void (*)(TCpu09&);

  TCpu09();
  virtual ~TCpu09() = default;
  TCpu09(const TCpu09&) = delete;
  TCpu09& operator=(const TCpu09&) = delete;

  // Registers (public: the machine reset, the BIOS traps and the debugger
  // read and write them directly). D is A:B and is not a member.
  uint8_t A = 0;
  uint8_t B = 0;
  uint8_t CC = 0;
  uint8_t DP = 0;
  uint16_t X = 0;
  uint16_t Y = 0;
  uint16_t U = 0;
  uint16_t S = 0;
  uint16_t PC = 0;

  // Bank 0: the CPU's memory and the firmware images. Bank 1: the RAM behind
  // MT_BANKED addresses.
  uint8_t Bank[2][0x10000] = {};
  uint8_t MemType[0x10000] = {};
  int32_t BankSelect = 0;
  int32_t Waiting = 0;  // 1 while waiting in CWAI or SYNC
  int32_t Stacked = 0;  // 1 after CWAI pushed the whole frame

  OpHandler OpPage0[256] = {};
  OpHandler OpPage10[256] = {};
  OpHandler OpPage11[256] = {};

  // The machine's I/O page: 256 handlers each way, indexed by the low byte
  // of the address. The firmware polls its registers in tight loops, so an
  // access makes one call through the table; a bare core leaves these null
  // and its I/O page goes to the virtual IoRead/IoWrite.
  const TIoReadHandler* IoReads = nullptr;
  const TIoWriteHandler* IoWrites = nullptr;

  // The shared RAM and halt flag of the computer this core belongs to; null
  // for a bare core (then the shared windows read FF and drop writes).
  TCoreShared* Shared = nullptr;

  // Set-up.
  void InitCpu(int kind);  // ResetState, BuildMemoryMap(kind), BuildOpcodeTables
  void ResetState();       // BankSelect, Waiting, Stacked = 0
  void BuildMemoryMap(int kind);  // 0 main map, 1 sub map, other: unchanged
  void BuildOpcodeTables();

  // Memory access through the type map (inline below: every instruction
  // fetch and operand goes through these).
  uint8_t ReadByte(uint16_t address);
  void WriteByte(uint16_t address, uint8_t value);
  uint16_t ReadWord(uint16_t address);
  void WriteWord(uint16_t address, uint16_t value);

  // Operand fetch at PC (PC advances, wrapping at FFFF), high byte first.
  uint8_t Fetch() { return ReadByte(PC++); }
  uint16_t FetchWord();

  // Execution and interrupt entry. Step runs one whole instruction (inline
  // below); the entries are made between Steps only.
  void Step();
  int TakeFirq();  // 1 taken, 0 masked
  int TakeIrq();   // 1 taken, 0 masked
  void TakeNmi();

  // Reads up to count bytes of a firmware image into bank 0 from address,
  // whatever the memory types there; never past FFFF (a larger count is cut
  // at the end of the bank). 0 on success (a short or empty file is not an
  // error), 1 if the file cannot be opened or read; then memory is unchanged.
  int LoadRom(const std::string& path, uint16_t address, uint32_t count);

  // The machine's hooks; defaults: IoRead 0, others nothing.
  virtual uint8_t IoRead(uint8_t offset);
  virtual void IoWrite(uint8_t offset, uint8_t value);
  virtual void VramWrite(uint8_t value, uint16_t address);
  virtual void Trap();

  // Operations the BIOS traps and the debugger use.
  void Rts();  // PC = pulled word from S

  // Pieces of the instruction set that handlers share; public so that traps
  // and tests can use them.
  // Effective address of an indexed operand: fetches the post-byte and its
  // offset bytes and applies the auto increment/decrement of the register.
  uint16_t IndexedAddress();
  // Push/pull the registers named by a PSHS-style post-byte on stack sp;
  // bit 6 is the other stack register.
  void PushRegs(uint16_t& sp, uint16_t other, uint8_t mask);
  void PullRegs(uint16_t& sp, uint16_t& other, uint8_t mask);
  // TFR/EXG register codes: 0 D, 1 X, 2 Y, 3 U, 4 S, 5 PC, 8 A, 9 B, A CC,
  // B DP. 8-bit registers read as FF00 + value, unknown codes as FFFF;
  // stores to unknown codes are ignored.
  uint16_t RegByCode(int code) const;
  void SetRegByCode(int code, uint16_t value);
  uint16_t D() const { return static_cast<uint16_t>(A << 8 | B); }
  void SetD(uint16_t v) {
    A = static_cast<uint8_t>(v >> 8);
    B = static_cast<uint8_t>(v);
  }

 private:
  // Every memory type other than plain RAM (and ROM for reads).
  uint8_t MemoryReadOther(uint16_t address, uint8_t type);
  void MemoryWriteOther(uint16_t address, uint8_t value, uint8_t type);
};

// ---- memory access -------------------------------------------------------
// One look-up in the type map per access. Plain memory (and, for reads, the
// banked range the main CPU runs its BASIC from) is served inline; the other
// types go through MemoryReadOther/MemoryWriteOther (Cpu_main.cpp), kept out
// of line so the handlers stay small.

[[gnu::always_inline]] inline uint8_t TCpu09::ReadByte(uint16_t address) {
  uint8_t type = MemType[address];
  if (type <= MT_ROM) [[likely]]
    return Bank[0][address];
  if (type == MT_BANKED)  // where the main CPU's BASIC runs
    return Bank[BankSelect == 1 ? 1 : 0][address];
  return MemoryReadOther(address, type);
}

[[gnu::always_inline]] inline void TCpu09::WriteByte(uint16_t address, uint8_t value) {
  uint8_t type = MemType[address];
  if (type == MT_RAM) [[likely]] {
    Bank[0][address] = value;
    return;
  }
  MemoryWriteOther(address, value, type);
}

// One whole instruction: the opcode fetch and a direct index into page 0.
// Nothing is fetched while the CPU waits in CWAI or SYNC.
inline void TCpu09::Step() {
  if (Waiting != 0) return;
  OpPage0[Fetch()](*this);
}

// Words: when both bytes are plain memory, or both are in the banked range,
// the two type look-ups are made together and the bytes read directly;
// otherwise byte by byte through ReadByte, high byte first.
[[gnu::always_inline]] inline uint16_t TCpu09::ReadWord(uint16_t address) {
  const uint16_t next = static_cast<uint16_t>(address + 1);
  const uint8_t t0 = MemType[address];
  const uint8_t t1 = MemType[next];
  if ((t0 | t1) <= MT_ROM) [[likely]]
    return static_cast<uint16_t>(Bank[0][address] << 8 | Bank[0][next]);
  if (t0 == MT_BANKED && t1 == MT_BANKED) {
    const uint8_t* bank = Bank[BankSelect == 1 ? 1 : 0];
    return static_cast<uint16_t>(bank[address] << 8 | bank[next]);
  }
  const uint16_t hi = ReadByte(address);
  return static_cast<uint16_t>(hi << 8 | ReadByte(next));
}

// PC moves past each byte before that byte is read, as with two Fetches.
[[gnu::always_inline]] inline uint16_t TCpu09::FetchWord() {
  const uint16_t pc = PC;
  const uint16_t next = static_cast<uint16_t>(pc + 1);
  const uint8_t t0 = MemType[pc];
  const uint8_t t1 = MemType[next];
  if ((t0 | t1) <= MT_ROM) [[likely]] {
    PC = static_cast<uint16_t>(pc + 2);
    return static_cast<uint16_t>(Bank[0][pc] << 8 | Bank[0][next]);
  }
  if (t0 == MT_BANKED && t1 == MT_BANKED) {
    const uint8_t* bank = Bank[BankSelect == 1 ? 1 : 0];
    PC = static_cast<uint16_t>(pc + 2);
    return static_cast<uint16_t>(bank[pc] << 8 | bank[next]);
  }
  const uint16_t hi = Fetch();
  return static_cast<uint16_t>(hi << 8 | Fetch());
}

inline void TCpu09::WriteWord(uint16_t address, uint16_t value) {
  WriteByte(address, static_cast<uint8_t>(value >> 8));
  WriteByte(static_cast<uint16_t>(address + 1), static_cast<uint8_t>(value));
}
