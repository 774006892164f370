// A main window started as the program starts it, on a program directory of
// its own (a copy of the free firmware, its own settings file), with the
// desktop's message boxes replaced by a record of what they would say.
#pragma once

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "MachineLink.h"
#include "Mainform.h"

inline void Settle(int rounds = 5) {
  for (int i = 0; i < rounds; ++i) QApplication::processEvents();
}

// Runs the event loop until done() or the time is up; true if done.
inline bool RunUntil(const std::function<bool()>& done, int ms = 5000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

// The machine's text screen, read between two passes of the emulation thread.
inline std::string TextScreen(TForm1& form) {
  if (!form.Computer) return {};
  TMcpuThread& t = form.Computer->Thread;
  bool rest = t.Running();
  if (rest) t.Suspend();
  std::string text = CopyTextScreen(*t.Scpu);
  if (rest) t.Resume();
  return text;
}

struct TRunningForm {
  QTemporaryDir Dir;
  std::unique_ptr<TForm1> Form;
  QStringList Messages;

  // withFirmware: copy the three images; ini: the settings file's text.
  explicit TRunningForm(bool withFirmware = true, const QByteArray& ini = {},
                        std::vector<std::string> args = {}, bool start = true) {
    if (withFirmware)
      for (const char* f : {"fb30rom1.dat", "fb30rom2.dat", "fb30sub.dat"})
        QFile::copy(QStringLiteral(QUILLON_BIN_DIR "/") + f, Dir.filePath(f));
    if (!ini.isEmpty()) {
      QFile file(Dir.filePath("QUILLON.INI"));
      file.open(QIODevice::WriteOnly);
      file.write(ini);
    }
    TForm1Options o;
    o.ProgramDir = Dir.path().toStdString();
    o.Args = std::move(args);
    Form = std::make_unique<TForm1>(o);
    Form->ShowMessage = [this](const QString& text) { Messages << text; };
    // Beeps stay silent also on a desktop with sound.
    Form->Beeper.FindDevice = [] { return QAudioDevice(); };
    Form->show();
    Settle();
    if (start) Form->FormCreate();
  }
  ~TRunningForm() {
    if (Form) Form->close();
    Form.reset();
  }
  TMachineState& State() { return Form->Computer->State; }
  QString Ini() {
    QFile file(Dir.filePath("QUILLON.INI"));
    file.open(QIODevice::ReadOnly);
    return QString::fromLatin1(file.readAll());
  }
};
