// The emulator's settings file: "QUILLON.INI" beside the program, section
// "T1_SETTING", whose keys govern CPU speed, screen refresh, the two
// timer interrupt periods, the Esc key mapping, the boot mode, the display
// mode, the beep, the window's language, its smoothing (Smooth) and the
// recent images (Recent1-Recent8, see RecentFiles.h).
//
// The file is a Windows-style private-profile file. Section and key names
// compare without case; when the settings are written, every other section,
// key, comment and blank line stays exactly as it was, and the file is
// replaced in one step (a temporary file renamed over it) so a failed write
// never leaves a damaged file behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The settings with their defaults.
struct TSettings {
  uint8_t CpuWait = 240;   // run loop sleeps 1 ms every CpuWait + 2 passes
  int32_t FlipFreq = 30;   // frames per second, 1-60
  int32_t SubNmi = 20;     // sub CPU timer NMI period, ms, 10-50
  int32_t McpuIrq = 203;   // main CPU timer IRQ period, 1/100 ms, 100-500
  bool KeyCh_ESC = true;   // Esc is BREAK, half-width/full-width is Esc
  bool KeyByChar = false;  // symbols typed as the host layout gives them
  int32_t BootMode = 0;    // 0 BASIC, otherwise DOS
  int32_t DspMode = 0;     // 0 window, 1 full screen
  bool Beep = true;        // the window sounds the beep
  std::string Language = "ja";  // the window's language: "ja" or "en"
  bool Smooth = false;     // shrunk pictures drawn with smoothing
  std::vector<std::string> Recent;  // recent images, newest first

  bool operator==(const TSettings&) const = default;
};

inline constexpr const char* SettingsFileName = "QUILLON.INI";
inline constexpr const char* SettingsSection = "T1_SETTING";

// Values that the rest of the program cannot work with (a frame rate of 0
// divides by zero; timer periods or a display mode the dialogs cannot show)
// are brought into the ranges the settings dialogs offer.
void ClampSettings(TSettings& s);

// Reads the settings; a missing or unreadable file (or one that is not a
// plain file), section or key, or a value that is not a decimal number, gives the default.
TSettings ReadSettings(const std::filesystem::path& file);

// Writes the keys into the settings section, leaving the rest of the file
// alone; a RecentN key is written only when it has a path or is already
// there (emptied). A symbolic link is written through to the file it names.
// Returns false (and leaves any existing file untouched) when the file
// exists but cannot be read, is read-only or not a plain file, or the new
// file cannot be written.
bool WriteSettings(const std::filesystem::path& file, const TSettings& s);

// A private-profile file held in memory as its raw lines. Lines keep their
// own terminators, so a file written back after SetValue differs from the one
// read only in the line that was set (or the lines that were added).
class TIniFile {
 public:
  TIniFile() = default;
  explicit TIniFile(std::string text);

  // The value of key in section, with surrounding blanks removed and one
  // pair of enclosing double quotes dropped; nullopt if there is none.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;

  // Sets key in section: replaces the first existing entry, or adds the key
  // after the section's last entry, or adds the section at the end.
  void SetValue(std::string_view section, std::string_view key, std::string_view value);

  std::string Text() const;

 private:
  struct TLine {
    std::string Body;  // without the terminator
    std::string End;   // "\n", "\r\n", "\r" or "" for an unterminated last line
  };
  std::vector<TLine> Lines;

  std::string NewLineStyle() const;
  // Index range [first, last) of the lines that belong to section (after its
  // header); nullopt if the section does not exist.
  std::optional<std::pair<size_t, size_t>> FindSection(std::string_view section) const;
};

// Integer parsing with the settings file's rules: optional blanks, an
// optional sign and decimal digits that fit in 32 bits, nothing else.
std::optional<int32_t> ParseDecimal(std::string_view text);
