// Test bench for the 6809 core: a plain 64 KiB RAM CPU whose I/O hooks
// record every access, so tests can see exactly what an instruction read,
// wrote or trapped.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <initializer_list>
#include <string>
#include <memory>
#include <utility>
#include <vector>

#include "core/Cpu_main.h"

struct RecordingCpu : TCpu09 {
  std::vector<uint8_t> IoReads;                    // offsets read
  std::vector<std::pair<uint8_t, uint8_t>> IoWrites;  // offset, value
  std::vector<std::pair<uint16_t, uint8_t>> VramWrites;  // address, value
  int Traps = 0;
  uint8_t IoValue = 0;  // what every I/O read returns

  uint8_t IoRead(uint8_t offset) override {
    IoReads.push_back(offset);
    return IoValue;
  }
  void IoWrite(uint8_t offset, uint8_t value) override {
    IoWrites.emplace_back(offset, value);
  }
  void VramWrite(uint8_t value, uint16_t address) override {
    VramWrites.emplace_back(address, value);
  }
  void Trap() override { ++Traps; }
};

class CpuTest : public ::testing::Test {
 protected:
  // The core is about 200 KiB: keep it off the stack.
  std::unique_ptr<RecordingCpu> Cpu = std::make_unique<RecordingCpu>();
  RecordingCpu& C = *Cpu;

  void SetUp() override { C.InitCpu(2); }

  void Poke(uint16_t at, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) C.Bank[0][at++] = b;
  }
  // Puts a program at `at`, points PC there and runs `steps` instructions.
  void Run(uint16_t at, std::initializer_list<uint8_t> bytes, int steps = 1) {
    Poke(at, bytes);
    C.PC = at;
    for (int i = 0; i < steps; ++i) C.Step();
  }
  uint8_t Mem(uint16_t at) const { return C.Bank[0][at]; }
  uint16_t MemWord(uint16_t at) const {
    return static_cast<uint16_t>(C.Bank[0][at] << 8 |
                                 C.Bank[0][static_cast<uint16_t>(at + 1)]);
  }
  // Marks one 256-byte page as I/O, so accesses there are recorded.
  void MakeIoPage(uint16_t page) {
    for (int i = 0; i < 256; ++i) C.MemType[page + i] = MT_MAINIO;
  }
};

// A gtest parameter name from a table row's readable name.
inline std::string CaseName(const char* name, size_t index) {
  std::string n;
  for (const char* p = name; *p; ++p)
    n += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return n + "_" + std::to_string(index);
}
