// The BASIC image's number package on a bare 6809 core: the built image is
// loaded at 8000, the entry points are found by name in the assembler's
// symbol file, and each call runs the routine with DP = $70 until it returns.
// Numbers go in and out in the package's packed formats; the host's long
// double (64-bit mantissa) is the reference the results are checked against.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

#include "core/Cpu_main.h"

class TFloatRig {
 public:
  static constexpr uint16_t Fac = 0x7010, Arg = 0x7020, Fprec = 0x7000, Fpstr = 0x7200;
  static constexpr uint16_t Operand = 0x6000;  // packed numbers handed to the loads
  static constexpr uint16_t Text = 0x6100;     // text for fp_parse

  TFloatRig() {
    std::ifstream rom(std::string(QUILLON_FIRMWARE_DIR) + "fb30rom1.dat", std::ios::binary);
    rom.read(reinterpret_cast<char*>(&Cpu->Bank[0][0x8000]), 0xFC00 - 0x8000);
    if (rom.gcount() != 0xFC00 - 0x8000) throw std::runtime_error("no BASIC image");
    std::ifstream sym(FIRMWARE_SYMBOLS);
    std::string line;
    while (std::getline(sym, line)) {
      std::istringstream in(line);
      std::string name, equ, value;
      if (in >> name >> equ >> value && equ == "EQU" && value.size() > 1)
        Symbols[name] = static_cast<uint16_t>(std::stoul(value.substr(1), nullptr, 16));
    }
    Call("fp_init");
  }

  std::unique_ptr<TCpu09> Cpu = std::make_unique<TCpu09>();
  std::map<std::string, uint16_t> Symbols;
  uint64_t Instructions = 0;  // executed by the last call
  uint64_t Cycles = 0;        // machine cycles of the last call

  uint16_t Sym(const std::string& name) const {
    auto it = Symbols.find(name);
    if (it == Symbols.end()) throw std::runtime_error("no symbol " + name);
    return it->second;
  }

  // Runs the routine until it returns. False when it does not return in
  // time or changes Y, U or S, which every routine must keep.
  bool Call(const std::string& name, uint64_t limit = 5'000'000) {
    TCpu09& c = *Cpu;
    c.DP = 0x70;
    c.Y = 0x1357;
    c.U = 0x2468;
    c.S = 0x7F00;
    c.Bank[0][--c.S] = 0x00;  // return to 0000
    c.Bank[0][--c.S] = 0x00;
    c.PC = Sym(name);
    Instructions = Cycles = 0;
    while (c.PC != 0 && Instructions < limit) {
      Cycles += CycleCount(c);
      c.Step();
      ++Instructions;
    }
    return c.PC == 0 && c.S == 0x7F00 && c.Y == 0x1357 && c.U == 0x2468;
  }
  bool Carry() const { return Cpu->CC & CC_C; }

  uint8_t& Mem(uint16_t a) { return Cpu->Bank[0][a]; }
  int Prec() { return Mem(Fprec); }
  void SetPrec(int p) { Mem(Fprec) = static_cast<uint8_t>(p); }

  // Packs v into the format of p bytes (4 or 8), rounding to nearest.
  static void Pack(long double v, int p, uint8_t* out) {
    std::memset(out, 0, p);
    if (v == 0) return;
    int e;
    long double m = std::frexp(std::fabs(v), &e);  // [0.5, 1)
    const int bits = 8 * (p - 1);
    uint64_t man = static_cast<uint64_t>(std::nearbyint(std::ldexp(m, bits)));
    if (man >> bits) { man >>= 1; ++e; }
    if (e + 128 < 1 || e + 128 > 255) throw std::range_error("out of range");
    out[0] = static_cast<uint8_t>(e + 128);
    for (int i = p - 1; i >= 1; --i, man >>= 8) out[i] = static_cast<uint8_t>(man);
    out[1] = static_cast<uint8_t>((out[1] & 0x7F) | (v < 0 ? 0x80 : 0));
  }
  static long double Unpack(const uint8_t* in, int p) {
    if (in[0] == 0) return 0;
    uint64_t man = (in[1] | 0x80u);
    for (int i = 2; i < p; ++i) man = man << 8 | in[i];
    long double v = std::ldexp(static_cast<long double>(man), in[0] - 128 - 8 * (p - 1));
    return (in[1] & 0x80) ? -v : v;
  }
  // v rounded to the precision of p bytes.
  static long double Round(long double v, int p) {
    uint8_t b[8];
    Pack(v, p, b);
    return Unpack(b, p);
  }

