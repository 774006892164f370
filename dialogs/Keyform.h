// TKeybordForm1, the keyboard dialog: whether the host Esc key gives the
// machine's BREAK and the Hankaku/Zenkaku key gives its ESC (KeyCh_ESC).
#pragma once

#include "Dialoghost.h"

class QCheckBox;

class TKeybordForm1 : public TModalForm {
  Q_OBJECT
 public:
  explicit TKeybordForm1(QWidget* parent = nullptr);

  bool KeyCh_ESC = true;

  QCheckBox* EscChkBox1;

  template <class Settings>
  int Run(Settings& settings) {
    KeyCh_ESC = static_cast<bool>(settings.KeyCh_ESC);
    const int result = ShowModal();
    if (result == Accepted) settings.KeyCh_ESC = KeyCh_ESC;
    return result;
  }

 protected:
  void FormShow() override;
  void FormClose(bool ok) override;
};
