// The recent-images list.
#include "RecentFiles.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>

namespace {

// Well-formed UTF-8 without control characters (a line break would end the
// settings line; the others are no part of a path anyone typed).
bool PlainUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x20 || c == 0x7F) return false;
    size_t n = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 4;
    if (n == 4 || (n == 1 && c < 0xC2) || (n > 0 && i + n >= s.size())) return false;
    uint32_t code = n == 0 ? c : c & (0x3F >> n);
    for (size_t k = 1; k <= n; ++k) {
      const auto t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      code = code << 6 | (t & 0x3F);
    }
    // Overlong forms, surrogates and values past the last code point.
    if ((n == 2 && code < 0x800) || (n == 3 && code < 0x10000) || code > 0x10FFFF ||
        (code >= 0xD800 && code <= 0xDFFF))
      return false;
    i += n + 1;
  }
  return true;
}

}  // namespace

bool StorableRecentPath(std::string_view path) {
  return !path.empty() && path.front() == '/' && PlainUtf8(path);
}

void AddRecent(std::vector<std::string>& list, const std::string& path) {
  std::error_code ec;
  const std::string full = std::filesystem::absolute(path, ec).lexically_normal().string();
  if (ec || !StorableRecentPath(full)) return;
  RemoveRecent(list, full);
  list.insert(list.begin(), full);
  if (list.size() > RecentCapacity) list.resize(RecentCapacity);
}

bool RemoveRecent(std::vector<std::string>& list, const std::string& path) {
  const auto it = std::find(list.begin(), list.end(), path);
  if (it == list.end()) return false;
  list.erase(it);
  return true;
}

bool RecentIsTape(std::string_view path) {
  if (path.size() < 4) return false;
  std::string ext(path.substr(path.size() - 4));
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".vtp";
}
