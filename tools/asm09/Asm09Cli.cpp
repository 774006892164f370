// asm09: the command-line face of the 6809 assembler. Builds the firmware
// images: assembles one source file and writes a raw binary of an address
// range, a listing and a symbol file. On any error nothing is written.
//
//   asm09 [-I dir]... [-o out.bin --from ADDR --to ADDR [--fill BYTE]]
//         [--list file] [--symbols file] source.asm
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>

#include "Asm09.h"

namespace {

int Usage(const char* message) {
  std::cerr << "asm09: " << message << "\n"
            << "usage: asm09 [-I dir]... [-o out.bin --from ADDR --to ADDR [--fill BYTE]]\n"
               "             [--list file] [--symbols file] source.asm\n";
  return 2;
}

// Reads a number in C hex (0x..), $ hex or decimal; false if malformed or
// above max.
bool ParseNumber(const std::string& s, unsigned long max, unsigned long* out) {
  std::string digits = s;
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits = digits.substr(2);
    base = 16;
  } else if (digits.size() > 1 && digits[0] == '$') {
    digits = digits.substr(1);
    base = 16;
  }
  if (digits.empty() || digits.size() > 8) return false;
  char* end = nullptr;
  errno = 0;
  unsigned long v = std::strtoul(digits.c_str(), &end, base);
  if (errno != 0 || *end != '\0' || digits[0] == '-' || digits[0] == '+' || v > max) return false;
  *out = v;
  return true;
}

// Writes a whole file through a temporary beside it and a rename, so a
// reader never sees half a file and a failure leaves no file behind.
bool WriteFileAtomic(const std::string& path, const void* data, size_t size) {
  std::string tmp = path + ".tmp." + std::to_string(getpid());
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(static_cast<const char*>(data), std::streamsize(size));
    out.flush();
    if (!out) {
      out.close();
      std::remove(tmp.c_str());
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    std::remove(tmp.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  asm09::Options options;
  std::string outPath, listPath, symPath, source;
  unsigned long from = 0, to = 0, fill = 0xFF;
  bool haveFrom = false, haveTo = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](const char* what) -> const char* {
      if (i + 1 >= argc) return nullptr;
      (void)what;
      return argv[++i];
    };
    if (a == "-I" || a == "-o" || a == "--from" || a == "--to" || a == "--fill" ||
        a == "--list" || a == "--symbols") {
      const char* v = value(a.c_str());
      if (!v) return Usage((a + " needs a value").c_str());
      if (a == "-I") options.includeDirs.push_back(v);
      else if (a == "-o") outPath = v;
      else if (a == "--list") listPath = v;
      else if (a == "--symbols") symPath = v;
      else if (a == "--from") {
        if (!ParseNumber(v, 0xFFFF, &from)) return Usage("bad --from address");
        haveFrom = true;
      } else if (a == "--to") {
        if (!ParseNumber(v, 0x10000, &to)) return Usage("bad --to address");
        haveTo = true;
      } else if (!ParseNumber(v, 0xFF, &fill)) {
        return Usage("bad --fill byte");
      }
    } else if (a.size() > 2 && a.compare(0, 2, "-I") == 0) {
      options.includeDirs.push_back(a.substr(2));
    } else if (!a.empty() && a[0] == '-') {
      return Usage(("unknown option " + a).c_str());
    } else if (source.empty()) {
      source = a;
    } else {
      return Usage("only one source file");
    }
  }
  if (source.empty()) return Usage("no source file");
  if (!outPath.empty() && (!haveFrom || !haveTo)) return Usage("-o needs --from and --to");
  if ((haveFrom || haveTo) && outPath.empty()) return Usage("--from and --to need -o");
  if (haveFrom && haveTo && to <= from) return Usage("--to must be above --from");

  asm09::Result r = asm09::AssembleFile(source, options);
  if (!r.ok) {
    std::cerr << r.ErrorText();
    return 1;
  }
  if (!outPath.empty()) {
    std::vector<uint8_t> bytes = r.Bytes(uint32_t(from), uint32_t(to), uint8_t(fill));
    if (!WriteFileAtomic(outPath, bytes.data(), bytes.size())) {
      std::cerr << outPath << ": cannot write\n";
      return 1;
    }
  }
  if (!listPath.empty() && !WriteFileAtomic(listPath, r.listing.data(), r.listing.size())) {
    std::cerr << listPath << ": cannot write\n";
    return 1;
  }
  if (!symPath.empty()) {
    std::string text = r.SymbolText();
    if (!WriteFileAtomic(symPath, text.data(), text.size())) {
      std::cerr << symPath << ": cannot write\n";
      return 1;
    }
  }
  return 0;
}
