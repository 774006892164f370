// The settings file: reading the settings with their defaults, and
// writing them back into the file without disturbing anything else in it.
#include "Settings.h"

#include "FileReplace.h"
#include "RecentFiles.h"
#include "core/PlainFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x -= 32;
    if (y >= 'a' && y <= 'z') y -= 32;
    if (x != y) return false;
  }
  return true;
}

// A line "[name]" gives name; any other line gives nullopt.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

// A line "key=value" (not a comment) gives key and value.
std::optional<std::pair<std::string_view, std::string_view>> Entry(std::string_view line) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
  size_t eq = t.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return std::pair{Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))};
}

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return std::min(std::max(v, lo), hi); }

}  // namespace

std::optional<int32_t> ParseDecimal(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
    if (v > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(v);
}

TIniFile::TIniFile(std::string text) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    TLine line;
    if (end == std::string::npos) {
      line.Body = text.substr(pos);
      pos = text.size();
    } else {
      line.Body = text.substr(pos, end - pos);
      if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
        line.End = "\r\n";
        pos = end + 2;
      } else {
        line.End = std::string(1, text[end]);
        pos = end + 1;
      }
    }
    Lines.push_back(std::move(line));
  }
}

std::string TIniFile::Text() const {
  std::string out;
  for (const TLine& l : Lines) out += l.Body + l.End;
  return out;
}

std::string TIniFile::NewLineStyle() const {
  for (const TLine& l : Lines)
    if (!l.End.empty()) return l.End;
  return "\n";
}

std::optional<std::pair<size_t, size_t>> TIniFile::FindSection(std::string_view section) const {
  for (size_t i = 0; i < Lines.size(); ++i) {
    std::string_view body = Lines[i].Body;
    // A byte order mark some editors write stays in the file; it is only
    // looked past here.
    if (i == 0 && body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);
    auto name = SectionName(body);
    if (!name || !SameName(*name, section)) continue;
    size_t last = i + 1;
    while (last < Lines.size() && !SectionName(Lines[last].Body)) ++last;
    return std::pair{i + 1, last};
  }
  return std::nullopt;
}

std::optional<std::string> TIniFile::Value(std::string_view section, std::string_view key) const {
  auto range = FindSection(section);
  if (!range) return std::nullopt;
  for (size_t i = range->first; i < range->second; ++i) {
    auto e = Entry(Lines[i].Body);
    if (!e || !SameName(e->first, key)) continue;
    std::string_view v = e->second;
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return std::string(v);
  }
  return std::nullopt;
}

void TIniFile::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  std::string entry = std::string(key) + "=" + std::string(value);
  std::string nl = NewLineStyle();
  auto range = FindSection(section);
  if (!range) {
    // A new section goes at the end, after the file's last line is ended.
    if (!Lines.empty() && Lines.back().End.empty()) Lines.back().End = nl;
    std::string header = "[";  // built piecewise: GCC 12 warns wrongly on "[" + string
    header.append(section);
    header.push_back(']');
    Lines.push_back({std::move(header), nl});
    Lines.push_back({entry, nl});
    return;
  }
  size_t lastEntry = range->first;  // insert after the header if no entries
  for (size_t i = range->first; i < range->second; ++i) {
    auto e = Entry(Lines[i].Body);
    if (!e) continue;
    if (SameName(e->first, key)) {
      Lines[i].Body = entry;
      return;
    }
    lastEntry = i + 1;
  }
  // The new key follows the section's last entry, so blank lines and
  // comments that separate it from the next section stay where they are.
  if (lastEntry > 0 && Lines[lastEntry - 1].End.empty()) Lines[lastEntry - 1].End = nl;
  Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(lastEntry), TLine{entry, nl});
}

void ClampSettings(TSettings& s) {
  if (s.FlipFreq < 1) s.FlipFreq = 1;
  s.SubNmi = Clamp(s.SubNmi, 10, 50);
  s.McpuIrq = Clamp(s.McpuIrq, 100, 500);
  s.DspMode = Clamp(s.DspMode, 0, 1);
}

