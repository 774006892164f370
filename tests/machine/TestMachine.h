// A whole two-CPU computer for tests: tiny firmware images of our own written
// to a temporary directory, a host that records beeps and glyph requests, and
// a pacer that counts pauses instead of sleeping.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Asm09.h"
#include "HostServices.h"
#include "MachineState.h"
#include "Mcputh.h"

class TRecordingHost : public THostServices {
 public:
  void Beep() override { ++Beeps; }
  void DrawGlyph(uint16_t sjis, uint8_t bitmap[32]) override {
    Glyphs.push_back(sjis);
    // A recognisable pattern: row r is (sjis + r) in both halves.
    for (int r = 0; r < 16; ++r) {
      bitmap[2 * r] = static_cast<uint8_t>(sjis + r);
      bitmap[2 * r + 1] = static_cast<uint8_t>((sjis >> 8) + r);
    }
  }
  int Beeps = 0;
  std::vector<uint16_t> Glyphs;
};

class TCountingPacer : public TPacer {
 public:
  void Pause1ms() override { ++Pauses; }
  uint64_t Pauses = 0;
};

// Addresses of the default firmware.
enum : uint16_t {
  MAIN_HOT = 0x8100,   // BASIC image's hot-start entry: BRA *
  MAIN_COLD = 0x8200,  // BASIC image's cold-start entry: BRA *
  SUB_RESET = 0xD800,  // BRA *
  SUB_NMI = 0xDC00,    // counts in C000
  SUB_FIRQ = 0xDD00,   // counts in C001, acknowledges at D401
  SUB_IRQ = 0xDE00,    // counts in C002, acknowledges at D402
};

struct TTestMachine {
  std::vector<uint8_t> Rom1 = std::vector<uint8_t>(0x7C00, 0x12);  // 8000
  std::vector<uint8_t> Rom2 = std::vector<uint8_t>(0x1E0, 0x12);   // FE00
  std::vector<uint8_t> Sub = std::vector<uint8_t>(0x2800, 0x12);   // D800
  TMachineState State;
  TRecordingHost Host;
  TCountingPacer Pacer;
  std::unique_ptr<TMcpuThread> Machine;
  std::string Dir;

  TTestMachine() {
    Assemble(Rom1, 0x8000, R"(
        ORG  $FBFC
        FDB  $8100,$8200     ; hot start, cold start
        ORG  $8100
        BRA  *
        ORG  $8200
        BRA  *
)");
    Assemble(Rom2, 0xFE00, " ORG $FE00\n BRA *\n");
    Assemble(Sub, 0xD800, R"(
        ORG  $D800
        BRA  *
        ORG  $DC00           ; NMI
        INC  $C000
        RTI
        ORG  $DD00           ; FIRQ: key
        INC  $C001
        LDA  $D401
        RTI
        ORG  $DE00           ; IRQ: cancel
        INC  $C002
        LDA  $D402
        RTI
        ORG  $FFF6
        FDB  $DD00,$DE00
        ORG  $FFFC
        FDB  $DC00,$D800
)");
    char tmpl[] = "/tmp/quillon-machine-XXXXXX";
    Dir = mkdtemp(tmpl);
  }
  ~TTestMachine() {
    Machine.reset();
    std::filesystem::remove_all(Dir);
  }

  // Assembles source (which sets its own ORG) and copies the bytes it wrote
  // into memory at base (an image, or a CPU's bank).
  static void Assemble(uint8_t* memory, size_t size, uint16_t base,
                       const std::string& source) {
    asm09::Result r = asm09::AssembleString(source, "test.asm");
    ASSERT_TRUE(r.ok) << r.ErrorText();
    for (size_t a = 0; a < 0x10000; ++a) {
      if (!r.written[a]) continue;
      ASSERT_TRUE(a >= base && a - base < size) << "byte outside at " << a;
      memory[a - base] = r.image[a];
    }
  }
  static void Assemble(std::vector<uint8_t>& image, uint16_t base,
                       const std::string& source) {
    Assemble(image.data(), image.size(), base, source);
  }
  // Into a CPU's memory after Build.
  static void Assemble(TCpu09& cpu, const std::string& source) {
    Assemble(cpu.Bank[0], 0x10000, 0, source);
  }

  // Writes the images (those not skipped), builds the machine and resets it.
  TMcpuThread& Build(const std::string& skip = {}) {
    Write("fb30rom1.dat", Rom1, skip);
    Write("fb30rom2.dat", Rom2, skip);
    Write("fb30sub.dat", Sub, skip);
    Machine = std::make_unique<TMcpuThread>(State, Host, Pacer, Dir);
    Machine->ResetMachine(false);
    return *Machine;
  }

  // Puts machine code into main RAM and points the main CPU at it.
  void RunMainFrom(uint16_t address, std::initializer_list<int> code) {
    Main().PC = address;
    for (int b : code) Main().Bank[0][address++] = static_cast<uint8_t>(b);
  }

  TMcpuIo& Main() { return *Machine->Mcpu; }
  TScpuIo& Subcpu() { return *Machine->Scpu; }

 private:
  void Write(const std::string& name, const std::vector<uint8_t>& data,
             const std::string& skip) {
    if (name == skip) return;
    std::ofstream f(Dir + "/" + name, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()),
            static_cast<std::streamsize>(data.size()));
  }
};
