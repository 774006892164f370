// The published Motorola 6809 instruction set as one table: every mnemonic
// with the opcode it takes in each addressing mode. Page 1 and page 2
// opcodes carry their prefix byte (10 or 11) in the high byte of the
// 16-bit opcode. Both the assembler and the disassembler read this table,
// so the two always agree on the encoding.
#pragma once

#include <cstdint>
#include <string_view>

namespace opmap09 {

// How the operand of an instruction is written.
enum class OpKind : uint8_t {
  Inherent,    // no operand (NOP, RTS, NEGA ...)
  Memory,      // immediate / direct / indexed / extended, whichever exist
  Relative8,   // short branch, BSR
  Relative16,  // long branch, LBSR
  RegList,     // PSHS PULS PSHU PULU: register list post-byte
  RegPair,     // TFR EXG: register pair post-byte
};

inline constexpr uint16_t kNone = 0xFFFF;  // no opcode in this mode

struct OpEntry {
  std::string_view name;  // upper case
  OpKind kind;
  uint16_t inh;   // inherent, relative, register list/pair opcode
  uint16_t imm;   // immediate
  uint16_t dir;   // direct
  uint16_t idx;   // indexed
  uint16_t ext;   // extended
  uint8_t immBytes;  // size of the immediate operand: 1 or 2
  bool alias;     // another spelling of an earlier entry (LSL for ASL ...)
};

// All entries; aliases follow the name they stand for.
const OpEntry* Entries(int* count);

// Looks a mnemonic up (case-insensitive); nullptr if unknown.
const OpEntry* Find(std::string_view name);

// Addressing modes an opcode can decode to.
enum class Mode : uint8_t { None, Inherent, Immediate, Direct, Indexed, Extended, Relative8,
                            Relative16, RegList, RegPair };

struct Decoded {
  const OpEntry* entry = nullptr;  // nullptr: no published instruction
  Mode mode = Mode::None;
};

// The instruction a page (0, 0x10 or 0x11) and opcode byte stand for.
Decoded Decode(uint8_t page, uint8_t opcode);

// Size in bytes of an opcode (1, or 2 with its prefix).
inline int OpcodeBytes(uint16_t op) { return op > 0xFF ? 2 : 1; }

}  // namespace opmap09
