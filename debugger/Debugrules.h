// The debug window's editing rules and its view of a CPU, as plain C++: the
// key filters of the hex and flag edits, the grid cell rule, reading the
// register edits, building CC from the flag edits, and the disassembly of
// the instructions around PC.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TCpu09;

// Hex edits (grid cells, registers): a character whose upper-case form lies
// above 'F' is dropped, and so is every byte from 0x80 up; digits, A-F in
// either case and control characters pass (the edit mask refuses the rest).
bool KeepHexKey(char32_t ch);
// Flag edits: characters from '2' to 0x7F are dropped; the digit-only mask
// refuses the rest, so only 0 and 1 get in.
bool KeepFlagKey(char32_t ch);

// A cell or register edit's text read as hexadecimal: a value only when all
// width characters are there and every one is a hex digit (no blank).
std::optional<uint32_t> ReadHex(const std::string& text, int width);

// Grid cell (column 1-16, row 1-4096) to the memory address it shows.
inline uint16_t CellAddress(int column, int row) {
  return static_cast<uint16_t>((row - 1) * 16 + (column - 1));
}
// Grid labels: "ADDR", "+0".."+F" across, "0000".."FFF0" down.
std::string GridLabel(int column, int row);

// The register edits in the order they are written: A, B, DP, X, Y, U, S,
// PC, then the eight flags E F H I N Z V C.
struct TRegisterTexts {
  std::string A, B, DP, X, Y, U, S, PC;
  std::string Flags[8];  // E, F, H, I, N, Z, V, C (CC bit 7 first)
};
struct TRegisterValues {
  uint8_t A = 0, B = 0, DP = 0, CC = 0;
  uint16_t X = 0, Y = 0, U = 0, S = 0, PC = 0;
};
// Reads every edit; on failure names the first edit that does not hold a
// complete value and leaves values untouched.
bool ReadRegisters(const TRegisterTexts& texts, TRegisterValues& values,
                   std::string& failed);
// Stores only what the user changed: each register whose edited value
// differs from the one shown, and each CC flag that differs; the rest of the
// CPU is left as it is.
void StoreChangedRegisters(const TRegisterValues& edited, const TRegisterValues& shown,
                           TCpu09& cpu);
TRegisterValues ReadCpuRegisters(const TCpu09& cpu);
TRegisterTexts ShowRegisters(const TRegisterValues& values);

// A byte as the CPU would read it, without touching I/O registers: the
// shared RAM window from the shared RAM, the banked area from the selected
// bank, everything else from bank 0.
uint8_t PeekByte(const TCpu09& cpu, uint16_t address);

struct TDisasmLine {
  uint16_t Address = 0;
  std::string Bytes;  // hex bytes of the instruction
  std::string Text;   // mnemonic and operand
};
// Up to before instructions ahead of pc, the instruction at pc, and after
// instructions following it. The first line is a start from which decoding
// forward lands exactly on pc (the one with the most instructions up to
// `before`); if no start within reach does, the listing starts at pc.
std::vector<TDisasmLine> DisassembleAround(const TCpu09& cpu, uint16_t pc, int before,
                                           int after);
