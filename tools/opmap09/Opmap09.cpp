// The 6809 opcode map as published by Motorola, and its reverse for the
// disassembler.
#include "Opmap09.h"

#include <array>
#include <cctype>

namespace opmap09 {
namespace {

constexpr uint16_t N = kNone;

constexpr OpEntry Inh(std::string_view n, uint16_t op, bool alias = false) {
  return {n, OpKind::Inherent, op, N, N, N, N, 0, alias};
}
// Immediate at base; direct, indexed and extended 10, 20 and 30 above it.
constexpr OpEntry Gen(std::string_view n, uint16_t base, uint8_t bytes) {
  return {n, OpKind::Memory, N, base, uint16_t(base + 0x10), uint16_t(base + 0x20),
          uint16_t(base + 0x30), bytes, false};
}
// Like Gen but without an immediate form (stores, JSR).
constexpr OpEntry Sto(std::string_view n, uint16_t dir) {
  return {n, OpKind::Memory, N, N, dir, uint16_t(dir + 0x10), uint16_t(dir + 0x20), 0, false};
}
// Read-modify-write row: direct 0x, indexed 6x, extended 7x.
constexpr OpEntry Rmw(std::string_view n, uint16_t op, bool alias = false) {
  return {n, OpKind::Memory, N, N, op, uint16_t(0x60 + op), uint16_t(0x70 + op), 0, alias};
}
constexpr OpEntry Imm(std::string_view n, uint16_t op) {
  return {n, OpKind::Memory, N, op, N, N, N, 1, false};
}
constexpr OpEntry Lea(std::string_view n, uint16_t op) {
  return {n, OpKind::Memory, N, N, N, op, N, 0, false};
}
constexpr OpEntry Br(std::string_view n, uint16_t op, bool alias = false) {
  return {n, OpKind::Relative8, op, N, N, N, N, 0, alias};
}
constexpr OpEntry Lbr(std::string_view n, uint16_t op, bool alias = false) {
  return {n, OpKind::Relative16, op, N, N, N, N, 0, alias};
}
constexpr OpEntry Lst(std::string_view n, uint16_t op) {
  return {n, OpKind::RegList, op, N, N, N, N, 0, false};
}
constexpr OpEntry Pair(std::string_view n, uint16_t op) {
  return {n, OpKind::RegPair, op, N, N, N, N, 0, false};
}

constexpr OpEntry kEntries[] = {
    // Read-modify-write on memory, and on A and B.
    Rmw("NEG", 0x00), Rmw("COM", 0x03), Rmw("LSR", 0x04), Rmw("ROR", 0x06), Rmw("ASR", 0x07),
    Rmw("ASL", 0x08), Rmw("LSL", 0x08, true), Rmw("ROL", 0x09), Rmw("DEC", 0x0A),
    Rmw("INC", 0x0C), Rmw("TST", 0x0D), Rmw("JMP", 0x0E), Rmw("CLR", 0x0F),
    Inh("NEGA", 0x40), Inh("COMA", 0x43), Inh("LSRA", 0x44), Inh("RORA", 0x46),
    Inh("ASRA", 0x47), Inh("ASLA", 0x48), Inh("LSLA", 0x48, true), Inh("ROLA", 0x49),
    Inh("DECA", 0x4A), Inh("INCA", 0x4C), Inh("TSTA", 0x4D), Inh("CLRA", 0x4F),
    Inh("NEGB", 0x50), Inh("COMB", 0x53), Inh("LSRB", 0x54), Inh("RORB", 0x56),
    Inh("ASRB", 0x57), Inh("ASLB", 0x58), Inh("LSLB", 0x58, true), Inh("ROLB", 0x59),
    Inh("DECB", 0x5A), Inh("INCB", 0x5C), Inh("TSTB", 0x5D), Inh("CLRB", 0x5F),
    // Inherent system instructions.
    Inh("NOP", 0x12), Inh("SYNC", 0x13), Inh("DAA", 0x19), Inh("SEX", 0x1D), Inh("RTS", 0x39),
    Inh("ABX", 0x3A), Inh("RTI", 0x3B), Inh("MUL", 0x3D), Inh("SWI", 0x3F),
    Inh("SWI2", 0x103F), Inh("SWI3", 0x113F),
    Imm("ORCC", 0x1A), Imm("ANDCC", 0x1C), Imm("CWAI", 0x3C),
    Pair("EXG", 0x1E), Pair("TFR", 0x1F),
    Lea("LEAX", 0x30), Lea("LEAY", 0x31), Lea("LEAS", 0x32), Lea("LEAU", 0x33),
    Lst("PSHS", 0x34), Lst("PULS", 0x35), Lst("PSHU", 0x36), Lst("PULU", 0x37),
    // Accumulator A / B and 16-bit register instructions.
    Gen("SUBA", 0x80, 1), Gen("CMPA", 0x81, 1), Gen("SBCA", 0x82, 1), Gen("SUBD", 0x83, 2),
    Gen("ANDA", 0x84, 1), Gen("BITA", 0x85, 1), Gen("LDA", 0x86, 1), Sto("STA", 0x97),
    Gen("EORA", 0x88, 1), Gen("ADCA", 0x89, 1), Gen("ORA", 0x8A, 1), Gen("ADDA", 0x8B, 1),
    Gen("CMPX", 0x8C, 2), Sto("JSR", 0x9D), Gen("LDX", 0x8E, 2), Sto("STX", 0x9F),
    Gen("SUBB", 0xC0, 1), Gen("CMPB", 0xC1, 1), Gen("SBCB", 0xC2, 1), Gen("ADDD", 0xC3, 2),
    Gen("ANDB", 0xC4, 1), Gen("BITB", 0xC5, 1), Gen("LDB", 0xC6, 1), Sto("STB", 0xD7),
    Gen("EORB", 0xC8, 1), Gen("ADCB", 0xC9, 1), Gen("ORB", 0xCA, 1), Gen("ADDB", 0xCB, 1),
    Gen("LDD", 0xCC, 2), Sto("STD", 0xDD), Gen("LDU", 0xCE, 2), Sto("STU", 0xDF),
    Gen("CMPD", 0x1083, 2), Gen("CMPY", 0x108C, 2), Gen("LDY", 0x108E, 2), Sto("STY", 0x109F),
    Gen("LDS", 0x10CE, 2), Sto("STS", 0x10DF),
    Gen("CMPU", 0x1183, 2), Gen("CMPS", 0x118C, 2),
    // Branches.
    Br("BRA", 0x20), Br("BRN", 0x21), Br("BHI", 0x22), Br("BLS", 0x23), Br("BCC", 0x24),
    Br("BHS", 0x24, true), Br("BCS", 0x25), Br("BLO", 0x25, true), Br("BNE", 0x26),
    Br("BEQ", 0x27), Br("BVC", 0x28), Br("BVS", 0x29), Br("BPL", 0x2A), Br("BMI", 0x2B),
    Br("BGE", 0x2C), Br("BLT", 0x2D), Br("BGT", 0x2E), Br("BLE", 0x2F), Br("BSR", 0x8D),
    Lbr("LBRA", 0x16), Lbr("LBSR", 0x17), Lbr("LBRN", 0x1021), Lbr("LBHI", 0x1022),
    Lbr("LBLS", 0x1023), Lbr("LBCC", 0x1024), Lbr("LBHS", 0x1024, true), Lbr("LBCS", 0x1025),
    Lbr("LBLO", 0x1025, true), Lbr("LBNE", 0x1026), Lbr("LBEQ", 0x1027), Lbr("LBVC", 0x1028),
    Lbr("LBVS", 0x1029), Lbr("LBPL", 0x102A), Lbr("LBMI", 0x102B), Lbr("LBGE", 0x102C),
    Lbr("LBLT", 0x102D), Lbr("LBGT", 0x102E), Lbr("LBLE", 0x102F),
};

constexpr int kCount = int(sizeof kEntries / sizeof kEntries[0]);

struct DecodeTable {
  std::array<Decoded, 256> page[3] = {};
  DecodeTable() {
    auto put = [this](uint16_t op, const OpEntry* e, Mode m) {
      if (op == kNone) return;
      int p = op <= 0xFF ? 0 : (op >> 8) == 0x10 ? 1 : 2;
      Decoded& d = page[p][op & 0xFF];
      if (d.entry == nullptr) d = {e, m};
    };
    for (const OpEntry& e : kEntries) {
      if (e.alias) continue;
      switch (e.kind) {
        case OpKind::Inherent: put(e.inh, &e, Mode::Inherent); break;
        case OpKind::Relative8: put(e.inh, &e, Mode::Relative8); break;
        case OpKind::Relative16: put(e.inh, &e, Mode::Relative16); break;
        case OpKind::RegList: put(e.inh, &e, Mode::RegList); break;
        case OpKind::RegPair: put(e.inh, &e, Mode::RegPair); break;
        case OpKind::Memory:
          put(e.imm, &e, Mode::Immediate);
          put(e.dir, &e, Mode::Direct);
          put(e.idx, &e, Mode::Indexed);
          put(e.ext, &e, Mode::Extended);
          break;
      }
    }
  }
};

}  // namespace

const OpEntry* Entries(int* count) {
  if (count) *count = kCount;
  return kEntries;
}

const OpEntry* Find(std::string_view name) {
  if (name.size() > 5) return nullptr;
  char up[6] = {};
  for (size_t i = 0; i < name.size(); ++i)
    up[i] = char(std::toupper(static_cast<unsigned char>(name[i])));
  std::string_view key(up, name.size());
  for (const OpEntry& e : kEntries)
    if (e.name == key) return &e;
  return nullptr;
}

Decoded Decode(uint8_t page, uint8_t opcode) {
  static const DecodeTable table;
  int p = page == 0 ? 0 : page == 0x10 ? 1 : page == 0x11 ? 2 : -1;
  if (p < 0) return {};
  return table.page[p][opcode];
}

}  // namespace opmap09
