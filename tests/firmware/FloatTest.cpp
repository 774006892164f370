// The BASIC's number package run on the emulated CPU, checked against the
// host's arithmetic: random operands for the four operations and SQR in both
// precisions, conversions, the printed forms of numbers, reading numbers
// back, and the random sequence.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <vector>

#include "FloatRig.h"

namespace {

using R = TFloatRig;

class FloatTest : public ::testing::Test {
 protected:
  static R& Rig() {
    static R rig;  // loading the image and its symbols once is enough
    return rig;
  }
  void SetUp() override { Rig().Call("fp_init"); }

  // A random number of precision p with its exponent in -range..range.
  static long double Random(std::mt19937_64& g, int p, int range) {
    const int bits = 8 * (p - 1);
    const uint64_t man = (g() >> (64 - bits)) | (1ULL << (bits - 1));
    const int e = static_cast<int>(g() % (2 * range + 1)) - range;
    const long double v = std::ldexp(static_cast<long double>(man), e - bits);
    return (g() & 1) ? -v : v;
  }
};

long double Exact(const std::string& op, long double a, long double b) {
  if (op == "fp_add") return a + b;
  if (op == "fp_sub") return a - b;
  if (op == "fp_mul") return a * b;
  return a / b;
}

// + - * / in both precisions on 10,000 random operand pairs each: the result
// is the exact one rounded to the precision, within one unit of its last
// place. The second operand is often close in size to the first, so that
// subtraction cancels and the alignment shifts are short.
TEST_F(FloatTest, ArithmeticIsCorrectlyRounded) {
  R& r = Rig();
  for (int p : {4, 8})
    for (std::string op : {"fp_add", "fp_sub", "fp_mul", "fp_div"}) {
      std::mt19937_64 g(p * 100 + op.size() + op[4]);
      long double worst = 0;
      for (int i = 0; i < 10000; ++i) {
        const long double a = Random(g, p, 60);
        long double b = Random(g, p, 60);
        if (i % 2) b = std::ldexp(b, std::ilogb(a) - std::ilogb(b) + static_cast<int>(g() % 5) - 2);
        if (i % 7 == 0) b = a * (g() & 1 ? 1 : -1);  // exact cancellation, squares
        ASSERT_TRUE(r.Binary(op, a, b, p)) << op;
        ASSERT_FALSE(r.Carry()) << op << " " << double(a) << " " << double(b);
        const long double want = Exact(op, a, b);
        const long double u = R::Ulps(r.FacValue(), want, p);
        worst = std::max(worst, u);
        ASSERT_LE(u, 1.0L) << op << " p=" << p << " a=" << double(a) << " b=" << double(b)
                           << " got " << double(r.FacValue()) << " want " << double(want);
        if (p == 4) {
          for (int k = 4; k <= 7; ++k) ASSERT_EQ(r.Mem(R::Fac + k), 0) << "single with bits below";
        }
      }
      std::printf("%s precision %d: max %.3Lf ulp over 10000\n", op.c_str(), p, worst);
    }
}

TEST_F(FloatTest, OverflowUnderflowAndDivisionByZero) {
  R& r = Rig();
  const long double big = std::ldexp(1.0L, 126), tiny = std::ldexp(1.0L, -126);
  struct Case { const char* op; long double a, b; bool fails; int error; long double result; };
  const Case cases[] = {
      {"fp_mul", big, big, true, 6, 0},
      {"fp_add", big * 1.5L, big * 1.5L, true, 6, 0},
      {"fp_div", big, tiny, true, 6, 0},
      {"fp_div", 1, 0, true, 11, 0},
      {"fp_div", 0, 0, true, 11, 0},
      {"fp_mul", tiny, tiny, false, 0, 0},  // underflow: 0
      {"fp_div", tiny, big, false, 0, 0},
      {"fp_sub", 3, 3, false, 0, 0},
      {"fp_add", 0, -2.5L, false, 0, -2.5L},
      {"fp_sub", 0, -2.5L, false, 0, 2.5L},
      {"fp_mul", 0, 5, false, 0, 0},
  };
  for (int p : {4, 8})
    for (const Case& c : cases) {
      ASSERT_TRUE(r.Binary(c.op, c.a, c.b, p));
      EXPECT_EQ(r.Carry(), c.fails) << c.op << " " << double(c.a) << " " << double(c.b);
      if (c.fails) EXPECT_EQ(r.Cpu->B, c.error) << c.op;
      else EXPECT_EQ(r.FacValue(), c.result) << c.op << " " << double(c.a);
    }
}

TEST_F(FloatTest, CompareAndSign) {
  R& r = Rig();
  struct Case { long double a, b; int cmp; };
  const Case cases[] = {{1, 2, -1}, {2, 1, 1}, {-1, -2, 1}, {-2, -1, -1}, {0, 0, 0}, {0, 1, -1},
                        {0, -1, 1}, {-1, 0, -1}, {3.5L, 3.5L, 0}, {-1, 1, -1}, {1e-30L, 1e30L, -1},
                        {1.0000001L, 1, 1}};
  for (int p : {4, 8})
    for (const Case& c : cases) {
      r.SetFac(R::Round(c.b, p), p);
      r.SetArg(R::Round(c.a, p), p);
      r.Call("fp_cmp");
      EXPECT_EQ(static_cast<int8_t>(r.Cpu->B), c.cmp) << double(c.a) << " vs " << double(c.b);
      r.Call("fp_sgn");
      EXPECT_EQ(static_cast<int8_t>(r.Cpu->B), c.b > 0 ? 1 : c.b < 0 ? -1 : 0);
    }
}

TEST_F(FloatTest, IntFixNegAbs) {
  R& r = Rig();
  struct Case { long double x, intv, fixv; };
  const Case cases[] = {{2.5L, 2, 2}, {-2.5L, -3, -2}, {0.25L, 0, 0}, {-0.25L, -1, 0},
                        {-1, -1, -1}, {7, 7, 7}, {-7.75L, -8, -7}, {65535.5L, 65535, 65535},
                        {-255.5L, -256, -255}, {-0.5L, -1, 0}, {1e20L, 1e20L, 1e20L},
                        {-1023.999L, -1024, -1023}, {0, 0, 0}};
  for (int p : {4, 8})
    for (const Case& c : cases) {
      const long double x = R::Round(c.x, p);
      r.SetFac(x, p);
      r.Call("fp_int");
      EXPECT_EQ(r.FacValue(), R::Round(c.intv, p)) << "INT " << double(x);
      r.SetFac(x, p);
      r.Call("fp_fix");
      EXPECT_EQ(r.FacValue(), R::Round(c.fixv, p)) << "FIX " << double(x);
      r.SetFac(x, p);
      r.Call("fp_neg");
      EXPECT_EQ(r.FacValue(), -x);
      r.Call("fp_abs");
      EXPECT_EQ(r.FacValue(), std::fabs(x));
    }
}

TEST_F(FloatTest, IntegerConversions) {
  R& r = Rig();
  for (int v : {0, 1, -1, 255, 256, -256, 32767, -32768, 12345, -129}) {
    r.SetPrec(4);
    r.Cpu->A = static_cast<uint8_t>(v >> 8);
    r.Cpu->B = static_cast<uint8_t>(v);
    r.Call("fp_fromint");
    EXPECT_EQ(r.FacValue(), v);
    r.Call("fp_toint");
    EXPECT_FALSE(r.Carry());
    EXPECT_EQ(static_cast<int16_t>(r.Cpu->D()), v);
  }
  for (unsigned v : {0u, 1u, 32768u, 40000u, 65535u}) {
    r.SetPrec(8);
    r.Cpu->A = static_cast<uint8_t>(v >> 8);
    r.Cpu->B = static_cast<uint8_t>(v);
    r.Call("fp_fromuint");
    EXPECT_EQ(r.FacValue(), v);
    r.Call("fp_touint");
    EXPECT_EQ(r.Cpu->D(), v);
  }
  // Rounding to the nearest whole number, halves away from zero; ranges.
  struct Case { long double x; bool ok; int v; const char* routine; int error; };
  const Case cases[] = {
      {2.5L, true, 3, "fp_toint", 0},      {-2.5L, true, -3, "fp_toint", 0},
      {2.49L, true, 2, "fp_toint", 0},     {0.5L, true, 1, "fp_toint", 0},
      {0.49L, true, 0, "fp_toint", 0},     {-0.3L, true, 0, "fp_toint", 0},
      {32767.4L, true, 32767, "fp_toint", 0}, {32767.5L, false, 0, "fp_toint", 6},
      {-32768.4L, true, -32768, "fp_toint", 0}, {-32768.5L, false, 0, "fp_toint", 6},
      {1e10L, false, 0, "fp_toint", 6},
      {65535.4L, true, 65535, "fp_touint", 0}, {65535.5L, false, 0, "fp_touint", 5},
      {-1, true, 65535, "fp_touint", 0},   {-65535, true, 1, "fp_touint", 0},
      {-65536, false, 0, "fp_touint", 5},  {49152, true, 49152, "fp_touint", 0},
  };
  for (int p : {4, 8})
    for (const Case& c : cases) {
      r.SetFac(R::Round(c.x, p), p);
      r.Call(c.routine);
      EXPECT_EQ(r.Carry(), !c.ok) << c.routine << " " << double(c.x);
      if (c.ok) EXPECT_EQ(std::string(c.routine) == "fp_toint" ? int(int16_t(r.Cpu->D())) : int(r.Cpu->D()),
                          c.v) << double(c.x);
      else EXPECT_EQ(r.Cpu->B, c.error);
    }
}

TEST_F(FloatTest, StoresRoundAndWiden) {
  R& r = Rig();
  // A double stored as a single is rounded; a single stored as a double
  // gets zero bytes; FAC itself is unchanged by either.
  const long double third = R::Round(1.0L / 3, 8);
  r.SetFac(third, 8);
  r.Cpu->X = 0x6200;
  r.Call("fp_sts");
  EXPECT_FALSE(r.Carry());
  EXPECT_EQ(R::Unpack(&r.Mem(0x6200), 4), R::Round(1.0L / 3, 4));
  EXPECT_EQ(r.FacValue(), third);
  r.SetFac(-2.75L, 4);
  std::memset(&r.Mem(0x6200), 0xAA, 8);
  r.Cpu->X = 0x6200;
  r.Call("fp_std");
  EXPECT_EQ(R::Unpack(&r.Mem(0x6200), 8), -2.75L);
  // The largest double rounds up beyond the largest single.
  r.SetFac(std::ldexp(1.0L, 127) * (1 - std::ldexp(1.0L, -56)), 8);
  r.Cpu->X = 0x6200;
  r.Call("fp_sts");
  EXPECT_TRUE(r.Carry());
  EXPECT_EQ(r.Cpu->B, 6);
}

// What PRINT shows.
TEST_F(FloatTest, PrintedForms) {
  R& r = Rig();
  struct Case { long double v; int p; const char* text; };
  const Case cases[] = {
      {0, 4, " 0"},          {-1, 4, "-1"},             {0.5L, 4, " .5"},
      {1.0L / 3, 4, " .3333333"}, {2.0L / 3, 4, " .6666667"}, {-1.0L / 3, 4, "-.3333333"},
      {123456789, 4, " 1.234568E+08"}, {123456789, 8, " 123456789"},
      {1e38L, 4, " 1E+38"},   {16777216, 4, " 1.677722E+07"}, {9999999, 4, " 9999999"},
      {1e7L, 4, " 1E+07"},    {1234567, 4, " 1234567"},  {123.456L, 4, " 123.456"},
      {0.01L, 4, " .01"},     {0.001L, 4, " .001"},      {1e-7L, 4, " .0000001"},
      {1e-8L, 4, " 1E-08"},   {1.5e-7L, 4, " 1.5E-07"},  {1.0L / 300, 4, " 3.333333E-03"},
      {-32768, 4, "-32768"},  {100, 4, " 100"},          {3.14159265358979L, 4, " 3.141593"},
      {1e-38L, 4, " 1E-38"},  {1.7e38L, 4, " 1.7E+38"},  {65535, 4, " 65535"},
      {1.0L / 3, 8, " .3333333333333333"}, {2.0L / 3, 8, " .6666666666666667"},
      {1e16L, 8, " 1D+16"},   {1e15L, 8, " 1000000000000000"}, {0.1L, 8, " .1"},
      {3.14159265358979323846L, 8, " 3.141592653589793"}, {-1e-20L, 8, "-1D-20"},
      {1.5L, 8, " 1.5"},
  };
  for (const Case& c : cases) {
    r.SetFac(R::Round(c.v, c.p), c.p);
    EXPECT_EQ(r.Format(), c.text) << double(c.v) << " p=" << c.p;
    EXPECT_EQ(r.Cpu->B, std::string(c.text).size());
    EXPECT_EQ(r.FacValue(), R::Round(c.v, c.p)) << "FAC kept";
  }
}

// How numbers are read: value, type, where reading stopped.
TEST_F(FloatTest, ReadingNumbers) {
  R& r = Rig();
  struct Case { const char* text; long double v; int type; int used; bool error; };
  const Case cases[] = {
      {"123", 123, 2, 3, false},          {"  -45:", -45, 2, 5, false},
      {"32767", 32767, 2, 5, false},      {"32768", 32768, 4, 5, false},
      {"-32768", -32768, 2, 6, false},    {"1.5", 1.5L, 4, 3, false},
      {".5", 0.5L, 4, 2, false},          {"5.", 5, 4, 2, false},
      {"1E3", 1000, 4, 3, false},         {"1e-2X", 0.01L, 4, 4, false},
      {"2.5D1", 25, 8, 5, false},         {"7#", 7, 8, 2, false},
      {"7!", 7, 4, 2, false},             {"7%", 7, 2, 2, false},
      {"12345678", 12345678, 8, 8, false}, {"1234567", 1234567, 4, 7, false},
      {"0.1234567", 0.1234567L, 4, 9, false}, {"0.12345678", 0.12345678L, 8, 10, false},
      {"+3.25E+2 ", 325, 4, 8, false},    {"1E39", 0, 4, 4, true},
      {"1E-39", 0, 4, 5, false},          {"1E-50", 0, 4, 5, false},
      {"abc", 0, 4, 0, false},            {"-", 0, 4, 0, false},
      {".", 0, 4, 0, false},              {"1.2.3", 1.2L, 4, 3, false},
      {"00012", 12, 2, 5, false},         {"0", 0, 2, 1, false},
      {"1E", 1, 4, 2, false},             {"123456789012345678901234", 1.23456789012345678901234e23L, 8, 24, false},
      {"1D-300", 0, 8, 6, false},         {"4E38", 0, 4, 4, true},
      {"1.7E38", 1.7e38L, 4, 6, false},   {"40000%", 0, 2, 6, true},
  };
  for (const Case& c : cases) {
    R::TParsed got = r.Parse(c.text);
    EXPECT_EQ(got.Error, c.error) << c.text;
    EXPECT_EQ(got.Used, c.used) << c.text;
    if (c.error) {
      EXPECT_EQ(r.Cpu->B, 6) << c.text;
      continue;
    }
    EXPECT_EQ(got.Type, c.type) << c.text;
    EXPECT_EQ(r.Prec(), c.type == 8 ? 8 : 4) << c.text;
    const int p = c.type == 8 ? 8 : 4;
    EXPECT_LE(R::Ulps(r.FacValue(), c.v, p), 0.5L) << c.text << " got " << double(r.FacValue());
  }
}

// Text -> number -> text gives the text back: 6 significant digits for a
// single, 15 for a double (all a binary number of that size keeps).
TEST_F(FloatTest, TextRoundTrips) {
  R& r = Rig();
  std::mt19937_64 g(7);
  for (int p : {4, 8}) {
    const int digits = p == 4 ? 6 : 15;
    for (int i = 0; i < 1000; ++i) {
      std::string d;
      d += static_cast<char>('1' + g() % 9);
      for (int k = 1; k < digits; ++k) d += static_cast<char>('0' + g() % 10);
      while (d.size() > 1 && d.back() == '0') d.pop_back();
      const int e = static_cast<int>(g() % 70) - 35;
      // The form PRINT would use for 0.d x 10^e.
      std::string text = d.substr(0, 1);
      if (d.size() > 1) text.append(1, '.').append(d, 1);
      char exp[8];
      std::snprintf(exp, sizeof exp, "%c%c%02d", p == 4 ? 'E' : 'D', e - 1 < 0 ? '-' : '+', std::abs(e - 1));
      const int n = p == 4 ? 7 : 16;
      std::string want;
      if (e > 0 && e <= n)
        want = d.size() <= size_t(e) ? d + std::string(e - d.size(), '0') : d.substr(0, e) + "." + d.substr(e);
      else if (e <= 0 && int(d.size()) - e <= n)
        want = std::string(1, '.').append(-e, '0').append(d);
      else
        want = text + exp;
      r.Parse(text + exp);
      ASSERT_EQ(r.Prec(), p);
      EXPECT_EQ(r.Format(), " " + want) << text + exp;
    }
  }
}

TEST_F(FloatTest, PrintUsingDigits) {
  R& r = Rig();
  struct Case { long double v; int n; const char* digits; int exp; };
  const Case cases[] = {{123.456L, 4, "1235", 3}, {0.000999L, 2, "10", -2}, {99.96L, 3, "100", 3},
                        {1, 1, "1", 1}, {0, 3, "000", 0}, {-0.5L, 5, "50000", 0},
                        {2.0L / 3, 16, "6666666666666667", 0}, {2.0L / 3, 40, "6666666666666667", 0},
                        {2.0L / 3, 0, "7", 0}};
  for (const Case& c : cases) {
    r.SetFac(c.v, 8);
    r.Cpu->B = static_cast<uint8_t>(c.n);
    r.Call("fp_digits");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&r.Mem(R::Fpstr))), c.digits) << double(c.v);
    EXPECT_EQ(static_cast<int8_t>(r.Cpu->A), c.exp) << double(c.v);
  }
}

