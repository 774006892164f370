// TBeeper: the window's beep, the emulator's own square-wave tone (see
// BeepTone.h) played through the desktop's default audio output with Qt
// Multimedia. The audio output is looked for at the first beep, so a
// session that never beeps never opens one. Without an output (no sound
// server, as on build machines) the beeper stays silent and says so once;
// it never shows a message box and never waits.
#pragma once

#include <QAudioDevice>
#include <QBuffer>
#include <QByteArray>
#include <QObject>
#include <functional>

class QAudioSink;

class TBeeper : public QObject {
  Q_OBJECT
 public:
  explicit TBeeper(QObject* parent = nullptr);
  ~TBeeper() override;

  // Plays the tone from its start, also when it still sounds. On the GUI
  // thread.
  void Play();
  // Stops a tone that sounds (the beep was turned off).
  void Stop();

  enum class TOutput { NotLookedFor, Open, None };
  TOutput Output() const { return State; }
  int TonesStarted = 0;

  // Where the beeper looks for its output; tests give it none.
  std::function<QAudioDevice()> FindDevice;
  // Called once, the first time a beep finds no output to play on.
  std::function<void()> OnNoOutput;

 private:
  bool OpenOutput();
  void NoOutput();

  TOutput State = TOutput::NotLookedFor;
  QAudioSink* Sink = nullptr;
  QByteArray Tone;
  QBuffer ToneBuffer;
};
