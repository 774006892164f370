// The headless run: one computer on a virtual clock, driven step by step.
#include "Headless.h"

#include <fcntl.h>
#include <iconv.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <iomanip>
#include <ostream>
#include <thread>

#include "BeepTone.h"
#include "Capture.h"
#include "CommandLine.h"
#include "Computer.h"
#include "FileReplace.h"
#include "FontGlyphs.h"
#include "Hosttimer.h"
#include "Locations.h"
#include "StateFile.h"
#include "TypeFile.h"
#include "core/PlainFile.h"

namespace {

// The message the program shows when a firmware image cannot be opened.
constexpr const char* RomErrorMessage = "ROMデータの読み込みに失敗しました。";

// The message of a tape write that failed (a full file system, say).
constexpr const char* TapeWriteFailedMessage = "仮想テープへの書き込みに失敗しました。";

constexpr uint64_t DefaultWaitMs = 10000;
// Typing gives up when the machine has taken no key for this long.
constexpr uint64_t TypeStallMs = 10000;

// The longest --run or --timeout: 24 hours of machine time.
constexpr uint64_t MaxMs = 86'400'000;

bool ParseCount(const std::string& s, uint64_t max, uint64_t& value) {
  if (s.empty()) return false;
  uint64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
    if (v > max) return false;  // also keeps v from overflowing
  }
  value = v;
  return true;
}

// The options that take a value, and those that take none.
bool TakesValue(const std::string& a) {
  for (const char* o : {"--firmware", "--boot", "--cpu-wait", "--run", "--type", "--type-file", "--paste", "--timeout",
                        "--wait-text", "--screenshot", "--save-state", "--load-state", "--bench", "--audio"})
    if (a == o) return true;
  return false;
}

bool ToCp932(const std::string& utf8, std::string& out) {
  bool ascii = true;
  for (char c : utf8) ascii &= static_cast<unsigned char>(c) < 0x80;
  if (ascii) {
    out += utf8;
    return true;
  }
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string in = utf8;
  char* src = in.data();
  size_t srcLeft = in.size();
  std::string buf(in.size() * 2 + 8, '\0');
  char* dst = buf.data();
  size_t dstLeft = buf.size();
  const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return false;
  out.append(buf.data(), buf.size() - dstLeft);
  return true;
}

}  // namespace

bool TextToMachineBytes(const std::string& text, std::string& bytes, std::string& error) {
  bytes.clear();
  std::string literal;
  auto flush = [&] {
    if (literal.empty()) return true;
    if (!ToCp932(literal, bytes)) {
      error = "text cannot be typed on this machine (only ASCII, katakana and Shift_JIS): " + literal;
      return false;
    }
    literal.clear();
    return true;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      literal.push_back(text[i]);
      continue;
    }
    if (!flush()) return false;
    if (i + 1 >= text.size()) {
      error = "a backslash ends the text; write \\\\ for a backslash";
      return false;
    }
    const char e = text[++i];
    switch (e) {
      case 'r':
      case 'n': bytes.push_back('\x0D'); break;
      case 't': bytes.push_back('\x09'); break;
      case 'e': bytes.push_back('\x1B'); break;
      case '\\': bytes.push_back('\\'); break;
      case 'x': {
        auto hex = [](char c) {
          return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        };
        if (i + 2 >= text.size() || hex(text[i + 1]) < 0 || hex(text[i + 2]) < 0) {
          error = "\\x needs two hexadecimal digits";
          return false;
        }
        bytes.push_back(static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2])));
        i += 2;
        break;
      }
      default:
        error = std::string("unknown escape \\") + e + " (known: \\r \\n \\t \\e \\\\ \\xHH)";
        return false;
    }
  }
  return flush();
}