TEST_F(FloatTest, RandomSequence) {
  R& r = Rig();
  auto next = [&](long double arg) {
    r.SetFac(arg, 4);
    r.Call("fp_rnd");
    return r.FacValue();
  };
  std::vector<long double> first;
  for (int i = 0; i < 50; ++i) first.push_back(next(1));
  for (long double v : first) {
    EXPECT_GE(v, 0);
    EXPECT_LT(v, 1);
  }
  EXPECT_EQ(next(0), first.back());  // RND(0): the last again
  r.Call("fp_init");
  for (int i = 0; i < 50; ++i) EXPECT_EQ(next(1), first[i]) << "the same after a cold start";
  const long double a = next(-3);
  const long double a2 = next(1);
  EXPECT_EQ(next(-3), a);  // the same seed, the same sequence
  EXPECT_EQ(next(1), a2);
  EXPECT_NE(next(-4), a);
  // Spread: a mean near one half.
  long double sum = 0;
  for (int i = 0; i < 2000; ++i) sum += next(1);
  EXPECT_NEAR(sum / 2000, 0.5L, 0.03L);
}


TEST_F(FloatTest, SquareRootIsCorrectlyRounded) {
  R& r = Rig();
  for (int p : {4, 8}) {
    std::mt19937_64 g(p);
    long double worst = 0;
    for (int i = 0; i < 10000; ++i) {
      const long double a = std::fabs(Random(g, p, 120));
      r.SetFac(a, p);
      ASSERT_TRUE(r.Call("fp_sqr"));
      ASSERT_FALSE(r.Carry());
      const long double u = R::Ulps(r.FacValue(), std::sqrt(a), p);
      worst = std::max(worst, u);
      ASSERT_LE(u, 0.5L) << "SQR " << double(a) << " p=" << p;
    }
    std::printf("fp_sqr precision %d: max %.3Lf ulp over 10000\n", p, worst);
    r.SetFac(-1, p);
    r.Call("fp_sqr");
    EXPECT_TRUE(r.Carry());
    EXPECT_EQ(r.Cpu->B, 5);
    r.SetFac(0, p);
    r.Call("fp_sqr");
    EXPECT_FALSE(r.Carry());
    EXPECT_EQ(r.FacValue(), 0);
  }
}

