// TKeybordForm1, the keyboard dialog: whether the host Esc key gives the
// machine's BREAK and the Hankaku/Zenkaku key gives its ESC (KeyCh_ESC), and
// whether symbols are typed as the host's keyboard layout has them
// (KeyByChar) rather than by the key's place on a Japanese keyboard.
#pragma once

#include "Dialoghost.h"

class QCheckBox;

class TKeybordForm1 : public TModalForm {
  Q_OBJECT
 public:
  explicit TKeybordForm1(QWidget* parent = nullptr);

  bool KeyCh_ESC = true;
  bool KeyByChar = false;

  QCheckBox* EscChkBox1;
  QCheckBox* CharChkBox1;

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
    KeyCh_ESC = static_cast<bool>(settings.KeyCh_ESC);
    KeyByChar = static_cast<bool>(settings.KeyByChar);
    OnCommit = [this, &settings] {
      settings.KeyCh_ESC = KeyCh_ESC;
      settings.KeyByChar = KeyByChar;
    };
    const int result = run(*this);
    OnCommit = nullptr;
    return result;
  }

 protected:
  void FormShow() override;
  void FormClose(bool ok) override;
};