const char* HeadlessUsage() {
  return R"(Usage: quillon --headless [options] [IMAGE.vfd] [IMAGE.vtp] [STATE.qst]

Runs the machine without a window on a virtual clock (the run loop's 1 ms
pause is 1 ms of machine time), so the same inputs give the same screen every
time. Disk images (.vfd, .d88) go into drive 0 and tape images (.vtp) into the
cassette deck, as on the normal command line; a save state (.qst) is loaded
after start-up, before the steps.

Set-up:
  --firmware DIR      read fb30rom1.dat, fb30rom2.dat, fb30sub.dat from DIR
                      (default: see Firmware below)
  --boot basic|dos    what a cold start boots (default: basic)
  --cpu-wait N        CPU speed setting 0-254 (default 240)
  --audio FILE        record the beeps into FILE, a 44.1 kHz mono WAV file on
                      machine time from the start of the run to its end: each
                      beep a 1.2 kHz square wave of 200 ms, started again by a
                      beep while it sounds (written at the end of the run)

Steps, carried out in the order given:
  --run MS            run for MS milliseconds of machine time (at most
                      86400000, 24 hours)
  --type TEXT         type TEXT through the paste path, one key per sub timer
                      period once the machine has read the last one, and run
                      until it is typed. Escapes: \r or \n Return, \t Tab,
                      \e Esc, \\ backslash, \xHH any code
  --type-file FILE    type the text file FILE the same way (a listing):
                      UTF-8, every line end (LF or CR LF) a Return. The
                      keyboard types ASCII, Tab and half-width katakana (and
                      the yen sign and overline as 5C and 7E); any other
                      character is left out with a warning naming its line.
                      Typing that stalls (no key read for 10 s) is an error.
  --paste TEXT        start typing TEXT the same way and go on with the next
                      step at once (the typing goes on while later steps run)
  --timeout MS        time limit of the --wait-text steps after it
                      (default 10000, at most 86400000)
  --wait-text TEXT    run until TEXT appears on the text screen (exit 2 if it
                      does not within the time limit)
  --screenshot FILE   save the screen as a 640x400 picture: PNG when FILE ends
                      in .png, else a bitmap (BMP)
  --print-screen      print the text screen to standard output
  --save-state FILE   save the whole machine to FILE (a Quillon state, .qst)
  --load-state FILE   load a state saved by --save-state or the window; the
                      machine goes on from there (images come back by path)

  --bench SECONDS     instead of the steps: run both CPUs unthrottled for
                      SECONDS of wall time and print instructions per second

Firmware: without --firmware the images are read from the first of these
folders that holds all three: the program's own folder;
$XDG_DATA_HOME/quillon/firmware (default ~/.local/share/quillon/firmware);
../share/quillon/firmware from the program's folder (the installed free
firmware).

Settings (the window's): QUILLON.INI in the program's folder when it is
writable and not an installed bin folder, else
$XDG_CONFIG_HOME/quillon/QUILLON.INI (default ~/.config/quillon/QUILLON.INI).

Exit status: 0 success, 2 an awaited text did not appear in time, 1 errors
(also a tape write that failed, reported at the end of the run).
)";
}

std::string ParseHeadlessArgs(const std::vector<std::string>& args, THeadlessOptions& o) {
  uint64_t timeout = DefaultWaitMs;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& v) {
      if (i + 1 >= args.size()) return false;
      v = args[++i];
      return true;
    };
    std::string v;
    if (a.empty() || a.front() != '-') {
      const TImageKind kind = ImageKindOf(a);
      if (kind == TImageKind::None) return "not a disk image (.vfd, .d88), tape image (.vtp) or state (.qst): " + a;
      if (kind == TImageKind::State)
        o.StateFile = a;
      else
        o.Images.push_back(a);
      continue;
    }
    if (a == "-") return "\"-\" is not an option, and images cannot come from standard input";
    if (a == "--") return "\"--\" is not an option; write an image whose name begins with - as ./-NAME";
    if (a == "--headless" || a == "--print-screen") {
      if (a == "--print-screen") o.Steps.push_back({THeadlessStep::TKind::PrintScreen, 0, {}});
      continue;
    }
    if (!TakesValue(a)) return "unknown option " + a + " (see --help)";
    if (!value(v)) return a + " needs a value (see --help)";
    if (a == "--firmware") {
      o.FirmwareDir = v;
    } else if (a == "--boot") {
      if (v == "basic" || v == "BASIC") o.BootMode = 0;
      else if (v == "dos" || v == "DOS") o.BootMode = 1;
      else return "--boot takes basic or dos, not " + v;
    } else if (a == "--cpu-wait") {
      uint64_t n;
      // 255 never pauses, and so would stop the virtual clock.
      if (!ParseCount(v, 254, n)) return "--cpu-wait takes a number from 0 to 254, not " + v;
      o.CpuWait = static_cast<int>(n);
    } else if (a == "--run") {
      uint64_t n;
      if (!ParseCount(v, MaxMs, n)) return "--run takes milliseconds up to 86400000 (24 hours), not " + v;
      o.Steps.push_back({THeadlessStep::TKind::Run, n, {}});
    } else if (a == "--timeout") {
      if (!ParseCount(v, MaxMs, timeout))
        return "--timeout takes milliseconds up to 86400000 (24 hours), not " + v;
    } else if (a == "--type" || a == "--paste" || a == "--wait-text") {
      std::string bytes, error;
      if (!TextToMachineBytes(v, bytes, error)) return a + ": " + error;
      if (a != "--wait-text") {
        o.Steps.push_back({a == "--type" ? THeadlessStep::TKind::Type : THeadlessStep::TKind::Paste, 0, bytes});
      } else {
        if (bytes.empty()) return "--wait-text needs a text that is not empty";
        o.Steps.push_back({THeadlessStep::TKind::WaitText, timeout, bytes});
      }
    } else if (a == "--type-file") {
      std::string keys;
      std::vector<std::string> warnings;
      if (std::string e = ReadFileToType(v, keys, warnings); !e.empty()) return "--type-file: " + e;
      o.Steps.push_back({THeadlessStep::TKind::Type, 0, keys});
      for (const std::string& w : warnings) o.Warnings.push_back(v + ": " + w);
    } else if (a == "--screenshot") {
      if (v.empty()) return "--screenshot needs a file name";
      o.Steps.push_back({THeadlessStep::TKind::Screenshot, 0, v});
    } else if (a == "--save-state" || a == "--load-state") {
      if (v.empty()) return a + " needs a file name";
      o.Steps.push_back({a == "--save-state" ? THeadlessStep::TKind::SaveState : THeadlessStep::TKind::LoadState, 0, v});
    } else if (a == "--audio") {
      if (v.empty()) return "--audio needs a file name";
      o.AudioFile = v;
    } else if (a == "--bench") {
      char* end = nullptr;
      errno = 0;
      const double s = std::strtod(v.c_str(), &end);
      if (end == v.c_str() || *end != '\0' || errno != 0 || !(s > 0) || s > 3600)
        return "--bench takes seconds (more than 0, at most 3600), not " + v;
      o.BenchSeconds = s;
    }
  }
  return {};
}