// SIN COS TAN ATN EXP LOG on random arguments against the host's functions.
// A single comes out within one unit of its last place; a double within a
// few (TAN near its poles and LOG near 1 measured relative to the result).
TEST_F(FloatTest, FunctionsAgreeWithTheHost) {
  R& r = Rig();
  struct Case {
    const char* routine;
    long double (*f)(long double);
    long double lo, hi;
    bool logScale;
    long double maxSingle, maxDouble;
  };
  const Case cases[] = {
      {"fp_sin", [](long double x) { return std::sin(x); }, -100, 100, false, 1, 4},
      {"fp_cos", [](long double x) { return std::cos(x); }, -100, 100, false, 1, 4},
      {"fp_tan", [](long double x) { return std::tan(x); }, -1.5L, 1.5L, false, 1, 4},
      {"fp_atn", [](long double x) { return std::atan(x); }, 1e-6L, 1e6L, true, 1, 4},
      {"fp_exp", [](long double x) { return std::exp(x); }, -85, 85, false, 1, 4},
      {"fp_log", [](long double x) { return std::log(x); }, 1e-30L, 1e30L, true, 1, 4},
  };
  for (const Case& c : cases)
    for (int p : {4, 8}) {
      std::mt19937_64 g(p + c.routine[4]);
      std::uniform_real_distribution<double> u(0, 1);
      long double worst = 0;
      for (int i = 0; i < 500; ++i) {
        long double x = c.logScale ? std::exp(std::log(c.lo) + u(g) * (std::log(c.hi) - std::log(c.lo)))
                                   : c.lo + u(g) * (c.hi - c.lo);
        if (c.logScale && (g() & 1) && c.routine[3] == 'a') x = -x;
        x = R::Round(x, p);
        r.SetFac(x, p);
        ASSERT_TRUE(r.Call(c.routine));
        ASSERT_FALSE(r.Carry()) << c.routine << " " << double(x);
        const long double e = R::Ulps(r.FacValue(), c.f(x), p);
        worst = std::max(worst, e);
        EXPECT_LE(e, p == 4 ? c.maxSingle : c.maxDouble) << c.routine << "(" << double(x) << ") p=" << p;
      }
      std::printf("%s precision %d: max %.3Lf ulp over 500\n", c.routine, p, worst);
    }
}

