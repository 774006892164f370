// Decoding of the published 6809 instruction set, driven by the same opcode
// map as the assembler. Operands are written so that the assembler picks
// exactly the encoding that was read: direct with '<', extended below $0100
// with '>', and an indexed offset or PC-relative form longer than it needs to
// be with '<' or '>'.
#include "Dasm09.h"

#include <cstdio>

#include "../opmap09/Opmap09.h"

namespace dasm09 {

namespace {

using opmap09::Mode;

std::string Hex2(unsigned v) {
  char b[8];
  std::snprintf(b, sizeof b, "$%02X", v & 0xFF);
  return b;
}
std::string Hex4(unsigned v) {
  char b[8];
  std::snprintf(b, sizeof b, "$%04X", v & 0xFFFF);
  return b;
}

// prefix + text, built so that GCC 12 sees no overlapping copy.
std::string Cat(const char* prefix, const std::string& text) {
  std::string out(prefix);
  out += text;
  return out;
}

class Reader {
 public:
  Reader(uint16_t address, const ByteReader& read) : address_(address), read_(read) {}
  uint8_t Byte() { return read_(uint16_t(address_ + used_++)); }
  uint16_t Word() {
    uint16_t hi = Byte();
    return uint16_t(hi << 8 | Byte());
  }
  int Used() const { return used_; }
  uint16_t Next() const { return uint16_t(address_ + used_); }  // address after what was read

 private:
  uint16_t address_;
  const ByteReader& read_;
  int used_ = 0;
};

// The indexed operand after the post-byte, or false if the post-byte is not
// a published form.
bool Indexed(Reader& r, std::string* out) {
  static const char* const kReg[] = {"X", "Y", "U", "S"};
  uint8_t p = r.Byte();
  std::string reg = kReg[(p >> 5) & 3];
  if (!(p & 0x80)) {
    int off = p & 0x1F;
    if (off & 0x10) off -= 0x20;
    *out = std::to_string(off) + "," + reg;
    return true;
  }
  bool ind = p & 0x10;
  std::string s;
  switch (p & 0x0F) {
    case 0x0: if (ind) return false; s = "," + reg + "+"; break;
    case 0x1: s = "," + reg + "++"; break;
    case 0x2: if (ind) return false; s = ",-" + reg; break;
    case 0x3: s = ",--" + reg; break;
    case 0x4: s = "," + reg; break;
    case 0x5: s = "B," + reg; break;
    case 0x6: s = "A," + reg; break;
    case 0x8: {
      int off = int8_t(r.Byte());
      // Without '<' an offset that fits in 5 bits would be assembled short.
      s = Cat(!ind && off >= -16 && off <= 15 ? "<" : "", std::to_string(off) + "," + reg);
      break;
    }
    case 0x9: {
      uint16_t off = r.Word();
      s = Cat(off <= 0x7F ? ">" : "", Hex4(off) + "," + reg);
      break;
    }
    case 0xB: s = "D," + reg; break;
    case 0xC: {
      int off = int8_t(r.Byte());
      s = Hex4(unsigned(r.Next() + off)) + ",PCR";
      break;
    }
    case 0xD: {
      uint16_t off = r.Word();
      // The assembler takes 8 bits when the target is in reach of the
      // shorter form, whose end is one byte nearer.
      int short8 = int16_t(off) + 1;
      s = Cat(short8 >= -128 && short8 <= 127 ? ">" : "", Hex4(unsigned(r.Next() + off)) + ",PCR");
      break;
    }
    case 0xF:
      if (p != 0x9F) return false;
      *out = Cat("[", Hex4(r.Word()) + "]");
      return true;
    default:
      return false;
  }
  *out = ind ? Cat("[", s + "]") : s;
  return true;
}

std::string RegList(uint8_t mask, bool systemStack) {
  static const char* const kNames[] = {"CC", "A", "B", "DP", "X", "Y", nullptr, "PC"};
  if (mask == 0) return "#$00";
  std::string s;
  for (int bit = 0; bit < 8; ++bit) {
    if (!(mask & (1 << bit))) continue;
    if (!s.empty()) s += ",";
    s += bit == 6 ? (systemStack ? "U" : "S") : kNames[bit];
  }
  return s;
}

bool RegPair(uint8_t p, std::string* out) {
  static const char* const kNames[16] = {"D", "X", "Y", "U", "S", "PC", nullptr, nullptr,
                                         "A", "B", "CC", "DP", nullptr, nullptr, nullptr, nullptr};
  int a = p >> 4, b = p & 15;
  if (!kNames[a] || !kNames[b] || (a < 8) != (b < 8)) return false;
  *out = std::string(kNames[a]) + "," + kNames[b];
  return true;
}

}  // namespace

Instruction Disassemble(uint16_t address, const ByteReader& read) {
  Reader r(address, read);
  uint8_t first = r.Byte();
  uint8_t page = 0, op = first;
  if (first == 0x10 || first == 0x11) {
    page = first;
    op = r.Byte();
  }
  opmap09::Decoded d = opmap09::Decode(page, op);
  Instruction in;
  bool ok = d.entry != nullptr;
  if (ok) {
    const opmap09::OpEntry& e = *d.entry;
    switch (d.mode) {
      case Mode::Inherent:
        break;
      case Mode::Immediate:
        in.operand = Cat("#", e.immBytes == 2 ? Hex4(r.Word()) : Hex2(r.Byte()));
        break;
      case Mode::Direct:
        in.operand = Cat("<", Hex2(r.Byte()));
        break;
      case Mode::Extended: {
        uint16_t a = r.Word();
        in.operand = Cat(a <= 0xFF ? ">" : "", Hex4(a));
        break;
      }
      case Mode::Indexed:
        ok = Indexed(r, &in.operand);
        break;
      case Mode::Relative8: {
        int off = int8_t(r.Byte());
        in.operand = Hex4(unsigned(r.Next() + off));
        break;
      }
      case Mode::Relative16: {
        uint16_t off = r.Word();
        in.operand = Hex4(unsigned(r.Next() + off));
        break;
      }
      case Mode::RegList:
        in.operand = RegList(r.Byte(), op == 0x34 || op == 0x35);
        break;
      case Mode::RegPair:
        ok = RegPair(r.Byte(), &in.operand);
        break;
      case Mode::None:
        ok = false;
        break;
    }
    if (ok) {
      in.mnemonic = std::string(e.name);
      in.length = r.Used();
      in.valid = true;
    }
  }
  if (!ok) {
    in.mnemonic = "FCB";
    in.operand = Hex2(first);
    in.length = 1;
    in.valid = false;
  }
  in.text = in.operand.empty() ? in.mnemonic : in.mnemonic + " " + in.operand;
  return in;
}

}  // namespace dasm09
