// Machine cycles the BASIC's number package takes per operation, counted
// with the 6809's published instruction timings while the routine runs on a
// bare core (FloatRig.h). The benchmark's own time is the host's; the
// counters "cycles" and "ms_at_2MHz" are the machine's, averaged over a
// spread of operands.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "FloatRig.h"

namespace {

TFloatRig& Rig() {
  static TFloatRig rig;
  return rig;
}

// Operands like a program's: a few digits, magnitudes 1e-3..1e6.
std::vector<long double> Operands(int p) {
  std::mt19937 g(42);
  std::uniform_real_distribution<double> e(-3, 6);
  std::vector<long double> v;
  for (int i = 0; i < 64; ++i)
    v.push_back(TFloatRig::Round(std::pow(10.0L, e(g)) * (i % 3 ? 1 : -1), p));
  return v;
}

void Run(benchmark::State& st, const char* routine, int p, bool binary) {
  TFloatRig& r = Rig();
  const std::vector<long double> a = Operands(p);
  uint64_t cycles = 0, calls = 0;
  size_t i = 0;
  for (auto _ : st) {
    const long double x = a[i % a.size()], y = a[(i * 7 + 3) % a.size()];
    ++i;
    if (binary && std::string(routine) == "fp_pow") {  // K^2, K^3 as programs use it
      r.SetArg(x, p);
      r.SetFac(2 + i % 2, p);
    } else if (binary) {
      r.SetArg(x, p);
      r.SetFac(y, p);
    } else {
      r.SetFac(std::string(routine) == "fp_log" || std::string(routine) == "fp_sqr" ? std::fabs(x) : x, p);
      if (std::string(routine) == "fp_exp") r.SetFac(std::fmod(x, 80.0L), p);
    }
    r.Call(routine);
    cycles += r.Cycles;
    ++calls;
  }
  st.counters["cycles"] = static_cast<double>(cycles) / calls;
  st.counters["ms_at_2MHz"] = static_cast<double>(cycles) / calls / 2000.0;
}

void Int(benchmark::State& st, const char* routine, int p) {
  TFloatRig& r = Rig();
  uint64_t cycles = 0, calls = 0;
  int v = -1000;
  for (auto _ : st) {
    v = v * 31 % 30000 + 7;
    if (std::string(routine) == "fp_fromint") {
      r.SetPrec(p);
      r.Cpu->A = static_cast<uint8_t>(v >> 8);
      r.Cpu->B = static_cast<uint8_t>(v);
    } else {
      r.SetFac(v + 0.25L, p);
    }
    r.Call(routine);
    cycles += r.Cycles;
    ++calls;
  }
  st.counters["cycles"] = static_cast<double>(cycles) / calls;
}

}  // namespace

#define FP_BINARY(name, p) BENCHMARK_CAPTURE(Run, name##_##p, #name, p, true)
#define FP_UNARY(name, p) BENCHMARK_CAPTURE(Run, name##_##p, #name, p, false)
FP_BINARY(fp_add, 4);
FP_BINARY(fp_sub, 4);
FP_BINARY(fp_mul, 4);
FP_BINARY(fp_div, 4);
FP_UNARY(fp_format, 4);
FP_UNARY(fp_sqr, 4);
FP_UNARY(fp_sin, 4);
FP_UNARY(fp_exp, 4);
FP_UNARY(fp_log, 4);
FP_BINARY(fp_pow, 4);
FP_UNARY(fp_int, 4);
FP_UNARY(fp_atn, 4);
FP_BINARY(fp_add, 8);
FP_BINARY(fp_mul, 8);
FP_BINARY(fp_div, 8);
FP_UNARY(fp_format, 8);
FP_UNARY(fp_sqr, 8);
FP_UNARY(fp_sin, 8);
BENCHMARK_CAPTURE(Int, fp_fromint_4, "fp_fromint", 4);
BENCHMARK_CAPTURE(Int, fp_toint_4, "fp_toint", 4);
