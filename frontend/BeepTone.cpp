// The beep's tone and the WAV recording of a headless run.
#include "BeepTone.h"

#include <algorithm>

#include "FileReplace.h"

int BeepSquare(uint64_t i, int sampleRate) {
  // Half periods counted exactly in whole numbers: half period k covers the
  // samples whose i * 2f / rate is k.
  return (i * 2 * BeepFrequency / static_cast<uint64_t>(sampleRate)) % 2 == 0 ? 1 : -1;
}

uint64_t BeepLength(int sampleRate) { return static_cast<uint64_t>(sampleRate) * BeepMs / 1000; }

namespace {

void PutLe(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

void TBeepRecording::Beep(uint64_t ms) {
  if (!Starts.empty() && Starts.back() == ms) return;
  if (Starts.size() >= MaxBeeps) {
    Dropped = true;
    return;
  }
  Starts.push_back(ms);
}

std::string TBeepRecording::Save(const std::filesystem::path& path, uint64_t endMs, std::string& warning) const {
  const uint64_t toneLength = BeepLength(BeepSampleRate);
  auto sampleAt = [](uint64_t ms) { return ms * BeepSampleRate / 1000; };
  uint64_t total = sampleAt(endMs);
  if (!Starts.empty()) total = std::max(total, sampleAt(Starts.back()) + toneLength);
  // The data chunk's size is a 32-bit count of bytes.
  constexpr uint64_t MaxSamples = (0xFFFFFFFFull - 36) / 2;
  if (total > MaxSamples) {
    total = MaxSamples;
    warning = "the recording is cut at " + std::to_string(MaxSamples / BeepSampleRate / 60) +
              " minutes, the most a WAV file holds";
  }
  if (Dropped)
    warning += std::string(warning.empty() ? "" : "; ") + "beeps after the first " + std::to_string(MaxBeeps) +
               " are not recorded";
  std::string header = "RIFF";
  PutLe(header, static_cast<uint32_t>(36 + total * 2), 4);
  header += "WAVEfmt ";
  PutLe(header, 16, 4);
  PutLe(header, 1, 2);  // PCM
  PutLe(header, 1, 2);  // mono
  PutLe(header, BeepSampleRate, 4);
  PutLe(header, BeepSampleRate * 2, 4);
  PutLe(header, 2, 2);
  PutLe(header, 16, 2);
  header += "data";
  PutLe(header, static_cast<uint32_t>(total * 2), 4);

  // Written in pieces, so a long run's silence never sits in memory whole.
  uint64_t next = 0;  // the next sample to write
  size_t beep = 0;    // the next beep to start
  uint64_t toneStart = UINT64_MAX;
  std::string chunk;
  bool headerDone = false;
  return ReplaceFileInPieces(path, [&]() -> std::string_view {
    if (!headerDone) {
      headerDone = true;
      return header;
    }
    chunk.clear();
    const uint64_t end = std::min(total, next + 65536);
    for (; next < end; ++next) {
      while (beep < Starts.size() && sampleAt(Starts[beep]) <= next) toneStart = sampleAt(Starts[beep++]);
      int v = 0;
      if (toneStart != UINT64_MAX && next - toneStart < toneLength)
        v = BeepSquare(next - toneStart, BeepSampleRate) * BeepLevel;
      PutLe(chunk, static_cast<uint16_t>(static_cast<int16_t>(v)), 2);
    }
    return chunk;
  });
}
