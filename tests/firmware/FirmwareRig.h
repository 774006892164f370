// A whole computer running our own firmware, driven synchronously on a
// virtual clock: the sub timer NMI every 20 ms (with one typed key per NMI,
// as a paste delivers them), the main timer IRQ every 2 ms while the main CPU
// enables it. Tests type, run, and read the text screen the sub firmware keeps
// (columns at D036, rows at D037, characters from C000).
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "Mcputh.h"

class TTestHost : public THostServices {
 public:
  int Beeps = 0;
  void Beep() override { ++Beeps; }
  // A pattern that depends on the code, so a test can tell glyphs apart.
  void DrawGlyph(uint16_t sjis, uint8_t bitmap[32]) override {
    for (int i = 0; i < 32; ++i) bitmap[i] = static_cast<uint8_t>((sjis >> (i % 2 ? 0 : 8)) + i * 7);
  }
  static std::vector<uint8_t> Glyph(uint16_t sjis) {
    std::vector<uint8_t> g(32);
    TTestHost().DrawGlyph(sjis, g.data());
    return g;
  }
};

class TFirmwareRig {
 public:
  static constexpr uint64_t PassesPerMs = 242;  // CpuWait 240

  explicit TFirmwareRig(int bootMode = 0) {
    State.BootMode.store(bootMode);
    Clock.OnMillisecond = [this](uint64_t now) {
      if (now % 2 == 0 && State.RaiseTimerIrq()) ++TimerIrqsRaised;
      if (now % 20 == 0) {
        State.RaiseSubNmi();
        if (!Keys.empty()) {
          State.DeliverKey(Keys.front());
          Keys.pop_front();
        }
      }
    };
    Thread = std::make_unique<TMcpuThread>(State, Host, Clock, QUILLON_FIRMWARE_DIR);
    Thread->ResetMachine(false);
  }

  TMachineState State;
  TTestHost Host;
  TVirtualClock Clock;
  std::unique_ptr<TMcpuThread> Thread;
  std::deque<uint16_t> Keys;
  uint64_t TimerIrqsRaised = 0;

  void RunMs(uint64_t ms) {
    const uint64_t end = Clock.Now() + ms;
    while (Clock.Now() < end) Thread->RunPasses(64);
  }

  // Queues text as typed keys; '\n' is RETURN.
  void Type(const std::string& text) {
    for (unsigned char c : text) Keys.push_back(c == '\n' ? 0x0D : c);
  }
  bool KeysPending() const { return !Keys.empty(); }

  // The text screen, rows joined by '\n', trailing spaces dropped.
  std::string Screen() const {
    const uint8_t* sub = Thread->Scpu->Bank[0];
    const int cols = sub[0xD036], rows = sub[0xD037];
    std::string text;
    for (int r = 0; r < rows; ++r) {
      std::string line;
      for (int c = 0; c < cols; ++c) {
        const uint8_t ch = sub[(0xC000 + r * cols + c) & 0xFFFF];
        line += ch == 0 ? ' ' : static_cast<char>(ch);
      }
      line.erase(line.find_last_not_of(' ') + 1);
      text += line + '\n';
    }
    return text;
  }

  // Runs until the text screen shows text (checked every 10 ms) or limitMs
  // passed; typed keys are delivered meanwhile.
  bool WaitFor(const std::string& text, uint64_t limitMs = 3000) {
    const uint64_t end = Clock.Now() + limitMs;
    while (Clock.Now() < end) {
      if (Screen().find(text) != std::string::npos) return true;
      RunMs(10);
    }
    return Screen().find(text) != std::string::npos;
  }

  // Runs until the monitor's prompt is on the last line used. The machine
  // boots into the BASIC: its "Ok" is answered with MON.
  bool WaitForPrompt(uint64_t limitMs = 3000) {
    const uint64_t end = Clock.Now() + limitMs;
    while (Clock.Now() < end) {
      if (!KeysPending() && PromptIsLast()) return true;
      if (!KeysPending() && LastLine() == "Ok") Type("MON\n");
      RunMs(10);
    }
    return false;
  }

  // Types a command line and waits until it is done: the prompt is back on
  // the last line used.
  bool Command(const std::string& line, uint64_t limitMs = 5000) {
    Type(line + "\n");
    const uint64_t end = Clock.Now() + limitMs;
    while (Clock.Now() < end) {
      RunMs(10);
      if (!KeysPending() && PromptIsLast()) return true;
    }
    return false;
  }

  bool PromptIsLast() const { return LastLine() == ">"; }

  // The last line of the text screen that is not empty.
  std::string LastLine() const {
    std::string s = Screen();
    while (!s.empty() && s.back() == '\n') s.pop_back();
    const size_t nl = s.rfind('\n');
    return s.substr(nl == std::string::npos ? 0 : nl + 1);
  }

  uint8_t MainRam(uint16_t a) const { return Thread->Mcpu->Bank[0][a]; }
};
