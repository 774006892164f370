// 6809 disassembler: turns the instruction at one address into text in the
// syntax the asm09 assembler reads, so assembling the text at the same
// address gives back the same bytes. Memory is read through a callback;
// addresses wrap from FFFF to 0000. Bytes that start no published 6809
// instruction (including a valid opcode with an undefined indexed post-byte
// or register code) come out as a one-byte "FCB $xx".
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace dasm09 {

using ByteReader = std::function<uint8_t(uint16_t)>;

struct Instruction {
  std::string mnemonic;  // upper case, e.g. "LDA", or "FCB"
  std::string operand;   // e.g. "[$10,X]", empty for inherent instructions
  std::string text;      // mnemonic and operand separated by one space
  int length = 1;        // bytes the instruction takes, 1 to 5
  bool valid = false;    // false for the FCB of an unpublished byte
};

Instruction Disassemble(uint16_t address, const ByteReader& read);

}  // namespace dasm09
