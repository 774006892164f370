// libFuzzer entry for the save-state reader. The first byte chooses how the
// rest is used:
//   even: as a whole state file (magic, version, zlib, CRC, sections);
//   odd:  as edits to a good state's section stream, which is then packed
//         with a correct CRC, so the edits reach the sections' own checks.
//         Each edit is 4 bytes: an operation (set a byte, cut the stream,
//         insert a byte), a section, an offset into it and a value.
// Whatever the input, the reader must not crash, and a refused state must
// leave the machine exactly as it was. A state that loads is run for a few
// passes, so values that passed the checks are shown to be safe to run on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "MachineSnapshot.h"
#include "Mcputh.h"

namespace {

struct TRig {
  TMachineState State;
  TNullHostServices Host;
  TVirtualClock Clock;
  // No firmware images there: the machine runs on zeroed ROM, which is as
  // good a machine as any for the reader.
  TMcpuThread Machine{State, Host, Clock, "/nonexistent/"};
  std::vector<uint8_t> Good;
  std::vector<size_t> Starts;  // where each section's body starts in Good

  TRig() {
    Machine.ResetMachine(false);
    Machine.RunPasses(2000);
    Good = Stream();
    for (size_t pos = 0; pos + 8 <= Good.size();) {
      const size_t size = Good[pos + 4] | Good[pos + 5] << 8 | Good[pos + 6] << 16 | Good[pos + 7] << 24;
      Starts.push_back(pos + 8);
      pos += 8 + size;
    }
  }
  std::vector<uint8_t> Stream() {
    TStateWriter w;
    Machine.SaveState(w);
    return w.Stream();
  }
};

TRig& Rig() {
  static TRig* rig = new TRig;
  return *rig;
}

std::vector<uint8_t> Edited(const TRig& rig, const uint8_t* data, size_t size) {
  std::vector<uint8_t> s = rig.Good;
  for (size_t i = 0; i + 4 <= size; i += 4) {
    const size_t start = rig.Starts[data[i + 1] % rig.Starts.size()];
    // Mostly the fields at the head of a section, sometimes anywhere.
    const size_t offset = (data[i] & 4) ? start + data[i + 2] * 257u + data[i + 3] : start + data[i + 2];
    if (offset >= s.size()) continue;
    switch (data[i] & 3) {
      case 0:
      case 3: s[offset] = data[i + 3]; break;
      case 1: s.resize(offset); break;
      case 2: s.insert(s.begin() + static_cast<std::ptrdiff_t>(offset), data[i + 3]); break;
    }
  }
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  TRig& rig = Rig();
  const std::vector<uint8_t> file =
      (data[0] & 1) ? PackState(Edited(rig, data + 1, size - 1)) : std::vector<uint8_t>(data + 1, data + size);
  const std::vector<uint8_t> before = rig.Stream();
  TStateSections sections;
  TStateError e = UnpackState(file, sections);
  if (e == TStateError::None) e = rig.Machine.LoadState(sections);
  if (e != TStateError::None) {
    if (rig.Stream() != before) std::abort();  // a refused state changed the machine
    return 0;
  }
  rig.Machine.RunPasses(200);
  // Back to the good state for the next input.
  TStateSections good;
  if (UnpackState(PackState(rig.Good), good) != TStateError::None ||
      rig.Machine.LoadState(good) != TStateError::None)
    std::abort();
  return 0;
}