namespace {

// The machine's host in a headless run: kanji drawn in the window's font
// (blank when it is not installed), and the beeps recorded on the virtual
// clock when the run records them.
class THeadlessHost : public THostServices {
 public:
  explicit THeadlessHost(const TVirtualClock& clock) : Clock(clock) {}
  void Beep() override {
    if (Recording) Recording->Beep(Clock.Now());
  }
  void DrawGlyph(uint16_t sjis, uint8_t bitmap[32]) override { Glyphs.Draw(sjis, bitmap); }
  TBeepRecording* Recording = nullptr;

 private:
  const TVirtualClock& Clock;
  TFontGlyphs Glyphs;
};

// The host side of a headless run: frames not drawn, paste steps taken at
// once.
class THeadlessRunner : public TTimerWindow {
 public:
  explicit THeadlessRunner(const THeadlessOptions& o) : Options(o), Host(Clock), C(Host, Clock, *this, o.FirmwareDir) {
    if (!o.AudioFile.empty()) Host.Recording = &Beeps;
  }

  bool PasteInProgress() const override { return C.Keyboard.PasteInProgress(); }
  void PostFlip() override { C.Timer.FlipPending = false; }
  void PostPasteChar() override { C.Keyboard.PasteStep(); }

  int Run(std::ostream& out, std::ostream& err);
  int RunSteps(std::ostream& out, std::ostream& err);
  int Bench(std::ostream& out, std::ostream& err);

 private:
  const THeadlessOptions& Options;
  TVirtualClock Clock;
  TBeepRecording Beeps;
  THeadlessHost Host;
  TComputer C;
  uint64_t NextTick = 0;

