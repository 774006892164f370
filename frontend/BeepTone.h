// The machine's beep as the emulator sounds it: a square-wave tone of its
// own (the machine's speaker only clicks on the beep register; a desktop's
// message beep is usually silent), the same in the window, which plays it,
// and in headless runs, which record it into a WAV file on machine time.
// A beep that comes while the tone still sounds starts the tone again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

inline constexpr int BeepSampleRate = 44100;  // samples a second of a recording
inline constexpr int BeepFrequency = 1200;    // Hz
inline constexpr int BeepMs = 200;
inline constexpr int BeepLevel = 6000;        // of 32767: a moderate level

// Sample i (from the tone's start) of the tone at the given sample rate:
// +1 in the first half of each period, -1 in the second.
int BeepSquare(uint64_t i, int sampleRate);
// The tone's length in samples at the given sample rate.
uint64_t BeepLength(int sampleRate);

// The beeps of a headless run, recorded on the run's machine time (in
// milliseconds from the start of the run) into a 44.1 kHz mono 16-bit WAV
// file that lasts as long as the run, or until the last tone ends.
class TBeepRecording {
 public:
  // A beep at machine time ms (never earlier than the one before). Beeps
  // in the same millisecond are one; past MaxBeeps (a program that beeps
  // for hours on end) beeps are no longer recorded, and Save warns.
  void Beep(uint64_t ms);
  static constexpr size_t MaxBeeps = 4'000'000;

  // Writes the file (replacing it whole, as the program writes any file).
  // Returns "" or why it failed. A run longer than a WAV file can hold
  // (about 13.5 hours) is cut at that length, and warning says so.
  std::string Save(const std::filesystem::path& path, uint64_t endMs, std::string& warning) const;

 private:
  std::vector<uint64_t> Starts;
  bool Dropped = false;
};
