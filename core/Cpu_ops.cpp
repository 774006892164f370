// TCpu09 instruction handlers: the 6809 instruction set as the Motorola
// datasheet defines it, plus the meanings this machine's CPUs give to the
// holes of the opcode map (extra NEG/COM/LSR/DEC forms, the skip opcodes,
// the CC shift at 18, ANDCC at 38, the host trap at 14).
//
// One handler per opcode and addressing mode, generated from templates: the
// mode template fetches the operand, a shared worker computes the result and
// the condition codes. Handlers see the core through its public members.
#include <array>
#include <utility>

#include "core/Cpu_main.h"

namespace {

using C = TCpu09;

// ---- condition code helpers ----------------------------------------------

constexpr uint8_t kNZ = CC_N | CC_Z;
constexpr uint8_t kNZV = CC_N | CC_Z | CC_V;
constexpr uint8_t kNZVC = CC_N | CC_Z | CC_V | CC_C;

// N and Z of an 8-bit result, looked up: one load instead of a shift, a
// test and a set on every 8-bit operation.
constexpr auto kNZ8 = [] {
  std::array<uint8_t, 256> t{};
  for (int r = 0; r < 256; ++r) t[r] = static_cast<uint8_t>((r & 0x80 ? CC_N : 0) | (r == 0 ? CC_Z : 0));
  return t;
}();
inline uint8_t NZ8(uint8_t r) { return kNZ8[r]; }
inline uint8_t NZ16(uint16_t r) {
  return static_cast<uint8_t>(((r >> 12) & CC_N) | (r == 0 ? CC_Z : 0));
}
inline void SetFlags(C& c, uint8_t clear, uint8_t set) {
  c.CC = static_cast<uint8_t>((c.CC & ~clear) | set);
}

// a + m + carry: H, N, Z, V, C.
inline uint8_t Add8(C& c, uint8_t a, uint8_t m, unsigned carry) {
  unsigned sum = a + m + carry;
  uint8_t r = static_cast<uint8_t>(sum);
  uint8_t f = static_cast<uint8_t>(((a ^ m ^ sum) & 0x10) << 1 | NZ8(r) |
                                   ((a ^ sum) & (m ^ sum) & 0x80) >> 6 |
                                   ((sum >> 8) & 1));
  SetFlags(c, CC_H | kNZVC, f);
  return r;
}

// a - m - borrow: N, Z, V, C (H unchanged).
inline uint8_t Sub8(C& c, uint8_t a, uint8_t m, unsigned borrow) {
  unsigned diff = a - m - borrow;
  uint8_t r = static_cast<uint8_t>(diff);
  uint8_t f = static_cast<uint8_t>(NZ8(r) | ((a ^ m) & (a ^ r) & 0x80) >> 6 |
                                   ((diff >> 8) & 1));
  SetFlags(c, kNZVC, f);
  return r;
}

inline uint16_t Add16(C& c, uint16_t a, uint16_t m) {
  uint32_t sum = static_cast<uint32_t>(a) + m;
  uint16_t r = static_cast<uint16_t>(sum);
  uint8_t f = static_cast<uint8_t>(NZ16(r) |
                                   ((a ^ sum) & (m ^ sum) & 0x8000) >> 14 |
                                   ((sum >> 16) & 1));
  SetFlags(c, kNZVC, f);
  return r;
}

inline uint16_t Sub16(C& c, uint16_t a, uint16_t m) {
  uint32_t diff = static_cast<uint32_t>(a) - m;
  uint16_t r = static_cast<uint16_t>(diff);
  uint8_t f = static_cast<uint8_t>(
      NZ16(r) | ((a ^ m) & (a ^ r) & 0x8000) >> 14 | ((diff >> 16) & 1));
  SetFlags(c, kNZVC, f);
  return r;
}

// ---- addressing modes ----------------------------------------------------

enum Mode { IMM, DIR, IDX, EXT };

template <Mode M>
[[gnu::always_inline]] inline uint16_t Ea(C& c) {
  if constexpr (M == DIR) {
    return static_cast<uint16_t>(c.DP << 8 | c.Fetch());
  } else if constexpr (M == IDX) {
    return c.IndexedAddress();
  } else {
    return c.FetchWord();
  }
}

template <Mode M>
[[gnu::always_inline]] inline uint8_t Read8(C& c) {
  if constexpr (M == IMM) {
    return c.Fetch();
  } else {
    return c.ReadByte(Ea<M>(c));
  }
}

template <Mode M>
[[gnu::always_inline]] inline uint16_t Read16(C& c) {
  if constexpr (M == IMM) {
    return c.FetchWord();
  } else {
    return c.ReadWord(Ea<M>(c));
  }
}

// Accumulators: 0 A, 1 B. 16-bit registers: 0 D, 1 X, 2 Y, 3 U, 4 S.
template <int R>
inline uint8_t& Acc(C& c) {
  if constexpr (R == 0) {
    return c.A;
  } else {
    return c.B;
  }
}

template <int R>
inline uint16_t Get16(const C& c) {
  if constexpr (R == 0) return c.D();
  if constexpr (R == 1) return c.X;
  if constexpr (R == 2) return c.Y;
  if constexpr (R == 3) return c.U;
  if constexpr (R == 4) return c.S;
}

template <int R>
inline void Set16(C& c, uint16_t v) {
  if constexpr (R == 0) c.SetD(v);
  if constexpr (R == 1) c.X = v;
  if constexpr (R == 2) c.Y = v;
  if constexpr (R == 3) c.U = v;
  if constexpr (R == 4) c.S = v;
}

// ---- 8-bit accumulator instructions ----------------------------------------

enum Alu { SUB, CMP, SBC, AND, BIT, LD, EOR, ADC, OR, ADD };

template <Alu Op, int R, Mode M>
void Alu8(C& c) {
  uint8_t& a = Acc<R>(c);
  uint8_t m = Read8<M>(c);
  if constexpr (Op == SUB) a = Sub8(c, a, m, 0);
  if constexpr (Op == CMP) Sub8(c, a, m, 0);
  if constexpr (Op == SBC) a = Sub8(c, a, m, c.CC & CC_C);
  if constexpr (Op == ADD) a = Add8(c, a, m, 0);
  if constexpr (Op == ADC) a = Add8(c, a, m, c.CC & CC_C);
  if constexpr (Op == AND || Op == BIT || Op == LD || Op == EOR || Op == OR) {
    uint8_t r = Op == AND || Op == BIT ? (a & m)
                : Op == LD             ? m
                : Op == EOR            ? (a ^ m)
                                       : (a | m);
    SetFlags(c, kNZV, NZ8(r));
    if constexpr (Op != BIT) a = r;
  }
}

template <int R, Mode M>
void Store8(C& c) {
  uint16_t ea = Ea<M>(c);
  uint8_t a = Acc<R>(c);
  c.WriteByte(ea, a);
  SetFlags(c, kNZV, NZ8(a));
}

// ---- 16-bit instructions ---------------------------------------------------

template <Mode M>
void Subd(C& c) {
  uint16_t m = Read16<M>(c);
  c.SetD(Sub16(c, c.D(), m));
}

template <Mode M>
void Addd(C& c) {
  uint16_t m = Read16<M>(c);
  c.SetD(Add16(c, c.D(), m));
}

template <int R, Mode M>
void Cmp16(C& c) {
  uint16_t m = Read16<M>(c);
  Sub16(c, Get16<R>(c), m);
}

template <int R, Mode M>
void Load16(C& c) {
  uint16_t m = Read16<M>(c);
  Set16<R>(c, m);
  SetFlags(c, kNZV, NZ16(m));
}

template <int R, Mode M>
void Store16(C& c) {
  uint16_t ea = Ea<M>(c);
  uint16_t v = Get16<R>(c);
  c.WriteWord(ea, v);
  SetFlags(c, kNZV, NZ16(v));
}

// ---- read-modify-write row ---------------------------------------------------

enum Rmw { NEG, NEGCOM, COM, LSR, ROR, ASR, ASL, ROL, DEC, DECC, INC, TST, CLR,
           CLRKEEPC };

template <Rmw Op>
inline uint8_t RmwWork(C& c, uint8_t m) {
  uint8_t carry = c.CC & CC_C;
  if constexpr (Op == NEG) {
    return Sub8(c, 0, m, 0);
  } else if constexpr (Op == NEGCOM) {
    return carry ? RmwWork<COM>(c, m) : RmwWork<NEG>(c, m);
  } else if constexpr (Op == COM) {
    uint8_t r = static_cast<uint8_t>(~m);
    SetFlags(c, kNZVC, NZ8(r) | CC_C);
    return r;
  } else if constexpr (Op == LSR) {
    uint8_t r = static_cast<uint8_t>(m >> 1);
    SetFlags(c, CC_N | CC_Z | CC_C, NZ8(r) | (m & 1));
    return r;
  } else if constexpr (Op == ROR) {
    uint8_t r = static_cast<uint8_t>(carry << 7 | m >> 1);
    SetFlags(c, CC_N | CC_Z | CC_C, NZ8(r) | (m & 1));
    return r;
  } else if constexpr (Op == ASR) {
    uint8_t r = static_cast<uint8_t>((m & 0x80) | m >> 1);
    SetFlags(c, CC_N | CC_Z | CC_C, NZ8(r) | (m & 1));
    return r;
  } else if constexpr (Op == ASL || Op == ROL) {
    uint8_t r = static_cast<uint8_t>(m << 1 | (Op == ROL ? carry : 0));
    SetFlags(c, kNZVC,
             NZ8(r) | (((m ^ (m << 1)) & 0x80) >> 6) | (m >> 7));
    return r;
  } else if constexpr (Op == DEC || Op == DECC) {
    uint8_t r = static_cast<uint8_t>(m - 1);
    uint8_t f = NZ8(r) | (m == 0x80 ? CC_V : 0);
    if constexpr (Op == DECC) {
      SetFlags(c, kNZVC, f | (r != 0 ? CC_C : 0));
    } else {
      SetFlags(c, kNZV, f);
    }
    return r;
  } else if constexpr (Op == INC) {
    uint8_t r = static_cast<uint8_t>(m + 1);
    SetFlags(c, kNZV, NZ8(r) | (m == 0x7F ? CC_V : 0));
    return r;
  } else if constexpr (Op == TST) {
    SetFlags(c, kNZV, NZ8(m));
    return m;
  } else if constexpr (Op == CLR) {
    SetFlags(c, kNZVC, CC_Z);
    return 0;
  } else {  // CLRKEEPC
    SetFlags(c, kNZV, CC_Z);
    return 0;
  }
}

template <Rmw Op, Mode M>
void RmwMem(C& c) {
  uint16_t ea = Ea<M>(c);
  uint8_t r = RmwWork<Op>(c, c.ReadByte(ea));
  if constexpr (Op != TST) c.WriteByte(ea, r);
}

template <Rmw Op, int R>
void RmwAcc(C& c) {
  uint8_t& a = Acc<R>(c);
  uint8_t r = RmwWork<Op>(c, a);
  if constexpr (Op != TST) a = r;
}

// ---- branches, jumps, subroutines ------------------------------------------

template <int Cond>
inline bool Taken(uint8_t cc) {
  bool c = cc & CC_C, z = cc & CC_Z, v = cc & CC_V, n = cc & CC_N;
  switch (Cond) {
    case 0x0: return true;
    case 0x1: return false;
    case 0x2: return !c && !z;
    case 0x3: return c || z;
    case 0x4: return !c;
    case 0x5: return c;
    case 0x6: return !z;
    case 0x7: return z;
    case 0x8: return !v;
    case 0x9: return v;
    case 0xA: return !n;
    case 0xB: return n;
    case 0xC: return n == v;
    case 0xD: return n != v;
    case 0xE: return !z && n == v;
    default: return z || n != v;
  }
}

template <int Cond>
void Branch(C& c) {
  int8_t off = static_cast<int8_t>(c.Fetch());
  if (Taken<Cond>(c.CC)) c.PC = static_cast<uint16_t>(c.PC + off);
}

template <int Cond>
void LongBranch(C& c) {
  uint16_t off = c.FetchWord();
  if (Taken<Cond>(c.CC)) c.PC = static_cast<uint16_t>(c.PC + off);
}

inline void PushPc(C& c) {
  c.WriteByte(--c.S, static_cast<uint8_t>(c.PC));
  c.WriteByte(--c.S, static_cast<uint8_t>(c.PC >> 8));
}

void Bsr(C& c) {
  int8_t off = static_cast<int8_t>(c.Fetch());
  PushPc(c);
  c.PC = static_cast<uint16_t>(c.PC + off);
}

void Lbsr(C& c) {
  uint16_t off = c.FetchWord();
  PushPc(c);
  c.PC = static_cast<uint16_t>(c.PC + off);
}

template <Mode M>
void Jmp(C& c) {
  c.PC = Ea<M>(c);
}

template <Mode M>
void Jsr(C& c) {
  uint16_t ea = Ea<M>(c);
  PushPc(c);
  c.PC = ea;
}

void RtsOp(C& c) { c.Rts(); }

// ---- stack, transfer, CC -----------------------------------------------------

void Pshs(C& c) { c.PushRegs(c.S, c.U, c.Fetch()); }
void Puls(C& c) { c.PullRegs(c.S, c.U, c.Fetch()); }
void Pshu(C& c) { c.PushRegs(c.U, c.S, c.Fetch()); }
void Pulu(C& c) { c.PullRegs(c.U, c.S, c.Fetch()); }

void Tfr(C& c) {
  uint8_t p = c.Fetch();
  c.SetRegByCode(p & 0x0F, c.RegByCode(p >> 4));
}

void Exg(C& c) {
  uint8_t p = c.Fetch();
  uint16_t first = c.RegByCode(p >> 4);
  uint16_t second = c.RegByCode(p & 0x0F);
  c.SetRegByCode(p & 0x0F, first);
  c.SetRegByCode(p >> 4, second);
}

void Orcc(C& c) { c.CC |= c.Fetch(); }
void Andcc(C& c) { c.CC &= c.Fetch(); }

// 18: rotates the flags one place towards E (Z first copied into C), then
// clears E, F and C.
void ShiftCc(C& c) {
  uint8_t cc = c.CC;
  if (cc & CC_Z) cc |= CC_C;
  c.CC = static_cast<uint8_t>((cc << 1) & ~(CC_E | CC_F | CC_C));
}

// ---- inherent data instructions ------------------------------------------------

void Daa(C& c) {
  uint8_t lo = c.A & 0x0F, hi = c.A >> 4;
  uint8_t k = ((c.CC & CC_H) || lo > 9) ? 0x06 : 0x00;
  if ((c.CC & CC_C) || hi > 9 || (hi > 8 && lo > 9)) k |= 0x60;
  c.A = static_cast<uint8_t>(c.A + k);
  SetFlags(c, CC_N | CC_Z | CC_C, NZ8(c.A) | ((k & 0x60) ? CC_C : 0));
}

void Sex(C& c) {
  c.A = (c.B & 0x80) ? 0xFF : 0x00;
  SetFlags(c, kNZ, static_cast<uint8_t>((c.A & 0x80 ? CC_N : 0) |
                                        (c.D() == 0 ? CC_Z : 0)));
}

void Abx(C& c) { c.X = static_cast<uint16_t>(c.X + c.B); }

void Mul(C& c) {
  c.SetD(static_cast<uint16_t>(c.A * c.B));
  SetFlags(c, CC_Z | CC_C, static_cast<uint8_t>((c.D() == 0 ? CC_Z : 0) |
                                                 (c.B & 0x80 ? CC_C : 0)));
}

template <int R>
void Lea(C& c) {
  uint16_t ea = c.IndexedAddress();
  if constexpr (R == 1) c.X = ea;
  if constexpr (R == 2) c.Y = ea;
  if constexpr (R == 3) c.U = ea;
  if constexpr (R == 4) c.S = ea;
  if constexpr (R == 1 || R == 2) SetFlags(c, CC_Z, ea == 0 ? CC_Z : 0);
}

// 87, C7 skip two bytes; 8F, CF skip three. Nothing is read.
template <int Bytes>
void Skip(C& c) {
  c.PC = static_cast<uint16_t>(c.PC + Bytes);
  SetFlags(c, kNZV, CC_N);
}

// ---- system ------------------------------------------------------------------

template <uint16_t Vector, bool Masks>
void Swi(C& c) {
  c.CC |= CC_E;
  c.PushRegs(c.S, c.U, 0xFF);
  if constexpr (Masks) c.CC |= CC_I | CC_F;
  c.PC = c.ReadWord(Vector);
}

void Rti(C& c) {
  c.CC = c.ReadByte(c.S++);
  c.PullRegs(c.S, c.U, (c.CC & CC_E) ? 0xFE : 0x80);
}

void Cwai(C& c) {
  c.CC &= c.Fetch();
  c.CC |= CC_E;
  c.PushRegs(c.S, c.U, 0xFF);
  c.Waiting = 1;
  c.Stacked = 1;
}

void Sync(C& c) {
  if (!(c.CC & CC_I) || !(c.CC & CC_F)) c.Waiting = 1;
}

void TrapOp(C& c) { c.Trap(); }

void NoOp(C&) {}

void Page10(C& c) { c.OpPage10[c.Fetch()](c); }
void Page11(C& c) { c.OpPage11[c.Fetch()](c); }

// ---- table building --------------------------------------------------------

template <Rmw Op>
void InstallRmw(C& c, int digit) {
  c.OpPage0[0x00 + digit] = RmwMem<Op, DIR>;
  c.OpPage0[0x40 + digit] = RmwAcc<Op, 0>;
  c.OpPage0[0x50 + digit] = RmwAcc<Op, 1>;
  c.OpPage0[0x60 + digit] = RmwMem<Op, IDX>;
  c.OpPage0[0x70 + digit] = RmwMem<Op, EXT>;
}

template <Alu Op>
void InstallAlu(C& c, int digit) {
  c.OpPage0[0x80 + digit] = Alu8<Op, 0, IMM>;
  c.OpPage0[0x90 + digit] = Alu8<Op, 0, DIR>;
  c.OpPage0[0xA0 + digit] = Alu8<Op, 0, IDX>;
  c.OpPage0[0xB0 + digit] = Alu8<Op, 0, EXT>;
  c.OpPage0[0xC0 + digit] = Alu8<Op, 1, IMM>;
  c.OpPage0[0xD0 + digit] = Alu8<Op, 1, DIR>;
  c.OpPage0[0xE0 + digit] = Alu8<Op, 1, IDX>;
  c.OpPage0[0xF0 + digit] = Alu8<Op, 1, EXT>;
}

// The 16-bit families install their four modes at base (immediate), then
// base + 10, + 20, + 30 (direct, indexed, extended); stores have no
// immediate form.
using Table = TCpu09::OpHandler*;

template <int R>
void InstallCmp16(Table t, int base) {
  t[base] = Cmp16<R, IMM>;
  t[base + 0x10] = Cmp16<R, DIR>;
  t[base + 0x20] = Cmp16<R, IDX>;
  t[base + 0x30] = Cmp16<R, EXT>;
}

template <int R>
void InstallLoad16(Table t, int base) {
  t[base] = Load16<R, IMM>;
  t[base + 0x10] = Load16<R, DIR>;
  t[base + 0x20] = Load16<R, IDX>;
  t[base + 0x30] = Load16<R, EXT>;
}

template <int R>
void InstallStore16(Table t, int base) {  // base is the (absent) imm place
  t[base + 0x10] = Store16<R, DIR>;
  t[base + 0x20] = Store16<R, IDX>;
  t[base + 0x30] = Store16<R, EXT>;
}

template <size_t... I>
void InstallBranches(C& c, std::index_sequence<I...>) {
  ((c.OpPage0[0x20 + I] = Branch<I>), ...);
  ((c.OpPage10[0x20 + I] = LongBranch<I>), ...);
}

constexpr uint16_t TCpu09::*kIndexReg[4] = {&TCpu09::X, &TCpu09::Y,
                                            &TCpu09::U, &TCpu09::S};

}  // namespace