  bool SetUp(std::ostream& err);
  // Runs until the clock reaches untilMs or done() says so (asked every
  // 10 ms of machine time). Returns whether done() said so.
  template <class Done>
  bool RunUntil(uint64_t untilMs, Done done);
  bool ScreenShows(const std::string& text) const;
  bool SaveState(const std::string& path, std::ostream& err);
  bool LoadState(const std::string& path, std::ostream& err);
};

bool THeadlessRunner::SetUp(std::ostream& err) {
  if (C.RomError()) {
    err << "quillon: " << RomErrorMessage << "\n";
    return false;
  }
  C.State.CpuWait.store(Options.CpuWait);
  C.State.BootMode.store(Options.BootMode);
  for (const std::string& path : Options.Images) {
    MountImage(path, C.Drives, C.ImageNames);
    const bool ok = ImageKindOf(path) == TImageKind::Disk ? C.Drives.DiskMounted(0) : C.Drives.TapeMounted();
    if (!ok) {
      // Asked again for the reason; both kinds of image are opened read-write.
      int why = 0;
      const int fd = OpenPlainFile(path, O_RDWR, &why);
      if (fd >= 0) ::close(fd);
      err << "quillon: cannot open the image " << path;
      if (fd < 0) err << " (" << OpenFailureText(why) << ")";
      err << "\n";
      return false;
    }
  }
  TSettings timing;  // default timer periods
  C.Timer.StartTimer(timing, static_cast<uint32_t>(Clock.Now()));
  NextTick = Clock.Now() + C.Timer.Resolution();
  Clock.OnMillisecond = [this](uint64_t now) {
    if (now < NextTick) return;
    C.Timer.TimerTick(static_cast<uint32_t>(now));
    NextTick += C.Timer.Resolution();
  };
  C.Thread.ResetMachine(false);
  return true;
}

template <class Done>
bool THeadlessRunner::RunUntil(uint64_t untilMs, Done done) {
  uint64_t nextCheck = Clock.Now();
  while (Clock.Now() < untilMs) {
    if (Clock.Now() >= nextCheck) {
      if (done()) return true;
      nextCheck = Clock.Now() + 10;
    }
    C.Thread.RunPasses(64);  // about a quarter of a millisecond
  }
  return done();
}

bool THeadlessRunner::ScreenShows(const std::string& text) const {
  return CopyTextScreen(*C.Thread.Scpu).find(text) != std::string::npos;
}

bool THeadlessRunner::SaveState(const std::string& path, std::ostream& err) {
  TFrontState front;
  front.TickDueMs = static_cast<uint32_t>(std::min<uint64_t>(NextTick - Clock.Now(), 1000));
  const TStateError e = SaveComputerStateFile(C, front, static_cast<uint32_t>(Clock.Now()), path);
  if (e == TStateError::None) return true;
  err << "quillon: " << path << ": " << StateErrorText(e, false) << "\n";
  return false;
}

bool THeadlessRunner::LoadState(const std::string& path, std::ostream& err) {
  const TStateLoad l = LoadComputerStateFile(C, path, static_cast<uint32_t>(Clock.Now()));
  if (l.Error != TStateError::None) {
    err << "quillon: " << path << ": " << StateErrorText(l.Error, false) << "\n";
    return false;
  }
  for (const TStateNote& n : l.Notes) err << "quillon: " << path << ": " << StateNoteText(n, false) << "\n";
  NextTick = Clock.Now() + l.Front.TickDueMs;
  return true;
}

int THeadlessRunner::Run(std::ostream& out, std::ostream& err) {
  for (const std::string& w : Options.Warnings) err << w << "\n";
  if (!SetUp(err)) return HeadlessError;
  if (!Options.AudioFile.empty()) {
    // Said before the run, not after it.
    std::filesystem::path target;
    std::string why = ResolveWriteTarget(Options.AudioFile, target);
    if (why.empty()) why = CheckReplaceable(target);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    if (why.empty() && !std::filesystem::is_directory(folder)) why = "no such folder";
    if (!why.empty()) {
      err << "quillon: " << Options.AudioFile << ": " << why << "\n";
      return HeadlessError;
    }
  }
  if (!Options.StateFile.empty() && !LoadState(Options.StateFile, err)) return HeadlessError;
  int status = RunSteps(out, err);
  // The recording lasts until the steps end, also steps that failed.
  if (!Options.AudioFile.empty()) {
    std::string warning;
    if (std::string e = Beeps.Save(Options.AudioFile, Clock.Now(), warning); !e.empty()) {
      err << "quillon: " << Options.AudioFile << ": " << e << "\n";
      status = HeadlessError;
    } else if (!warning.empty()) {
      err << "quillon: " << Options.AudioFile << ": " << warning << "\n";
    }
  }
  // The firmware cannot hear of a failed tape write; the run's end says it.
  if (C.State.Vtp.TakeWriteFailure()) {
    err << "quillon: " << TapeWriteFailedMessage << "\n";
    if (status == HeadlessOk) status = HeadlessError;
  }
  return status;
}

int THeadlessRunner::RunSteps(std::ostream& out, std::ostream& err) {
  for (const THeadlessStep& s : Options.Steps) {
    switch (s.Kind) {
      case THeadlessStep::TKind::Run:
        RunUntil(Clock.Now() + s.Ms, [] { return false; });
        break;
      case THeadlessStep::TKind::Type: {
        if (s.Text.empty()) break;
        C.Keyboard.StartPaste(s.Text);
        // One byte per sub timer period at most, and only once the machine
        // has read the one before: typing goes on as long as it moves.
        size_t left = C.Keyboard.PasteLeft();
        uint64_t lastMove = Clock.Now();
        const bool typed = RunUntil(UINT64_MAX, [&] {
          if (C.Keyboard.PasteLeft() != left) {
            left = C.Keyboard.PasteLeft();
            lastMove = Clock.Now();
          }
          return !C.Keyboard.PasteInProgress() || Clock.Now() - lastMove >= TypeStallMs;
        });
        if (!typed || C.Keyboard.PasteInProgress()) {
          C.Keyboard.StopPaste();
          err << "typing stalled: the machine read no key for " << TypeStallMs / 1000 << " s; " << left
              << " characters were not typed\n";
          return HeadlessError;
        }
        break;
      }
      case THeadlessStep::TKind::Paste:
        C.Keyboard.StartPaste(s.Text);
        break;
      case THeadlessStep::TKind::SaveState:
        if (!SaveState(s.Text, err)) return HeadlessError;
        break;
      case THeadlessStep::TKind::LoadState:
        if (!LoadState(s.Text, err)) return HeadlessError;
        break;
      case THeadlessStep::TKind::WaitText:
        if (!RunUntil(Clock.Now() + s.Ms, [&] { return ScreenShows(s.Text); })) {
          std::string shown = TextScreenToUtf8(s.Text);
          if (!shown.empty() && shown.back() == '\n') shown.pop_back();
          err << "quillon: the text \"" << shown << "\" did not appear within " << s.Ms << " ms\n";
          return HeadlessTextNotSeen;
        }
        break;
      case THeadlessStep::TKind::Screenshot:
        if (std::string e = SavePicture(CaptureScreen(C.State), s.Text); !e.empty()) {
          err << "quillon: " << s.Text << ": " << e << "\n";
          return HeadlessError;
        }
        break;
      case THeadlessStep::TKind::PrintScreen:
        out << TextScreenToUtf8(CopyTextScreen(*C.Thread.Scpu)) << std::flush;
        break;
    }
  }
  return HeadlessOk;
}

int THeadlessRunner::Bench(std::ostream& out, std::ostream& err) {
  if (!SetUp(err)) return HeadlessError;
  Host.Recording = nullptr;  // no machine time to record on
  Clock.OnMillisecond = nullptr;
  C.State.CpuWait.store(255);  // never pause
  // The timer schedules on real time, from a thread of their own, as in
  // the window, so the firmware sees its interrupts.
  THostTimer timer;
  const uint64_t passes0 = C.Thread.PassCount(), subPasses0 = C.Thread.SubPassCount();
  const auto t0 = std::chrono::steady_clock::now();
  C.Timer.StartTimer(TSettings{}, THostTimer::NowMs());
  timer.Start(C.Timer.Resolution(), [this](uint32_t now) { C.Timer.TimerTick(now); });
  C.Thread.Start();
  std::this_thread::sleep_for(std::chrono::duration<double>(Options.BenchSeconds));
  C.Thread.Terminate();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  timer.Stop();
  // Each pass steps the main CPU three times, and the sub CPU three times
  // unless the main CPU holds it halted. A CPU waiting in SYNC or CWAI
  // counts its idle steps too.
  const double passes = static_cast<double>(C.Thread.PassCount() - passes0);
  const double subPasses = static_cast<double>(C.Thread.SubPassCount() - subPasses0);
  out << std::fixed << std::setprecision(0) << "seconds: " << std::setprecision(2) << seconds << "\n"
      << std::setprecision(0) << "passes/s: " << passes / seconds << "\n"
      << "main CPU instructions/s: " << 3 * passes / seconds << "\n"
      << "sub CPU instructions/s: " << 3 * subPasses / seconds << "\n";
  return HeadlessOk;
}

}  // namespace

int RunHeadless(const THeadlessOptions& given, std::ostream& out, std::ostream& err) {
  THeadlessOptions options = given;
  const std::vector<std::filesystem::path> folders =
      FirmwareFolders(TMcpuThread::ExecutableDirectory(), given.FirmwareDir, TLocationEnv::FromProcess());
  const auto found = FindFirmware(folders);
  if (!found) {
    err << "quillon: " << RomErrorMessage << " (fb30rom1.dat, fb30rom2.dat and fb30sub.dat are not all in: "
        << JoinFolders(folders) << ")\n";
    return HeadlessError;
  }
  options.FirmwareDir = found->string();
  auto runner = std::make_unique<THeadlessRunner>(options);
  return options.BenchSeconds > 0 ? runner->Bench(out, err) : runner->Run(out, err);
}
