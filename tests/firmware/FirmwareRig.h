// A whole computer running our own firmware, driven synchronously on a
// virtual clock: the sub timer NMI every 20 ms (with one typed key per NMI
// once the last one was read, as a paste delivers them), the main timer IRQ
// every 2 ms while the main CPU enables it. Tests type, run, and read the
// text screen the sub firmware keeps (columns at D036, rows at D037,
// characters from C000).
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
        if (!Keys.empty() && !State.KeyUnread()) {
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

  // Types a listing (LF or CR LF line ends) and runs until every key has
  // been taken out of the sub CPU's key ring, or limitMs passed.
  bool TypeListing(const std::string& text, uint64_t limitMs) {
    std::string keys;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
      keys += text[i] == '\r' ? '\n' : text[i];
    }
    Type(keys);
    const uint64_t end = Clock.Now() + limitMs;
    while (Clock.Now() < end) {
      RunMs(10);
      if (!KeysPending() && !State.KeyUnread() && State.SharedRam[0x5E] == State.SharedRam[0x5F]) return true;
    }
    return false;
  }

  // The text screen's rows, trailing spaces dropped.
  std::vector<std::string> ScreenRows() const {
    std::vector<std::string> rows;
    std::string s = Screen();
    for (size_t at = 0, nl; (nl = s.find('\n', at)) != std::string::npos; at = nl + 1)
      rows.push_back(s.substr(at, nl - at));
    return rows;
  }

  // The line the main CPU's getline received last (LINBUF).
  std::string EnteredLine() const {
    std::string line;
    for (uint16_t a = 0x7100; a < 0x7200 && MainRam(a) != 0; ++a) line.push_back(static_cast<char>(MainRam(a)));
    return line;
  }

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

  // Runs until the monitor waits at its prompt with every typed key taken:
  // the prompt is on the last line used, the key ring is empty and the sub
  // CPU edits a line, twice 10 ms apart (a RETURN just taken leaves the edit
  // for a moment before the monitor answers). The machine boots into the
  // BASIC: its "Ok" is answered with MON.
  bool WaitForPrompt(uint64_t limitMs = 3000) {
    const uint64_t end = Clock.Now() + limitMs;
    for (int seen = 0; Clock.Now() < end;) {
      seen = AtPrompt() ? seen + 1 : 0;
      if (seen == 2) return true;
      if (!KeysPending() && LastLine() == "Ok") Type("MON\n");
      RunMs(10);
    }
    return false;
  }

  // Types a command line and waits until it is done.
  bool Command(const std::string& line, uint64_t limitMs = 5000) {
    Type(line + "\n");
    RunMs(10);
    return WaitForPrompt(limitMs);
  }

  bool AtPrompt() const {
    const uint8_t* shared = State.SharedRam;
    return !KeysPending() && !State.KeyUnread() && shared[0x5E] == shared[0x5F] && shared[0] == 2 &&
           PromptIsLast();
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
