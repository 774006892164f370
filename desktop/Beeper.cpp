// The window's beep through Qt Multimedia.
#include "Beeper.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <cstring>

#include "BeepTone.h"

namespace {

// The tone in the output's own format: the recording's 44.1 kHz mono 16-bit
// where the output takes it, else the output's preferred format.
QByteArray MakeTone(const QAudioFormat& f) {
  const int channels = f.channelCount();
  const uint64_t frames = BeepLength(f.sampleRate());
  // Silence after the tone: an output whose source runs dry may drop what
  // it still holds, and that must be silence, not the tone's end.
  const uint64_t padded = frames + static_cast<uint64_t>(f.sampleRate()) * 3 / 10;
  QByteArray out(static_cast<qsizetype>(padded * channels * f.bytesPerSample()), '\0');
  if (f.sampleFormat() == QAudioFormat::UInt8) out.fill(static_cast<char>(128));
  char* p = out.data();
  for (uint64_t i = 0; i < frames; ++i) {
    const int s = BeepSquare(i, f.sampleRate());
    for (int c = 0; c < channels; ++c) {
      switch (f.sampleFormat()) {
        case QAudioFormat::UInt8: *p = static_cast<char>(128 + s * (BeepLevel >> 8)); break;
        case QAudioFormat::Int16: {
          const int16_t v = static_cast<int16_t>(s * BeepLevel);
          std::memcpy(p, &v, 2);
          break;
        }
        case QAudioFormat::Int32: {
          const int32_t v = s * (BeepLevel << 16);
          std::memcpy(p, &v, 4);
          break;
        }
        case QAudioFormat::Float: {
          const float v = static_cast<float>(s * BeepLevel) / 32768.0f;
          std::memcpy(p, &v, 4);
          break;
        }
        default: return {};
      }
      p += f.bytesPerSample();
    }
  }
  return out;
}

}  // namespace

TBeeper::TBeeper(QObject* parent) : QObject(parent) {
  FindDevice = [] { return QMediaDevices::defaultAudioOutput(); };
}

TBeeper::~TBeeper() {
  if (Sink) Sink->stop();
}

void TBeeper::NoOutput() {
  State = TOutput::None;
  if (Sink) {
    Sink->stop();
    Sink->deleteLater();
    Sink = nullptr;
  }
  if (OnNoOutput) OnNoOutput();
}

bool TBeeper::OpenOutput() {
  const QAudioDevice device = FindDevice();
  if (device.isNull()) return false;
  QAudioFormat format;
  format.setSampleRate(BeepSampleRate);
  format.setChannelCount(1);
  format.setSampleFormat(QAudioFormat::Int16);
  if (!device.isFormatSupported(format)) format = device.preferredFormat();
  if (!format.isValid()) return false;
  Tone = MakeTone(format);
  if (Tone.isEmpty()) return false;
  ToneBuffer.setBuffer(&Tone);
  ToneBuffer.open(QIODevice::ReadOnly);
  Sink = new QAudioSink(device, format, this);
  return true;
}

void TBeeper::Play() {
  if (State == TOutput::None) return;
  if (State == TOutput::NotLookedFor) {
    if (!OpenOutput()) {
      NoOutput();
      return;
    }
    State = TOutput::Open;
  }
  // From the start: a tone still sounding is cut off and begins again.
  Sink->reset();
  Sink->stop();
  ToneBuffer.seek(0);
  Sink->start(&ToneBuffer);
  if (Sink->error() != QAudio::NoError) {
    NoOutput();
    return;
  }
  ++TonesStarted;
}

void TBeeper::Stop() {
  if (Sink) Sink->stop();
}
