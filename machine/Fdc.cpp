// TFdc: the disk controller's registers, command decoding, byte transfers
// through the data register, and the status bits. See Fdc.h.
#include "Fdc.h"

#include <algorithm>

#include "Mcpuio.h"
#include "StateIo.h"

namespace {
// The result of reading a sector with a deleted-data mark: no error, only
// the bit that the status shows as the record type.
constexpr int DeletedDataResult = 0x04;
}  // namespace

void TFdc::Install(TMcpuIo& cpu) {
  for (uint8_t offset = 0x18; offset <= 0x1F; ++offset) {
    cpu.IoReadTable[offset] = {
        [](void* fdc, uint8_t o) -> uint8_t { return static_cast<TFdc*>(fdc)->ReadRegister(o); }, this};
    cpu.IoWriteTable[offset] = {
        [](void* fdc, uint8_t o, uint8_t v) { static_cast<TFdc*>(fdc)->WriteRegister(o, v); }, this};
  }
}

void TFdc::SelectDrive(int n) {
  n &= 3;
  if (n == FdcDrive) return;
  FdcMode = 0;
  FdcBusy = 0;
  FdcDrive = n;
}

uint8_t TFdc::ReadRegister(uint8_t offset) {
  const int d = FdcDrive;
  switch (offset) {
    case 0x18: return Status();
    case 0x19: return static_cast<uint8_t>(TrackReg[d]);
    case 0x1A: return static_cast<uint8_t>(SectorReg[d]);
    case 0x1B: return FdcMode == 1 ? ReadData() : static_cast<uint8_t>(DataReg[d]);
    case 0x1C: return HasImage() ? static_cast<uint8_t>(SideReg[d]) : 0;
    case 0x1D: return static_cast<uint8_t>(FdcDrive | 0x80);
    case 0x1E: return FdcLatch ? 0xFF : 0xBF;
    case 0x1F:
      if (FdcMode != 0) return 0x80;  // data request
      return HasImage() ? 0x40 : 0x00;  // command ended
    default: return 0xFF;
  }
}

void TFdc::WriteRegister(uint8_t offset, uint8_t value) {
  const int d = FdcDrive;
  switch (offset) {
    case 0x18: Command(value); break;
    case 0x19: if (HasImage()) TrackReg[d] = value; break;
    case 0x1A: if (HasImage()) SectorReg[d] = value; break;
    case 0x1B:
      if (FdcMode == 2) WriteData(value);
      else if (HasImage()) DataReg[d] = value;
      break;
    case 0x1C: if (HasImage()) SideReg[d] = value & 1; break;
    case 0x1D: SelectDrive(value & 3); break;
    case 0x1E: FdcLatch = (value >> 6) & 1; break;
    default: break;
  }
}

uint8_t TFdc::Status() const {
  uint8_t s = HasImage() ? 0x00 : 0x80;  // not ready
  if (FdcBusy) {
    if (FdcResult & 0x02) s |= 0x40;  // write protect
    if (FdcResult & 0x04) s |= 0x20;  // record type (read), write fault (write)
    if (FdcResult & 0x08) s |= 0x10;  // record not found
    if (FdcResult & 0x10) s |= 0x08;  // CRC error (recorded, or the file failed)
    if (FdcResult & 0x20) s |= 0x04;  // lost data
  }
  if (FdcMode != 0) s |= 0x03;  // busy and data request
  return s;
}

void TFdc::Step(uint8_t v, int d) {
  if (!HasImage()) return;
  const int n = FdcDrive;
  HeadTrack[n] = std::clamp(HeadTrack[n] + d, 0, 39);
  if (v & 0x10) TrackReg[n] = std::clamp(TrackReg[n] + d, 0, 39);
}

