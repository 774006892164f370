// The quillon program: the emulator's entry point. With --headless it runs
// the machine without a window (no GUI library is started at all, so it
// works without a display); the window itself is a separate part.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "Headless.h"

namespace {

void PrintUsage() {
  std::cout << "Quillon " QUILLON_VERSION " - an emulator of an 8-bit home computer with two 6809 CPUs\n\n"
            << "  quillon [IMAGE.vfd] [IMAGE.vtp]   the emulator window (not built yet)\n"
            << "  quillon --help | --version\n\n"
            << HeadlessUsage();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  bool headless = false;
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      PrintUsage();
      return 0;
    }
    if (a == "--version") {
      std::cout << "quillon " QUILLON_VERSION "\n";
      return 0;
    }
    headless |= a == "--headless";
  }
  if (!headless) {
    std::cerr << "quillon: the window is not built yet; use --headless (see --help)\n";
    return 1;
  }
  THeadlessOptions options;
  if (std::string error = ParseHeadlessArgs(args, options); !error.empty()) {
    std::cerr << "quillon: " << error << "\n";
    return 1;
  }
  return RunHeadless(options, std::cout, std::cerr);
}
