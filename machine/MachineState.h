// The state of one emulated computer that more than one part of the program
// touches: the shared RAM and halt line of the two CPUs, the interrupt
// request words, the handshake flags, the key data latch, the display state
// and pixel buffer, and the few settings the run loop and the boot read.
//
// The emulation thread, the window thread and the host timer thread meet here
// and nowhere else, without locks. Every word two threads touch is a
// std::atomic. A request word is only ever changed by one atomic
// read-modify-write (fetch_or to raise, fetch_and to clear) or one plain
// store, so a bit raised on one thread is never lost by a clear of another
// bit on another thread. The program holds one of these; a test builds a
// fresh one for each computer it wants.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/Cpu_main.h"
#include "PixelBuffer.h"
#include "Vfd.h"
#include "Vtp.h"

class TStateReader;
class TStateWriter;

// Bits of McpuIntReq. Byte 0: the main CPU's FIRQ sources; byte 1: its IRQ
// sources; byte 2: the reset request.
enum : uint32_t {
  MCPU_FIRQ_ATTENTION = 0x00001,  // the sub CPU touched D404
  MCPU_FIRQ_BREAK = 0x00002,      // BREAK key held down
  MCPU_FIRQ_MASK = 0x000FF,
  MCPU_IRQ_KEY = 0x00100,         // a key code while key IRQs are enabled
  MCPU_IRQ_TIMER = 0x00400,       // the main timer
  MCPU_IRQ_MASK = 0x0FF00,
  MCPU_RESET = 0x10000,           // reset or hot start (see HotStartReq)
};

// Bits of ScpuIntReq.
enum : uint32_t {
  SCPU_NMI = 0x1,         // the sub timer; an event, cleared when delivered
  SCPU_FIRQ_KEY = 0x2,    // a key code while main key IRQs are disabled
  SCPU_IRQ_CANCEL = 0x4,  // cancel request from the main CPU
};

// Values of InsLampReq, read and cleared by the window with each frame.
enum : uint32_t { INS_LAMP_NONE = 0, INS_LAMP_ON = 1, INS_LAMP_OFF = 2 };

struct TMachineState : TCoreShared, TDisplayState {
  TMachineState() = default;
  TMachineState(const TMachineState&) = delete;
  TMachineState& operator=(const TMachineState&) = delete;

  // Pending interrupt requests of the two CPUs (bits above). Levels (FIRQ,
  // IRQ) stay set until the I/O access that acknowledges them; the sub NMI is
  // cleared by the run loop when it is delivered.
  std::atomic<uint32_t> McpuIntReq{0};
  std::atomic<uint32_t> ScpuIntReq{0};

  // The sub CPU's busy flag as the main CPU reads it at FD05 bit 7.
  std::atomic<uint32_t> SubBusy{0};
  // The pending reset request is a hot start (1) or a cold reset (0).
  std::atomic<uint32_t> HotStartReq{0};

  // The key latch: low byte the machine code, bit 15 the function-key bit.
  std::atomic<uint32_t> KeyData{0};
  // Main CPU's FD02: key codes interrupt the main CPU (1) or the sub CPU (0);
  // the main timer may raise its IRQ (1).
  std::atomic<uint32_t> KeyIrqEnable{0};
  std::atomic<uint32_t> TimerIrqEnable{0};

  // INS lamp change requested by the sub CPU (INS_LAMP_*).
  std::atomic<uint32_t> InsLampReq{INS_LAMP_NONE};

  // The JIS code of the glyph the main machine's kanji bitmap holds (0 at
  // start). Emulation thread only.
  uint16_t LastKanjiCode = 0;

  // Settings the machine reads while it runs. CpuWait: the run loop sleeps
  // 1 ms once every (CpuWait & 0xFF) + 2 passes; 255 never sleeps. BootMode:
  // 0 BASIC, 1 DOS, read by the boot trap at each boot.
  std::atomic<int> CpuWait{240};
  std::atomic<int> BootMode{0};

  // The four disk drives and the cassette deck with their image files.
  // Mounted from the window thread (while the emulation is paused; each
  // holds a lock of its own besides), used by the BIOS traps and the disk
  // controller on the emulation thread. They close their files when the
  // state goes, after the emulation thread has ended.
  TVfd Vfd;
  TVtp Vtp;

  // ---- requests raised and cleared from outside the emulation thread ----

  void RaiseMcpu(uint32_t bits) { McpuIntReq.fetch_or(bits); }
  void ClearMcpu(uint32_t bits) { McpuIntReq.fetch_and(~bits); }
  void RaiseScpu(uint32_t bits) { ScpuIntReq.fetch_or(bits); }
  void ClearScpu(uint32_t bits) { ScpuIntReq.fetch_and(~bits); }

  // A key code arrives (keyboard, paste): latch it, then tell the CPU that
  // the main CPU's FD02 chose: its key IRQ, or else the sub CPU's key FIRQ.
  void DeliverKey(uint16_t code) {
    KeyData.store(code);
    if (KeyIrqEnable.load() & 1)
      RaiseMcpu(MCPU_IRQ_KEY);
    else
      RaiseScpu(SCPU_FIRQ_KEY);
  }

  // A delivered key code that its CPU has not read yet (the paste waits for
  // it before sending the next).
  bool KeyUnread() const {
    return (McpuIntReq.load() & MCPU_IRQ_KEY) != 0 || (ScpuIntReq.load() & SCPU_FIRQ_KEY) != 0;
  }

  // BREAK is a level: held while the key is down.
  void PressBreak() { RaiseMcpu(MCPU_FIRQ_BREAK); }
  void ReleaseBreak() { ClearMcpu(MCPU_FIRQ_BREAK); }

  // The main timer's tick: an IRQ only while the main CPU enabled it.
  // Returns whether it was raised.
  bool RaiseTimerIrq() {
    if (!(TimerIrqEnable.load() & 1)) return false;
    RaiseMcpu(MCPU_IRQ_TIMER);
    return true;
  }

  // The sub timer's tick.
  void RaiseSubNmi() { RaiseScpu(SCPU_NMI); }

  // The Reset (hot = false) and Hot start (hot = true) commands: every other
  // pending main request is dropped; the run loop carries the reset out.
  void RequestReset(bool hot) {
    HotStartReq.store(hot ? 1 : 0);
    McpuIntReq.store(MCPU_RESET);
  }

  // Read and clear the INS lamp request (window thread, once a frame).
  uint32_t TakeInsLampReq() { return InsLampReq.exchange(INS_LAMP_NONE); }

  // The save state's share of this object: the shared RAM, the request
  // words and flags, the key latch and the display state (the pixel buffer
  // is rebuilt from video RAM, not stored; the settings and the drives are
  // not part of it). LoadState checks every value's range.
  void SaveState(TStateWriter& w) const;
  void LoadState(TStateReader& r);
};
