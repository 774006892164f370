// TTimerForm1, the timer dialog: the period of the main CPU's timer IRQ
// (McpuIrq, hundredths of a millisecond) and of the sub CPU's timer NMI
// (SubNmi, milliseconds). The host timer takes the new periods when the
// emulation resumes after the dialog.
#pragma once

#include "Dialoghost.h"

class QLabel;
class QPushButton;
class QSlider;

class TTimerForm1 : public TModalForm {
  Q_OBJECT
 public:
  explicit TTimerForm1(QWidget* parent = nullptr);

  static constexpr int StandardMcpuIrq = 203;
  static constexpr int StandardSubNmi = 20;

  int McpuIrq = StandardMcpuIrq;
  int SubNmi = StandardSubNmi;

  QSlider* McpuTrkBar1;
  QLabel* McpuLabel;
  QSlider* ScpuTrkBar1;
  QLabel* ScpuLabel;
  QPushButton* StdBtn1;

  void McpuTrkBar1Change();
  void ScpuTrkBar1Change();
  void StdBtn1Click();

  // The main timer period in milliseconds as shown: 203 gives "2.03",
  // 100 gives "1".
  static QString McpuLabelText(int hundredths);

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
    McpuIrq = static_cast<int>(settings.McpuIrq);
    SubNmi = static_cast<int>(settings.SubNmi);
    OnCommit = [this, &settings] {
      settings.McpuIrq = McpuIrq;
      settings.SubNmi = SubNmi;
    };
    const int result = run(*this);
    OnCommit = nullptr;
    return result;
  }

 protected:
  void FormShow() override;
  void FormClose(bool ok) override;
};