// ---- shared pieces (members) -------------------------------------------------

uint16_t TCpu09::IndexedAddress() {
  uint8_t p = Fetch();
  uint16_t& r = this->*kIndexReg[(p >> 5) & 3];
  if (!(p & 0x80)) {
    // 5-bit signed offset, register unchanged.
    return static_cast<uint16_t>(r + ((p & 0x1F) ^ 0x10) - 0x10);
  }
  uint16_t ea;
  switch (p & 0x1F) {
    case 0x00:  // ,R+
      ea = r;
      r = static_cast<uint16_t>(r + 1);
      return ea;
    case 0x01:  // ,R++
      ea = r;
      r = static_cast<uint16_t>(r + 2);
      return ea;
    case 0x02:  // ,-R
      r = static_cast<uint16_t>(r - 1);
      return r;
    case 0x03:  // ,--R
      r = static_cast<uint16_t>(r - 2);
      return r;
    case 0x04:  // ,R
      return r;
    case 0x05:  // B,R
      return static_cast<uint16_t>(r + static_cast<int8_t>(B));
    case 0x06:  // A,R
      return static_cast<uint16_t>(r + static_cast<int8_t>(A));
    case 0x08:  // d8,R
      return static_cast<uint16_t>(r + static_cast<int8_t>(Fetch()));
    case 0x09:  // d16,R
      return static_cast<uint16_t>(r + FetchWord());
    case 0x0B:  // D,R
      return static_cast<uint16_t>(r + D());
    case 0x0C: {  // d8,PCR: PC after the offset byte
      int8_t off = static_cast<int8_t>(Fetch());
      return static_cast<uint16_t>(PC + off);
    }
    case 0x0D: {  // d16,PCR
      uint16_t off = FetchWord();
      return static_cast<uint16_t>(PC + off);
    }
    case 0x11:  // [,R++]: the register moves after the pointer is read
      ea = ReadWord(r);
      r = static_cast<uint16_t>(r + 2);
      return ea;
    case 0x13:  // [,--R]
      r = static_cast<uint16_t>(r - 2);
      return ReadWord(r);
    case 0x14:  // [,R]
      return ReadWord(r);
    case 0x15:  // [B,R]
      return ReadWord(static_cast<uint16_t>(r + static_cast<int8_t>(B)));
    case 0x16:  // [A,R]
      return ReadWord(static_cast<uint16_t>(r + static_cast<int8_t>(A)));
    case 0x18:  // [d8,R]
      return ReadWord(
          static_cast<uint16_t>(r + static_cast<int8_t>(Fetch())));
    case 0x19:  // [d16,R]
      return ReadWord(static_cast<uint16_t>(r + FetchWord()));
    case 0x1B:  // [D,R]
      return ReadWord(static_cast<uint16_t>(r + D()));
    case 0x1C: {  // [d8,PCR]
      int8_t off = static_cast<int8_t>(Fetch());
      return ReadWord(static_cast<uint16_t>(PC + off));
    }
    case 0x1D: {  // [d16,PCR]
      uint16_t off = FetchWord();
      return ReadWord(static_cast<uint16_t>(PC + off));
    }
    case 0x1F:  // [d16], whatever the register bits
      return ReadWord(FetchWord());
    default:
      // Post-bytes the 6809 leaves undefined (including [,R+] and [,-R]):
      // the address is the register itself; nothing more is fetched and the
      // register does not move.
      return r;
  }
}

