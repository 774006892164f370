// The machine's share of a save state: the section tags, and the CPU core's
// fields, which both machine classes write through these two functions.
//
// A CPU's bank 0 holds the firmware images besides RAM. It is written as
// its difference (XOR) from the bank as the firmware left it when the
// machine was built, so the images themselves (the user's files) never go
// into a state, while the trap bytes of the reset and anything the debugger
// changed in them still come back. A state is only ever loaded into a
// machine with the same firmware (TMcpuThread checks its fingerprint).
#pragma once

#include <cstdint>

#include "StateIo.h"
#include "core/Cpu_main.h"

inline constexpr uint32_t StateTagFirmware = StateTag("FIRM");
inline constexpr uint32_t StateTagMainCpu = StateTag("MCPU");
inline constexpr uint32_t StateTagSubCpu = StateTag("SCPU");
inline constexpr uint32_t StateTagMachine = StateTag("MSTA");
inline constexpr uint32_t StateTagDisk = StateTag("FDC ");
inline constexpr uint32_t StateTagLoop = StateTag("LOOP");

// romReference: the 64 KiB of bank 0 as the firmware left it.
void SaveCpuCore(TStateWriter& w, const TCpu09& cpu, const uint8_t* romReference);
void LoadCpuCore(TStateReader& r, TCpu09& cpu, const uint8_t* romReference);