TEST_F(FloatTest, FunctionEdges) {
  R& r = Rig();
  struct Case { const char* routine; long double x; bool fails; int error; long double v; };
  const Case cases[] = {
      {"fp_log", 0, true, 5, 0},      {"fp_log", -1, true, 5, 0},    {"fp_log", 1, false, 0, 0},
      {"fp_exp", 89, true, 6, 0},     {"fp_exp", -100, false, 0, 0}, {"fp_exp", 0, false, 0, 1},
      {"fp_sin", 0, false, 0, 0},     {"fp_cos", 0, false, 0, 1},    {"fp_atn", 0, false, 0, 0},
      {"fp_exp", 1, false, 0, std::exp(1.0L)},
      // Results far smaller than the argument: the reduction must be exact.
      {"fp_sin", 355, false, 0, std::sin(355.0L)}, {"fp_cos", 33102, false, 0, std::cos(33102.0L)},
      {"fp_tan", 710, false, 0, std::tan(710.0L)}, {"fp_log", 1.0000001L, false, 0, 0},
      {"fp_exp", -88, false, 0, std::exp(-88.0L)},
  };
  for (int p : {4, 8})
    for (const Case& c : cases) {
      r.SetFac(c.x, p);
      r.Call(c.routine);
      EXPECT_EQ(r.Carry(), c.fails) << c.routine << " " << double(c.x);
      EXPECT_EQ(r.Prec(), p) << "precision kept";
      const long double x = R::Round(c.x, p);
      const long double want = c.routine == std::string("fp_log") && c.x != 1 && c.x > 0 ? std::log(x) : c.v;
      if (c.fails) EXPECT_EQ(r.Cpu->B, c.error) << c.routine;
      else EXPECT_LE(R::Ulps(r.FacValue(), want, p), 1.0L) << c.routine << " " << double(c.x) << " p=" << p;
    }
}