  // FAC / ARG := v through the load routines of precision p (FPREC too).
  void SetFac(long double v, int p) { Load(v, p, p == 4 ? "fp_lds" : "fp_ldd"); }
  void SetArg(long double v, int p) { Load(v, p, p == 4 ? "fp_args" : "fp_argd"); }
  // FAC as a number: its exponent, mantissa bytes and sign byte.
  long double FacValue() {
    if (Mem(Fac) == 0) return 0;
    uint64_t man = 0;
    for (int i = 1; i <= 7; ++i) man = man << 8 | Mem(Fac + i);
    long double v = std::ldexp(static_cast<long double>(man), Mem(Fac) - 128 - 56);
    return Mem(Fac + 8) ? -v : v;
  }
  // Runs a two-operand routine: FAC := a op b with ARG = a, FAC = b.
  bool Binary(const std::string& op, long double a, long double b, int p) {
    SetArg(a, p);
    SetFac(b, p);
    return Call(op);
  }

  // Distance of got from the exact value in units of the last place of p.
  static long double Ulps(long double got, long double exact, int p) {
    if (exact == 0) return got == 0 ? 0 : 1e30L;
    int e;
    std::frexp(exact, &e);
    return std::fabs(got - exact) / std::ldexp(1.0L, e - 8 * (p - 1));
  }

  std::string Format() {
    Call("fp_format");
    return std::string(reinterpret_cast<const char*>(&Mem(Fpstr)));
  }
  // fp_parse on text: the value's type in A, how many characters it took.
  struct TParsed {
    int Type;
    int Used;
    bool Error;
  };
  TParsed Parse(const std::string& text) {
    std::memcpy(&Mem(Text), text.c_str(), text.size() + 1);
    Cpu->X = Text;
    Call("fp_parse");
    return {Cpu->A, Cpu->X - Text, Carry()};
  }

 private:
  void Load(long double v, int p, const char* routine) {
    Pack(v, p, &Mem(Operand));
    SetPrec(p);
    Cpu->X = Operand;
    Call(routine);
  }

