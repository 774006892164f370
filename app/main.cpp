// The quillon program: the emulator's entry point. With --headless it runs
// the machine without a window (no GUI library is started at all, so it
// works without a display); otherwise it opens the emulator window.
#include <QApplication>
#include <QIcon>
#include <csignal>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Dialogmenus.h"
#include "Headless.h"
#include "Language.h"
#include "Mainform.h"

namespace {

void PrintUsage() {
  std::cout << "Quillon " QUILLON_VERSION " - an emulator of an 8-bit home computer with two 6809 CPUs\n\n"
            << "  quillon [--firmware DIR] [IMAGE.vfd|.d88] [IMAGE.vtp]  the emulator window\n"
            << "  quillon --new-disk FILE           write a blank formatted disk (40 tracks, 2 sides,\n"
            << "                                    16 sectors of 256 bytes, the BASIC's empty\n"
            << "                                    directory): D88 when FILE ends in\n"
            << "                                    .d88, otherwise VFD; never replaces a file\n"
            << "  quillon --convert IN OUT          convert a disk image to OUT's format (.vfd, .d88)\n"
            << "  quillon --help | --version\n\n"
            << HeadlessUsage();
}

}  // namespace

int main(int argc, char** argv) {
  // A file growing past the user's file size limit is a failed write that
  // the program reports, not a reason to die in the middle of it.
  std::signal(SIGXFSZ, SIG_IGN);
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
  if (int exitCode = 0; RunDiskCommand(args, std::cout, std::cerr, exitCode)) return exitCode;
  if (!headless) {
    // Qt aborts when it finds no display; say what to do instead.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      std::cerr << "quillon: no display to open the window on; use --headless (see --help)\n";
      return 1;
    }
    TForm1Options options;
    for (size_t i = 0; i < args.size(); ++i) {
      if (args[i] != "--firmware") {
        options.Args.push_back(args[i]);
      } else if (i + 1 < args.size()) {
        options.FirmwareDir = args[++i];
      } else {
        std::cerr << "quillon: --firmware needs a value (see --help)\n";
        return 1;
      }
    }
    QApplication app(argc, argv);
    // The desktop entry's name lets a desktop match the window to its menu
    // entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quillon.Quillon"));
    QIcon icon;
    for (const char* size : {"32x32", "64x64", "256x256"})
      icon.addFile(QStringLiteral(":/icons/%1.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(icon);
    // The window is built in the language of the settings.
    UseLanguage(TForm1::StartLanguage(options));
    TForm1 form(options);
    new TDialogMenus(form);  // owned by the window
    form.show();
    form.FormCreate();
    return app.exec();
  }
  THeadlessOptions options;
  if (std::string error = ParseHeadlessArgs(args, options); !error.empty()) {
    std::cerr << "quillon: " << error << "\n";
    return 1;
  }
  return RunHeadless(options, std::cout, std::cerr);
}
