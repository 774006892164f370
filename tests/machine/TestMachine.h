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
  SUB_NMI = 0xDC00,    // INC C000; RTI
  SUB_FIRQ = 0xDD00,   // INC C001; LDA D401; RTI
  SUB_IRQ = 0xDE00,    // INC C002; LDA D402; RTI
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
    Put(Rom1, 0x8000, 0xFBFC, {MAIN_HOT >> 8, MAIN_HOT & 0xFF, MAIN_COLD >> 8,
                               MAIN_COLD & 0xFF});
    Put(Rom1, 0x8000, MAIN_HOT, {0x20, 0xFE});
    Put(Rom1, 0x8000, MAIN_COLD, {0x20, 0xFE});
    Put(Rom2, 0xFE00, 0xFE00, {0x20, 0xFE});
    Put(Sub, 0xD800, SUB_RESET, {0x20, 0xFE});
    Put(Sub, 0xD800, SUB_NMI, {0x7C, 0xC0, 0x00, 0x3B});
    Put(Sub, 0xD800, SUB_FIRQ, {0x7C, 0xC0, 0x01, 0xB6, 0xD4, 0x01, 0x3B});
    Put(Sub, 0xD800, SUB_IRQ, {0x7C, 0xC0, 0x02, 0xB6, 0xD4, 0x02, 0x3B});
    Put(Sub, 0xD800, 0xFFF6, {SUB_FIRQ >> 8, 0x00, SUB_IRQ >> 8, 0x00});
    Put(Sub, 0xD800, 0xFFFC, {SUB_NMI >> 8, 0x00, SUB_RESET >> 8, 0x00});
    char tmpl[] = "/tmp/quillon-machine-XXXXXX";
    Dir = mkdtemp(tmpl);
  }
  ~TTestMachine() {
    Machine.reset();
    std::filesystem::remove_all(Dir);
  }

  static void Put(std::vector<uint8_t>& image, uint16_t base, uint16_t address,
                  std::initializer_list<int> bytes) {
    size_t i = address - base;
    for (int b : bytes) image.at(i++) = static_cast<uint8_t>(b);
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

  TMcpuIo& Main() { return *Machine->Mcpu; }
  TScpuIo& Subcpu() { return *Machine->Scpu; }

  // Puts a program into main RAM and points the main CPU at it.
  void RunMainFrom(uint16_t address, std::initializer_list<int> code) {
    for (int b : code) Main().Bank[0][address++] = static_cast<uint8_t>(b);
    Main().PC = static_cast<uint16_t>(address - code.size());
  }

 private:
  void Write(const std::string& name, const std::vector<uint8_t>& data,
             const std::string& skip) {
    if (name == skip) return;
    std::ofstream f(Dir + "/" + name, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()),
            static_cast<std::streamsize>(data.size()));
  }
};
