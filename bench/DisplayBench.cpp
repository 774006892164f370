// Frame cost of the presenter: DrawScreen over a full 640 x 200 frame of the
// pixel buffer (through the plane mask and the palette), and the flip's
// painting of the work image stretched to 1280 x 800 (200 % zoom) without
// smoothing. Runs on Qt's offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <QWidget>
#include <memory>
#include <random>

#include "PixelBuffer.h"
#include "Tddraw.h"

namespace {

std::unique_ptr<TDisplayState> RandomScreen() {
  auto s = std::make_unique<TDisplayState>();
  std::mt19937 rng(1);
  for (uint16_t a = 0; a < 0xC000; ++a) s->UpdatePixels(a, static_cast<uint8_t>(rng()));
  return s;
}

void BM_DrawScreen(benchmark::State& state) {
  QWidget window;
  TDdraw dd;
  if (!dd.Open(&window, 0)) {
    state.SkipWithError("presenter did not open");
    return;
  }
  auto screen = RandomScreen();
  for (auto _ : state) {
    dd.DrawScreen(screen->PixelBuffer, RepeatWord(screen->DisplayPlanes.load()), screen->Palette);
    benchmark::DoNotOptimize(dd.Work.constBits());
  }
  state.SetItemsProcessed(state.iterations() * 640 * 200);
}
BENCHMARK(BM_DrawScreen)->Unit(benchmark::kMicrosecond);

void BM_PaintAt200Percent(benchmark::State& state) {
  QWidget window;
  TDdraw dd;
  if (!dd.Open(&window, 0)) {
    state.SkipWithError("presenter did not open");
    return;
  }
  auto screen = RandomScreen();
  dd.DrawScreen(screen->PixelBuffer, 7, screen->Palette);
  dd.DstRect = QRect(0, 0, 1280, 800);
  QImage target(1280, 800, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter p(&target);
    dd.Paint(p, target.rect());
    p.end();
    benchmark::DoNotOptimize(target.constBits());
  }
}
BENCHMARK(BM_PaintAt200Percent)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
