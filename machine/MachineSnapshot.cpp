// The machine's sections of a save state: the CPU cores, the machine state
// object, and the emulation thread's writing and two-pass reading of all of
// them. Each machine class writes and reads its own fields (SaveState and
// LoadState beside the class); this file puts them in sections.
#include "MachineSnapshot.h"

#include "Mcputh.h"

void SaveCpuCore(TStateWriter& w, const TCpu09& c, const uint8_t* romReference) {
  for (uint8_t v : {c.A, c.B, c.CC, c.DP}) w.U8(v);
  for (uint16_t v : {c.X, c.Y, c.U, c.S, c.PC}) w.U16(v);
  for (int32_t v : {c.BankSelect, c.Waiting, c.Stacked}) w.I32(v);
  uint8_t diff[0x10000];
  for (size_t i = 0; i < sizeof diff; ++i) diff[i] = c.Bank[0][i] ^ romReference[i];
  w.Bytes(diff, sizeof diff);
  w.Bytes(c.Bank[1], sizeof c.Bank[1]);
}

void LoadCpuCore(TStateReader& r, TCpu09& c, const uint8_t* romReference) {
  for (uint8_t* v : {&c.A, &c.B, &c.CC, &c.DP}) *v = r.U8();
  for (uint16_t* v : {&c.X, &c.Y, &c.U, &c.S, &c.PC}) *v = r.U16();
  c.BankSelect = r.I32In(0, 1);
  c.Waiting = r.I32In(0, 1);
  c.Stacked = r.I32In(0, 1);
  r.Bytes(c.Bank[0], sizeof c.Bank[0]);
  for (size_t i = 0; i < sizeof c.Bank[0]; ++i) c.Bank[0][i] ^= romReference[i];
  r.Bytes(c.Bank[1], sizeof c.Bank[1]);
}

void TMachineState::SaveState(TStateWriter& w) const {
  w.Bytes(SharedRam, sizeof SharedRam);
  for (const std::atomic<uint32_t>* v : {&SubHalt, &McpuIntReq, &ScpuIntReq, &SubBusy, &HotStartReq,
                                         &KeyData, &KeyIrqEnable, &TimerIrqEnable, &InsLampReq})
    w.U32(v->load());
  w.U16(LastKanjiCode);
  for (const std::atomic<uint32_t>* v : {&DisplayPlanes, &WritePlanes, &CrtOn}) w.U32(v->load());
  for (const std::atomic<uint32_t>& v : Palette) w.U32(v.load());
}

void TMachineState::LoadState(TStateReader& r) {
  r.Bytes(SharedRam, sizeof SharedRam);
  SubHalt.store(r.U32In(0, 1));
  McpuIntReq.store(r.U32In(0, MCPU_FIRQ_MASK | MCPU_IRQ_MASK | MCPU_RESET));
  ScpuIntReq.store(r.U32In(0, SCPU_NMI | SCPU_FIRQ_KEY | SCPU_IRQ_CANCEL));
  SubBusy.store(r.U32In(0, 1));
  HotStartReq.store(r.U32In(0, 1));
  const uint32_t key = r.U32();
  r.Check((key & ~0x80FFu) == 0);
  KeyData.store(key & 0x80FF);
  KeyIrqEnable.store(r.U32In(0, 1));
  TimerIrqEnable.store(r.U32In(0, 1));
  InsLampReq.store(r.U32In(INS_LAMP_NONE, INS_LAMP_OFF));
  LastKanjiCode = r.U16();
  DisplayPlanes.store(r.U32In(0, 7));
  WritePlanes.store(r.U32In(0, 7));
  CrtOn.store(r.U32In(0, 1));
  for (std::atomic<uint32_t>& v : Palette) v.store(r.U32In(0, 7));
}

namespace {

// The machine objects a state is read into.
struct TMachineParts {
  TMachineState& State;
  TMcpuIo& Mcpu;
  TScpuIo& Scpu;
  TFdc& Fdc;
  uint8_t& PaceCounter;
};

// A machine of its own for the first reading pass: no firmware, no images,
// nothing shared with the running one.
struct TTrialMachine {
  TMachineState State;
  TNullHostServices Host;
  TMcpuIo Mcpu{State, Host};
  TScpuIo Scpu{State, Host};
  TFdc Fdc{State.Vfd};
  uint8_t PaceCounter = 0;
  TMachineParts Parts() { return {State, Mcpu, Scpu, Fdc, PaceCounter}; }
};

// Reads every machine section into parts; false when one is missing,
// short, or holds a value out of range.
bool LoadParts(const TStateSections& sections, const TMachineParts& p,
               const std::vector<uint8_t> (&reference)[2]) {
  bool ok = true;
  auto section = [&](uint32_t tag, auto&& read) { ok = sections.ReadSection(tag, read) && ok; };
  section(StateTagMainCpu, [&](TStateReader& r) { p.Mcpu.LoadState(r, reference[0].data()); });
  section(StateTagMachine, [&](TStateReader& r) { p.State.LoadState(r); });
  section(StateTagSubCpu, [&](TStateReader& r) { p.Scpu.LoadState(r, reference[1].data()); });
  section(StateTagDisk, [&](TStateReader& r) { p.Fdc.LoadState(r); });
  section(StateTagLoop, [&](TStateReader& r) { p.PaceCounter = r.U8(); });
  return ok;
}

}  // namespace

void TMcpuThread::TakeFirmwareReference() {
  for (int m = 0; m < 2; ++m) {
    const TCpu09& cpu = m == 0 ? static_cast<const TCpu09&>(*Mcpu) : *Scpu;
    RomReference[m].assign(cpu.Bank[0], cpu.Bank[0] + sizeof cpu.Bank[0]);
  }
  for (int i = 0; i < 3; ++i) {
    const TRomImage& image = RomImages[i];
    const uint32_t bytes = std::min<uint32_t>(image.Bytes, 0x10000u - image.Address);
    FirmwareCrc[i] = StateCrc32(RomReference[image.Machine].data() + image.Address, bytes);
  }
}

void TMcpuThread::SaveState(TStateWriter& w) const {
  w.Begin(StateTagFirmware);
  for (uint32_t crc : FirmwareCrc) w.U32(crc);
  w.End();
  w.Begin(StateTagMainCpu);
  Mcpu->SaveState(w, RomReference[0].data());
  w.End();
  w.Begin(StateTagMachine);
  State.SaveState(w);
  w.End();
  w.Begin(StateTagSubCpu);
  Scpu->SaveState(w, RomReference[1].data());
  w.End();
  w.Begin(StateTagDisk);
  Fdc->SaveState(w);
  w.End();
  w.Begin(StateTagLoop);
  w.U8(PaceCounter);
  w.End();
}

TStateError TMcpuThread::LoadState(const TStateSections& sections) {
  bool found = false;
  TStateReader firmware(sections.Find(StateTagFirmware, found));
  uint32_t crc[3];
  for (uint32_t& c : crc) c = firmware.U32();
  if (!found || !firmware.Ok()) return TStateError::Damaged;
  for (int i = 0; i < 3; ++i)
    if (crc[i] != FirmwareCrc[i]) return TStateError::OtherFirmware;

  // First into a machine of its own; this one is touched only once the
  // whole state has read well, and then the same reading cannot fail.
  auto trial = std::make_unique<TTrialMachine>();
  if (!LoadParts(sections, trial->Parts(), RomReference)) return TStateError::Damaged;
  LoadParts(sections, {State, *Mcpu, *Scpu, *Fdc, PaceCounter}, RomReference);
  return TStateError::None;
}
