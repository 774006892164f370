// The real-time host timer thread.
#include "TimerThread.h"

#include <chrono>

uint32_t TTimerThread::NowMs() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void TTimerThread::Start(const TSettings& s) {
  Stop();
  Schedule.StartTimer(s, NowMs());
  StopReq = false;
  Worker = std::thread([this] {
    const auto period = std::chrono::milliseconds(Schedule.Resolution());
    auto next = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> lock(Lock);
    while (true) {
      next += period;
      if (Wake.wait_until(lock, next, [this] { return StopReq; })) break;
      lock.unlock();
      Schedule.TimerTick(NowMs());
      lock.lock();
    }
  });
}

void TTimerThread::Stop() {
  if (!Worker.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(Lock);
    StopReq = true;
  }
  Wake.notify_all();
  Worker.join();
  Schedule.StopTimer();
}
