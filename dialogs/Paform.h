// TPaformForm1, the performance dialog: CPU speed (CpuWait, how often the
// run loop rests) and screen refresh rate (FlipFreq, frames a second).
#pragma once

#include <cstdint>

#include "Dialoghost.h"

class QLabel;
class QSlider;

class TPaformForm1 : public TModalForm {
  Q_OBJECT
 public:
  explicit TPaformForm1(QWidget* parent = nullptr);

  // The values the dialog loads when shown and, on OK only, commits.
  int CpuWait = 240;
  int FlipFreq = 30;

  QSlider* WaitTrkBar1;
  QLabel* WaitLabel;
  QSlider* FlipTrkBar1;
  QLabel* FlipLabel;

  void WaitTrkBar1Change();
  void FlipTrkBar1Change();

  // Shows the dialog on a settings object: loaded when shown, stored back
  // on OK as the dialog closes (before the emulation resumes). run shows it
  // modally: by default ShowModal, from the main window its pause, centre,
  // show and resume step.
  template <class Settings>
  int Run(Settings& settings) {
    return Run(settings, [](TModalForm& form) { return form.ShowModal(); });
  }
  template <class Settings, class Runner>
  int Run(Settings& settings, Runner run) {
    CpuWait = static_cast<int>(settings.CpuWait);
    FlipFreq = static_cast<int>(settings.FlipFreq);
    OnCommit = [this, &settings] {
      settings.CpuWait = static_cast<uint8_t>(CpuWait);
      settings.FlipFreq = FlipFreq;
    };
    const int result = run(*this);
    OnCommit = nullptr;
    return result;
  }

  // The refresh rate a track bar position stands for: 0 means 1.
  static int FlipFreqOf(int position) { return position == 0 ? 1 : position; }

 protected:
  void FormShow() override;
  void FormClose(bool ok) override;
};