namespace {

// Reads a whole file. nullopt when it cannot be read or is not a plain file
// (a FIFO would block the read for ever); an empty string for a file that
// does not exist (exists is then false).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, bool& exists) {
  int why = 0;
  const int fd = OpenPlainFile(file.string(), O_RDONLY, &why);
  exists = !(fd < 0 && why == ENOENT);
  if (fd < 0) return exists ? std::nullopt : std::optional<std::string>(std::string());
  std::string text;
  char buf[4096];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    text.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return text;
}

}  // namespace

TSettings ReadSettings(const std::filesystem::path& file) {
  TSettings s;
  bool exists = false;
  auto text = ReadWholeFile(file, exists);
  if (!text) return s;
  TIniFile ini(std::move(*text));
  auto integer = [&](const char* key, int32_t def) {
    auto v = ini.Value(SettingsSection, key);
    if (!v) return def;
    return ParseDecimal(*v).value_or(def);
  };
  s.CpuWait = static_cast<uint8_t>(integer("CpuWait", 240) & 0xFF);
  s.FlipFreq = integer("FlipFreq", 30);
  s.SubNmi = integer("SubNmi", 20);
  s.McpuIrq = integer("McpuIrq", 203);
  s.KeyCh_ESC = integer("KeyCh_ESC", 1) != 0;
  s.KeyByChar = integer("KeyByChar", 0) != 0;
  s.BootMode = integer("BootMode", 0);
  s.DspMode = integer("DspMode", 0);
  s.Beep = integer("Beep", 1) != 0;
  // Another language, or a name in another case, is the default.
  if (SameName(ini.Value(SettingsSection, "Language").value_or(""), "en")) s.Language = "en";
  s.Smooth = integer("Smooth", 0) != 0;
  for (size_t i = 1; i <= RecentCapacity; ++i) {
    auto v = ini.Value(SettingsSection, "Recent" + std::to_string(i));
    if (v && StorableRecentPath(*v) &&
        std::find(s.Recent.begin(), s.Recent.end(), *v) == s.Recent.end())
      s.Recent.push_back(*v);
  }
  ClampSettings(s);
  return s;
}

bool WriteSettings(const std::filesystem::path& given, const TSettings& s) {
  // Through a symbolic link to the file it names (created if need be), so
  // the link stays; a read-only file or one that is not a plain file is left
  // alone, as is one that could not be read.
  std::filesystem::path file;
  if (!ResolveWriteTarget(given, file).empty() || !CheckReplaceable(file).empty()) return false;
  bool exists = false;
  auto text = ReadWholeFile(file, exists);
  if (!text) return false;
  TIniFile ini(std::move(*text));
  ini.SetValue(SettingsSection, "CpuWait", std::to_string(s.CpuWait));
  ini.SetValue(SettingsSection, "FlipFreq", std::to_string(s.FlipFreq));
  ini.SetValue(SettingsSection, "SubNmi", std::to_string(s.SubNmi));
  ini.SetValue(SettingsSection, "McpuIrq", std::to_string(s.McpuIrq));
  ini.SetValue(SettingsSection, "KeyCh_ESC", s.KeyCh_ESC ? "1" : "0");
  ini.SetValue(SettingsSection, "KeyByChar", s.KeyByChar ? "1" : "0");
  ini.SetValue(SettingsSection, "BootMode", std::to_string(s.BootMode));
  ini.SetValue(SettingsSection, "DspMode", std::to_string(s.DspMode));
  ini.SetValue(SettingsSection, "Beep", s.Beep ? "1" : "0");
  ini.SetValue(SettingsSection, "Language", s.Language == "en" ? "en" : "ja");
  ini.SetValue(SettingsSection, "Smooth", s.Smooth ? "1" : "0");
  for (size_t i = 1; i <= RecentCapacity; ++i) {
    const std::string key = "Recent" + std::to_string(i);
    std::string v = i <= s.Recent.size() ? s.Recent[i - 1] : std::string();
    // Blanks or quotes at either end would be taken off when read back; a
    // pair of quotes around the path keeps them.
    if (!v.empty() && (IsBlank(v.front()) || IsBlank(v.back()) || v.front() == '"' || v.back() == '"'))
      v = '"' + v + '"';
    if (!v.empty() || ini.Value(SettingsSection, key)) ini.SetValue(SettingsSection, key, v);
  }
  return ReplaceFile(file, ini.Text()).empty();
}