void TFdc::Command(uint8_t v) {
  FdcMode = 0;
  FdcBusy = 0;
  const int n = FdcDrive;
  const bool image = HasImage();
  if (!(v & 0x80)) v &= 0xF8;  // type I: stepping rate and verify ignored

  switch (v & 0xE0) {
    case 0x00:  // restore (bit 4 clear) or seek (bit 4 set)
      if (!image) break;
      if (v & 0x10) {
        HeadTrack[n] = TrackReg[n] = DataReg[n];
      } else {
        DataReg[n] = TrackReg[n] = HeadTrack[n] = 0;
      }
      break;
    case 0x20: Step(v, StepDir[n]); break;
    case 0x40: StepDir[n] = +1; Step(v, +1); break;
    case 0x60: StepDir[n] = -1; Step(v, -1); break;

    case 0x80: {  // read sector
      FdcBusy = 1;
      FdcIndex = 0;
      if (!image) {  // not ready: no transfer
        FdcResult = DISK_NOT_READY;
        break;
      }
      int size = 0;
      uint8_t flags = 0;
      FdcResult = Vfd.ReadSector(n, HeadTrack[n], SideReg[n], SectorReg[n], &size, &flags);
      FdcLength = size;
      // The data comes also from a sector recorded with a CRC error (the
      // size tells it is in the buffer); the status shows the error. A
      // sector of no bytes has nothing to deliver.
      if (FdcLength > 0 && (FdcResult == DISK_OK || FdcResult == DISK_CRC_ERROR)) FdcMode = 1;
      // A deleted-data mark shows as the record-type bit.
      if (FdcResult == DISK_OK && (flags & SECTOR_DELETED)) FdcResult = DeletedDataResult;
      break;
    }

    case 0xA0: {  // write sector
      FdcBusy = 1;
      FdcIndex = 0;
      if (!image) {  // not ready: no transfer
        FdcResult = DISK_NOT_READY;
        break;
      }
      // The result of the previous command must not show while this one
      // collects its bytes.
      FdcResult = 0;
      const int size = Vfd.SectorSize(n, HeadTrack[n], SideReg[n], SectorReg[n]);
      FdcLength = size < 0 ? 0 : size;
      FdcMode = 2;
      break;
    }

    case 0xC0:
      if ((v & 0xF0) == 0xD0) break;  // force interrupt: transfer already ended
      // read address
      FdcBusy = 1;
      FdcIndex = 0;
      if (!image) {
        FdcResult = DISK_NOT_READY;
        break;
      }
      FdcLength = 6;
      FdcResult = Vfd.ReadId(n, HeadTrack[n], SideReg[n], SectorReg[n], Vfd.DiskBuffer);
      if (FdcResult == 0) {
        SectorReg[n] = Vfd.DiskBuffer[0];
        FdcMode = 1;
      }
      break;

    default:  // E0: read track, write track: not emulated
      break;
  }
}

uint8_t TFdc::ReadData() {
  const uint8_t value = Vfd.DiskBuffer[FdcIndex];
  ++FdcIndex;
  if (FdcIndex >= FdcLength) FdcMode = 0;  // that was the last byte
  return value;
}

void TFdc::WriteData(uint8_t value) {
  // FdcLength never exceeds the buffer; a write to a missing sector
  // (length 0) takes one byte before it reports.
  if (FdcIndex < TVfd::BufferBytes) Vfd.DiskBuffer[FdcIndex] = value;
  ++FdcIndex;
  if (FdcIndex >= FdcLength) {
    FdcResult = HasImage() ? Vfd.WriteSector(FdcDrive, HeadTrack[FdcDrive],
                                             SideReg[FdcDrive], SectorReg[FdcDrive])
                           : static_cast<uint16_t>(DISK_NOT_READY);
    FdcMode = 0;
  }
}

void TFdc::SaveState(TStateWriter& w) const {
  for (int v : {FdcMode, FdcBusy, FdcResult, FdcDrive, FdcIndex, FdcLength, FdcLatch}) w.I32(v);
  for (int d = 0; d < TVfd::Drives; ++d)
    for (int v : {HeadTrack[d], TrackReg[d], SectorReg[d], SideReg[d], DataReg[d], StepDir[d]}) w.I32(v);
  Vfd.SaveState(w);
}

void TFdc::LoadState(TStateReader& r) {
  constexpr int buffer = TVfd::BufferBytes;
  FdcMode = r.I32In(0, 2);
  FdcBusy = r.I32In(0, 1);
  FdcResult = r.I32In(0, 0xFFFF);
  FdcDrive = r.I32In(0, TVfd::Drives - 1);
  FdcIndex = r.I32In(0, buffer);
  FdcLength = r.I32In(0, buffer);
  FdcLatch = r.I32In(0, 1);
  // A read in progress delivers DiskBuffer[FdcIndex]: it must lie inside.
  r.Check(FdcMode != 1 || FdcIndex < FdcLength);
  for (int d = 0; d < TVfd::Drives; ++d) {
    HeadTrack[d] = r.I32In(0, 255);
    TrackReg[d] = r.I32In(0, 255);
    SectorReg[d] = r.I32In(0, 255);
    SideReg[d] = r.I32In(0, 1);
    DataReg[d] = r.I32In(0, 255);
    StepDir[d] = r.I32In(-1, 1);
  }
  Vfd.LoadState(r);
}
