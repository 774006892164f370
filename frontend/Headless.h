// Running the computer without a window. The run loop is driven on the
// caller's thread and its 1 ms pauses advance a virtual clock on which the
// timer schedules run, so the same firmware, images and typed text give the
// same screen every time. A run is a list of steps taken in order: run for a
// while, type text through the paste path, wait for a text on the text
// screen, save the screen picture, print the text screen, save the state or
// load one.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

struct THeadlessStep {
  enum class TKind { Run, Type, Paste, WaitText, Screenshot, PrintScreen, SaveState, LoadState };
  TKind Kind;
  uint64_t Ms = 0;   // Run: how long; WaitText: the time limit
  // Type, Paste, WaitText: machine bytes; Screenshot, SaveState, LoadState: a path
  std::string Text;
};

struct THeadlessOptions {
  std::vector<std::string> Warnings;  // said on standard error before the run
  std::string FirmwareDir;          // empty: searched (Locations.h)
  std::vector<std::string> Images;  // ".vfd" to drive 0, ".vtp" to the tape
  std::string StateFile;            // ".qst": loaded after start-up, before the steps
  int BootMode = 0;
  int CpuWait = 240;
  std::vector<THeadlessStep> Steps;
  double BenchSeconds = 0;  // > 0: measure speed instead of the steps
  std::string AudioFile;    // --audio: the beeps recorded into this WAV file
};

// Exit statuses.
enum : int { HeadlessOk = 0, HeadlessError = 1, HeadlessTextNotSeen = 2 };

// Parses the arguments that follow --headless. Returns "" or a message
// saying what is wrong.
std::string ParseHeadlessArgs(const std::vector<std::string>& args, THeadlessOptions& options);

// The options' help text.
const char* HeadlessUsage();

// Text given on the command line as machine bytes: UTF-8 converted to the
// machine's character set (ASCII and half-width katakana; other characters
// as Shift_JIS), with the escapes \r and \n (Return, 0D), \t (09), \e (1B),
// \\ and \xHH. Returns false with a message when the text cannot be
// converted.
bool TextToMachineBytes(const std::string& text, std::string& bytes, std::string& error);

// Runs the steps (or the speed measurement). Messages go to err, the text
// screen and measurements to out.
int RunHeadless(const THeadlessOptions& options, std::ostream& out, std::ostream& err);