TEST_F(FloatTest, Powers) {
  R& r = Rig();
  struct Case { long double x, y; bool fails; int error; long double v; long double ulps; };
  const Case cases[] = {
      {2, 10, false, 0, 1024, 0},   {2, -2, false, 0, 0.25L, 0},    {-2, 3, false, 0, -8, 0},
      {10, 38, false, 0, 1e38L, 1}, {10, -38, false, 0, 1e-38L, 1}, {7, 0, false, 0, 1, 0},
      {0, 0, false, 0, 1, 0},       {0, 3, false, 0, 0, 0},         {0, -1, true, 11, 0, 0},
      {-8, 1.0L / 3, true, 5, 0, 0}, {10, 39, true, 6, 0, 0},      {2, 0.5L, false, 0, std::sqrt(2.0L), 2},
      {1.5L, 2.5L, false, 0, std::pow(1.5L, 2.5L), 4}, {3, 100000, true, 6, 0, 0},
      {-3, 2, false, 0, 9, 0},      {1.1L, 2, false, 0, 1.1L * 1.1L, 1}, {1e20L, 2, true, 6, 0, 0},
  };
  for (int p : {4, 8})
    for (const Case& c : cases) {
      ASSERT_TRUE(r.Binary("fp_pow", R::Round(c.x, p), R::Round(c.y, p), p));
      EXPECT_EQ(r.Carry(), c.fails) << double(c.x) << "^" << double(c.y);
      if (c.fails) EXPECT_EQ(r.Cpu->B, c.error) << double(c.x) << "^" << double(c.y);
      else EXPECT_LE(R::Ulps(r.FacValue(), c.v, p), std::max(c.ulps, 0.5L)) << double(c.x) << "^" << double(c.y)
                                                                            << " got " << double(r.FacValue());
    }
}

}  // namespace