void TCpu09::PushRegs(uint16_t& sp, uint16_t other, uint8_t mask) {
  auto push8 = [&](uint8_t v) {
    sp = static_cast<uint16_t>(sp - 1);
    WriteByte(sp, v);
  };
  auto push16 = [&](uint16_t v) {
    push8(static_cast<uint8_t>(v));
    push8(static_cast<uint8_t>(v >> 8));
  };
  if (mask & 0x80) push16(PC);
  if (mask & 0x40) push16(other);
  if (mask & 0x20) push16(Y);
  if (mask & 0x10) push16(X);
  if (mask & 0x08) push8(DP);
  if (mask & 0x04) push8(B);
  if (mask & 0x02) push8(A);
  if (mask & 0x01) push8(CC);
}

void TCpu09::PullRegs(uint16_t& sp, uint16_t& other, uint8_t mask) {
  auto pull8 = [&]() {
    uint8_t v = ReadByte(sp);
    sp = static_cast<uint16_t>(sp + 1);
    return v;
  };
  auto pull16 = [&]() {
    uint16_t v = ReadWord(sp);
    sp = static_cast<uint16_t>(sp + 2);
    return v;
  };
  if (mask & 0x01) CC = pull8();
  if (mask & 0x02) A = pull8();
  if (mask & 0x04) B = pull8();
  if (mask & 0x08) DP = pull8();
  if (mask & 0x10) X = pull16();
  if (mask & 0x20) Y = pull16();
  if (mask & 0x40) other = pull16();
  if (mask & 0x80) PC = pull16();
}

