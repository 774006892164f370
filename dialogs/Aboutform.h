// TAboutForm1, the about box. Its logo flickers while it is shown, like a
// picture on a badly tuned set: the whole picture hops up and down, now and
// then far, rows slip sideways, and a bright line runs across it at times.
#pragma once

#include <QImage>
#include <cstdint>

#include "Dialoghost.h"

class QLabel;
class QTimer;

class TAboutForm1 : public TModalForm {
  Q_OBJECT
 public:
  explicit TAboutForm1(QWidget* parent = nullptr);

  static constexpr int LogoWidth = 281;
  static constexpr int LogoHeight = 65;
  static constexpr int Margin = 40;  // work picture border around the logo

  QLabel* LogoImg;
  QLabel* VersionLabel;
  QLabel* NoteLabel;
  QLabel* HiddenLabel;
  QTimer* FlickerTimer;

  // The logo as drawn by this program, undisturbed.
  static QImage DrawLogo();

  // The picture the logo label shows now.
  const QImage& Logo() const { return LogoPicture; }
  // One 50 ms tick of the flicker.
  void FlickerTick();
  // Seeds the flicker's pseudo-random numbers (tests make it repeatable).
  void SetSeed(uint32_t seed) { Seed = seed; }

 protected:
  void FormShow() override;
  void FormClose(bool ok) override;

 private:
  int Random();  // 0..32767
  void ShowLogo();

  QImage LogoPicture;
  QImage Work;  // exists only while the box is shown
  uint32_t Seed = 1;
};
