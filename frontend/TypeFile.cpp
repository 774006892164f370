// Text files typed in through the paste path.
#include "TypeFile.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// The largest file typed in: at 50 keys a second it takes a day.
constexpr uintmax_t MaxFileBytes = 4u << 20;

}  // namespace

bool IsFileToType(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return false;
  std::string ext = name.substr(dot);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return ext == ".bas" || ext == ".txt";
}

std::string TextFileToKeys(const std::string& text, std::vector<std::string>& warnings) {
  std::string keys;
  size_t line = 1, leftOut = 0;
  auto cannot = [&](uint32_t cp, bool utf8) {
    if (++leftOut > 10) return;
    char what[32];
    std::snprintf(what, sizeof what, utf8 ? "U+%04X" : "byte %02X", static_cast<unsigned>(cp));
    warnings.push_back("line " + std::to_string(line) + ": " + what + " cannot be typed; left out");
  };
  size_t i = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b == '\r' || b == '\n') {
      keys.push_back('\x0D');
      i += b == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
      ++line;
      continue;
    }
    // One UTF-8 sequence: its length from the lead byte, continuation bytes
    // 10xxxxxx, no overlong forms or surrogates.
    const size_t len = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    uint32_t cp = len == 1 ? b : len == 2 ? b & 0x1F : len == 3 ? b & 0x0F : b & 0x07;
    bool valid = len != 0 && i + len <= text.size();
    for (size_t k = 1; valid && k < len; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      valid = (c & 0xC0) == 0x80;
      cp = cp << 6 | (c & 0x3F);
    }
    static constexpr uint32_t MinOfLength[] = {0, 0, 0x80, 0x800, 0x10000};
    if (valid) valid = cp >= MinOfLength[len] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
    if (!valid) {
      cannot(b, false);
      ++i;
      continue;
    }
    i += len;
    if ((cp >= 0x20 && cp < 0x7F) || cp == '\t')
      keys.push_back(static_cast<char>(cp));
    else if (cp >= 0xFF61 && cp <= 0xFF9F)
      keys.push_back(static_cast<char>(cp - 0xFF61 + 0xA1));
    else if (cp == 0xA5)
      keys.push_back('\x5C');
    else if (cp == 0x203E)
      keys.push_back('\x7E');
    else
      cannot(cp, true);
  }
  if (!keys.empty() && keys.back() != '\x0D') keys.push_back('\x0D');
  if (leftOut > 10) warnings.push_back("and " + std::to_string(leftOut - 10) + " more characters left out");
  return keys;
}

std::string ReadFileToType(const std::string& path, std::string& keys, std::vector<std::string>& warnings) {
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return "cannot read " + path;
  if (size > MaxFileBytes) return path + " is too large to type (more than 4 MiB)";
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in && !in.eof()) return "cannot read " + path;
  keys = TextFileToKeys(text.str(), warnings);
  return {};
}