uint16_t TCpu09::RegByCode(int code) const {
  switch (code) {
    case 0x0: return D();
    case 0x1: return X;
    case 0x2: return Y;
    case 0x3: return U;
    case 0x4: return S;
    case 0x5: return PC;
    case 0x8: return static_cast<uint16_t>(0xFF00 | A);
    case 0x9: return static_cast<uint16_t>(0xFF00 | B);
    case 0xA: return static_cast<uint16_t>(0xFF00 | CC);
    case 0xB: return static_cast<uint16_t>(0xFF00 | DP);
    default: return 0xFFFF;
  }
}

void TCpu09::SetRegByCode(int code, uint16_t value) {
  uint8_t lo = static_cast<uint8_t>(value);
  switch (code) {
    case 0x0: SetD(value); break;
    case 0x1: X = value; break;
    case 0x2: Y = value; break;
    case 0x3: U = value; break;
    case 0x4: S = value; break;
    case 0x5: PC = value; break;
    case 0x8: A = lo; break;
    case 0x9: B = lo; break;
    case 0xA: CC = lo; break;
    case 0xB: DP = lo; break;
    default: break;
  }
}

void TCpu09::Rts() {
  PC = ReadWord(S);
  S = static_cast<uint16_t>(S + 2);
}

void TCpu09::BuildOpcodeTables() {
  for (int i = 0; i < 256; ++i) {
    OpPage0[i] = NoOp;
    OpPage10[i] = NoOp;
    OpPage11[i] = NoOp;
  }
  C& c = *this;

  // Read-modify-write row: direct 0x, A 4x, B 5x, indexed 6x, extended 7x.
  InstallRmw<NEG>(c, 0x0);
  InstallRmw<NEG>(c, 0x1);
  InstallRmw<NEGCOM>(c, 0x2);
  InstallRmw<COM>(c, 0x3);
  InstallRmw<LSR>(c, 0x4);
  InstallRmw<LSR>(c, 0x5);
  InstallRmw<ROR>(c, 0x6);
  InstallRmw<ASR>(c, 0x7);
  InstallRmw<ASL>(c, 0x8);
  InstallRmw<ROL>(c, 0x9);
  InstallRmw<DEC>(c, 0xA);
  InstallRmw<DECC>(c, 0xB);
  InstallRmw<INC>(c, 0xC);
  InstallRmw<TST>(c, 0xD);
  InstallRmw<CLR>(c, 0xF);
  OpPage0[0x0E] = Jmp<DIR>;
  OpPage0[0x4E] = RmwAcc<CLRKEEPC, 0>;
  OpPage0[0x5E] = RmwAcc<CLRKEEPC, 1>;
  OpPage0[0x6E] = Jmp<IDX>;
  OpPage0[0x7E] = Jmp<EXT>;

  // 1x and 3x: prefixes and inherent/system instructions.
  OpPage0[0x10] = Page10;
  OpPage0[0x11] = Page11;
  OpPage0[0x13] = Sync;
  OpPage0[0x14] = TrapOp;
  OpPage0[0x16] = LongBranch<0>;
  OpPage0[0x17] = Lbsr;
  OpPage0[0x18] = ShiftCc;
  OpPage0[0x19] = Daa;
  OpPage0[0x1A] = Orcc;
  OpPage0[0x1C] = Andcc;
  OpPage0[0x1D] = Sex;
  OpPage0[0x1E] = Exg;
  OpPage0[0x1F] = Tfr;
  OpPage0[0x30] = Lea<1>;
  OpPage0[0x31] = Lea<2>;
  OpPage0[0x32] = Lea<4>;
  OpPage0[0x33] = Lea<3>;
  OpPage0[0x34] = Pshs;
  OpPage0[0x35] = Puls;
  OpPage0[0x36] = Pshu;
  OpPage0[0x37] = Pulu;
  OpPage0[0x38] = Andcc;
  OpPage0[0x39] = RtsOp;
  OpPage0[0x3A] = Abx;
  OpPage0[0x3B] = Rti;
  OpPage0[0x3C] = Cwai;
  OpPage0[0x3D] = Mul;
  OpPage0[0x3F] = Swi<0xFFFA, true>;
  OpPage10[0x3F] = Swi<0xFFF4, false>;
  OpPage11[0x3F] = Swi<0xFFF2, false>;

  // Short branches 20-2F; long branches 10 21-10 2F (10 20 stays NoOp).
  InstallBranches(c, std::make_index_sequence<16>{});
  OpPage10[0x20] = NoOp;

  // 8-bit accumulator rows 8x-Fx.
  InstallAlu<SUB>(c, 0x0);
  InstallAlu<CMP>(c, 0x1);
  InstallAlu<SBC>(c, 0x2);
  InstallAlu<AND>(c, 0x4);
  InstallAlu<BIT>(c, 0x5);
  InstallAlu<LD>(c, 0x6);
  InstallAlu<EOR>(c, 0x8);
  InstallAlu<ADC>(c, 0x9);
  InstallAlu<OR>(c, 0xA);
  InstallAlu<ADD>(c, 0xB);
  OpPage0[0x97] = Store8<0, DIR>;
  OpPage0[0xA7] = Store8<0, IDX>;
  OpPage0[0xB7] = Store8<0, EXT>;
  OpPage0[0xD7] = Store8<1, DIR>;
  OpPage0[0xE7] = Store8<1, IDX>;
  OpPage0[0xF7] = Store8<1, EXT>;
  OpPage0[0x87] = Skip<2>;
  OpPage0[0xC7] = Skip<2>;
  OpPage0[0x8F] = Skip<3>;
  OpPage0[0xCF] = Skip<3>;

  // 16-bit instructions.
  OpPage0[0x83] = Subd<IMM>;
  OpPage0[0x93] = Subd<DIR>;
  OpPage0[0xA3] = Subd<IDX>;
  OpPage0[0xB3] = Subd<EXT>;
  OpPage0[0xC3] = Addd<IMM>;
  OpPage0[0xD3] = Addd<DIR>;
  OpPage0[0xE3] = Addd<IDX>;
  OpPage0[0xF3] = Addd<EXT>;
  InstallCmp16<1>(OpPage0, 0x8C);   // CMPX
  InstallCmp16<0>(OpPage10, 0x83);  // CMPD
  InstallCmp16<2>(OpPage10, 0x8C);  // CMPY
  InstallCmp16<3>(OpPage11, 0x83);  // CMPU
  InstallCmp16<4>(OpPage11, 0x8C);  // CMPS
  InstallLoad16<0>(OpPage0, 0xCC);  // LDD
  InstallLoad16<1>(OpPage0, 0x8E);  // LDX
  InstallLoad16<2>(OpPage10, 0x8E);  // LDY
  InstallLoad16<3>(OpPage0, 0xCE);  // LDU
  InstallLoad16<4>(OpPage10, 0xCE);  // LDS
  InstallStore16<0>(OpPage0, 0xCD);  // STD (CD itself stays NoOp)
  InstallStore16<1>(OpPage0, 0x8F);  // STX
  InstallStore16<2>(OpPage10, 0x8F);  // STY
  InstallStore16<3>(OpPage0, 0xCF);  // STU
  InstallStore16<4>(OpPage10, 0xCF);  // STS

  // Subroutines.
  OpPage0[0x8D] = Bsr;
  OpPage0[0x9D] = Jsr<DIR>;
  OpPage0[0xAD] = Jsr<IDX>;
  OpPage0[0xBD] = Jsr<EXT>;
}
