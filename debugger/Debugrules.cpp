// Editing rules and disassembly of the debug window.
#include "Debugrules.h"

#include <cstdio>

#include "core/Cpu_main.h"
#include "Dasm09.h"

bool KeepHexKey(char32_t ch) {
  if (ch < 0x20 || ch == 0x7F) return true;  // control keys
  if (ch >= 0x80) return false;
  const char32_t upper = (ch >= 'a' && ch <= 'z') ? ch - 0x20 : ch;
  return upper <= 'F';
}

bool KeepFlagKey(char32_t ch) { return !(ch >= 0x32 && ch <= 0x7F); }

std::optional<uint32_t> ReadHex(const std::string& text, int width) {
  if (static_cast<int>(text.size()) != width) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value;
}

std::string GridLabel(int column, int row) {
  char text[8];
  if (column == 0 && row == 0) return "ADDR";
  if (row == 0) {
    std::snprintf(text, sizeof text, "+%X", (column - 1) & 0xF);
    return text;
  }
  std::snprintf(text, sizeof text, "%04X", ((row - 1) * 16) & 0xFFFF);
  return text;
}

bool ReadRegisters(const TRegisterTexts& texts, TRegisterValues& values,
                   std::string& failed) {
  TRegisterValues v;
  struct Field { const char* name; const std::string* text; int width; };
  const Field fields[] = {{"A", &texts.A, 2},  {"B", &texts.B, 2}, {"DP", &texts.DP, 2},
                          {"X", &texts.X, 4},  {"Y", &texts.Y, 4}, {"U", &texts.U, 4},
                          {"S", &texts.S, 4},  {"PC", &texts.PC, 4}};
  uint32_t read[8];
  for (int i = 0; i < 8; ++i) {
    const auto value = ReadHex(*fields[i].text, fields[i].width);
    if (!value) {
      failed = fields[i].name;
      return false;
    }
    read[i] = *value;
  }
  static const char* const flagNames[8] = {"E", "F", "H", "I", "N", "Z", "V", "C"};
  uint8_t cc = 0;
  for (int i = 0; i < 8; ++i) {
    const std::string& t = texts.Flags[i];
    if (t.size() != 1 || t[0] < '0' || t[0] > '9') {
      failed = flagNames[i];
      return false;
    }
    if (t[0] != '0') cc |= static_cast<uint8_t>(0x80 >> i);
  }
  v.A = static_cast<uint8_t>(read[0]);
  v.B = static_cast<uint8_t>(read[1]);
  v.DP = static_cast<uint8_t>(read[2]);
  v.X = static_cast<uint16_t>(read[3]);
  v.Y = static_cast<uint16_t>(read[4]);
  v.U = static_cast<uint16_t>(read[5]);
  v.S = static_cast<uint16_t>(read[6]);
  v.PC = static_cast<uint16_t>(read[7]);
  v.CC = cc;
  values = v;
  return true;
}

void StoreChangedRegisters(const TRegisterValues& e, const TRegisterValues& shown,
                           TCpu09& cpu) {
  if (e.A != shown.A) cpu.A = e.A;
  if (e.B != shown.B) cpu.B = e.B;
  if (e.DP != shown.DP) cpu.DP = e.DP;
  if (e.X != shown.X) cpu.X = e.X;
  if (e.Y != shown.Y) cpu.Y = e.Y;
  if (e.U != shown.U) cpu.U = e.U;
  if (e.S != shown.S) cpu.S = e.S;
  if (e.PC != shown.PC) cpu.PC = e.PC;
  const uint8_t flags = e.CC ^ shown.CC;
  cpu.CC = static_cast<uint8_t>((cpu.CC & ~flags) | (e.CC & flags));
}

TRegisterValues ReadCpuRegisters(const TCpu09& cpu) {
  TRegisterValues v;
  v.A = cpu.A;
  v.B = cpu.B;
  v.DP = cpu.DP;
  v.CC = cpu.CC;
  v.X = cpu.X;
  v.Y = cpu.Y;
  v.U = cpu.U;
  v.S = cpu.S;
  v.PC = cpu.PC;
  return v;
}

namespace {
std::string Hex(uint32_t value, int width) {
  char text[8];
  std::snprintf(text, sizeof text, "%0*X", width, value);
  return text;
}
}  // namespace

TRegisterTexts ShowRegisters(const TRegisterValues& cpu) {
  TRegisterTexts t;
  t.A = Hex(cpu.A, 2);
  t.B = Hex(cpu.B, 2);
  t.DP = Hex(cpu.DP, 2);
  t.X = Hex(cpu.X, 4);
  t.Y = Hex(cpu.Y, 4);
  t.U = Hex(cpu.U, 4);
  t.S = Hex(cpu.S, 4);
  t.PC = Hex(cpu.PC, 4);
  for (int i = 0; i < 8; ++i) t.Flags[i] = std::string(1, (cpu.CC & (0x80 >> i)) ? '1' : '0');
  return t;
}

uint8_t PeekByte(const TCpu09& cpu, uint16_t address) {
  switch (cpu.MemType[address]) {
    case MT_SHAREDM:
    case MT_SHAREDS:
      return cpu.Shared ? cpu.Shared->SharedRam[address & 0x7F] : 0xFF;
    case MT_BANKED:
      return cpu.Bank[cpu.BankSelect == 1 ? 1 : 0][address];
    default:
      return cpu.Bank[0][address];
  }
}

std::vector<TDisasmLine> DisassembleAround(const TCpu09& cpu, uint16_t pc, int before,
                                           int after) {
  const dasm09::ByteReader read = [&cpu](uint16_t a) { return PeekByte(cpu, a); };
  // Decode forward from a little earlier; take the start whose decoding
  // lands exactly on pc with the most instructions ahead of it, up to
  // `before` (the farthest such start when several give as many).
  uint16_t start = pc;
  int best = 0;
  for (int back = 5 * before; back > 0 && best < before; --back) {
    uint16_t a = static_cast<uint16_t>(pc - back);
    int count = 0;
    while (a != pc) {
      const int length = dasm09::Disassemble(a, read).length;
      if (length > static_cast<uint16_t>(pc - a)) break;  // runs over pc
      a = static_cast<uint16_t>(a + length);
      ++count;
    }
    if (a != pc) continue;
    // Too many instructions: drop the first ones.
    uint16_t from = static_cast<uint16_t>(pc - back);
    for (; count > before; --count)
      from = static_cast<uint16_t>(from + dasm09::Disassemble(from, read).length);
    if (count > best) {
      best = count;
      start = from;
    }
  }
  std::vector<TDisasmLine> lines;
  uint16_t a = start;
  bool pastPc = false;
  int afterCount = 0;
  while (true) {
    if (a == pc) pastPc = true;
    else if (pastPc && afterCount++ >= after) break;
    const dasm09::Instruction in = dasm09::Disassemble(a, read);
    TDisasmLine line;
    line.Address = a;
    char bytes[16] = {};
    int used = 0;
    for (int i = 0; i < in.length && i < 5; ++i)
      used += std::snprintf(bytes + used, sizeof bytes - used, i ? " %02X" : "%02X",
                            read(static_cast<uint16_t>(a + i)));
    line.Bytes = bytes;
    line.Text = in.text;
    lines.push_back(line);
    a = static_cast<uint16_t>(a + in.length);
    if (lines.size() > static_cast<size_t>(before + after + 1)) break;
  }
  return lines;
}
