// Building one emulated computer from its parts.
#include "Computer.h"

TComputer::TComputer(THostServices& host, TPacer& pacer, TTimerWindow& window, const std::string& romDir)
    : Thread(State, host, pacer, romDir), Timer(Port, window) {}

TComputer::~TComputer() {
  // The thread ends before the images close, so no trap is cut short.
  Thread.Terminate();
  CloseAllImages(Drives);
}