  // Machine cycles of the instruction at PC (the 6809's published timings,
  // indexed modes with their post-byte's extra cycles, taken branches).
  static int IndexedExtra(uint8_t post) {
    if (!(post & 0x80)) return 1;  // 5-bit offset
    static const int8_t extra[16] = {2, 3, 2, 3, 0, 1, 1, 0, 1, 4, 0, 4, 1, 5, 0, 5};
    int n = extra[post & 0x0F];
    if (post & 0x10) n += 3;  // indirect
    if ((post & 0x1F) == 0x1F) n = 5;  // [address]
    return n;
  }
  static int CycleCount(TCpu09& c) {
    const uint8_t* m = c.Bank[0];
    uint8_t op = m[c.PC];
    auto at = [&](int k) { return m[static_cast<uint16_t>(c.PC + k)]; };
    if (op == 0x10 || op == 0x11) {
      uint8_t op2 = at(1);
      if (op == 0x10 && op2 >= 0x20 && op2 < 0x30) return 5 + (BranchTaken(c, op2) ? 1 : 0);
      int base = 0;
      switch (op2 & 0x30) {
        case 0x00: base = (op2 & 0x0F) == 0x0E ? 4 : 5; break;        // immediate (LDS/LDY/CMPD...)
        case 0x10: base = 7; break;                                      // direct
        case 0x20: base = 7 + IndexedExtra(at(2)); break;                // indexed
        case 0x30: base = 8; break;                                      // extended
      }
      if ((op2 & 0x0E) == 0x0E && (op2 & 0x30)) --base;  // loads and stores of Y, S
      if (op2 == 0x3F) base = 20;
      return base;
    }
    // Page 0: base cycles, indexed adds the post-byte's extra.
    static const uint8_t base0[256] = {
        // 0x00 direct read-modify-write
        6, 0, 0, 6, 6, 0, 6, 6, 6, 6, 6, 0, 6, 6, 3, 6,
        // 0x10
        0, 0, 2, 4, 0, 0, 5, 9, 0, 2, 3, 0, 3, 2, 8, 6,
        // 0x20 branches (3)
        3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3,
        // 0x30 LEA (4+), PSH/PUL (5+), RTS 5, ABX 3, RTI 6, CWAI 20, MUL 11, SWI 19
        4, 4, 4, 4, 5, 5, 5, 5, 0, 5, 3, 6, 20, 11, 0, 19,
        // 0x40 A inherent
        2, 0, 0, 2, 2, 0, 2, 2, 2, 2, 2, 0, 2, 2, 0, 2,
        // 0x50 B inherent
        2, 0, 0, 2, 2, 0, 2, 2, 2, 2, 2, 0, 2, 2, 0, 2,
        // 0x60 indexed RMW (6+)
        6, 0, 0, 6, 6, 0, 6, 6, 6, 6, 6, 0, 6, 6, 3, 6,
        // 0x70 extended RMW
        7, 0, 0, 7, 7, 0, 7, 7, 7, 7, 7, 0, 7, 7, 4, 7,
        // 0x80 A immediate; SUBD/CMPX/LDX 4, BSR 7
        2, 2, 2, 4, 2, 2, 2, 0, 2, 2, 2, 2, 4, 7, 3, 0,
        // 0x90 A direct
        4, 4, 4, 6, 4, 4, 4, 4, 4, 4, 4, 4, 6, 7, 5, 5,
        // 0xA0 A indexed
        4, 4, 4, 6, 4, 4, 4, 4, 4, 4, 4, 4, 6, 7, 5, 5,
        // 0xB0 A extended
        5, 5, 5, 7, 5, 5, 5, 5, 5, 5, 5, 5, 7, 8, 6, 6,
        // 0xC0 B immediate
        2, 2, 2, 4, 2, 2, 2, 0, 2, 2, 2, 2, 3, 0, 3, 0,
        // 0xD0 B direct
        4, 4, 4, 6, 4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5,
        // 0xE0 B indexed
        4, 4, 4, 6, 4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5,
        // 0xF0 B extended
        5, 5, 5, 7, 5, 5, 5, 5, 5, 5, 5, 5, 6, 6, 6, 6,
    };
    int n = base0[op];
    const uint8_t hi = op & 0xF0;
    if (hi == 0x60 || hi == 0xA0 || hi == 0xE0 || (op >= 0x30 && op <= 0x33)) n += IndexedExtra(at(1));
    if (op >= 0x34 && op <= 0x37) {  // one cycle per byte moved
      uint8_t mask = at(1);
      for (int b = 0; b < 8; ++b)
        if (mask & (1 << b)) n += b >= 4 ? 2 : 1;
    }
    if (op == 0x1E || op == 0x1F) n = op == 0x1E ? 8 : 6;
    if (op == 0x16) n = 5;
    if (op == 0x17) n = 9;
    if (op == 0x8D) n = 7;
    if (op == 0x9D) n = 7;
    if (op == 0xAD) n = 7 + IndexedExtra(at(1));
    if (op == 0xBD) n = 8;
    if (op == 0x6E) n = 3 + IndexedExtra(at(1));
    if (op == 0x7E) n = 4;
    if (op == 0x0E) n = 3;
    return n;
  }
  static bool BranchTaken(const TCpu09& c, uint8_t op) {
    const bool C = c.CC & CC_C, V = c.CC & CC_V, Z = c.CC & CC_Z, N = c.CC & CC_N;
    switch (op & 0x0F) {
      case 0x0: return true;
      case 0x1: return false;
      case 0x2: return !C && !Z;
      case 0x3: return C || Z;
      case 0x4: return !C;
      case 0x5: return C;
      case 0x6: return !Z;
      case 0x7: return Z;
      case 0x8: return !V;
      case 0x9: return V;
      case 0xA: return !N;
      case 0xB: return N;
      case 0xC: return N == V;
      case 0xD: return N != V;
      case 0xE: return !Z && N == V;
      default: return Z || N != V;
    }
  }
};
