// The performance dialog. CpuWait is the number of run-loop passes between
// 1 ms rests (255: never rest); FlipFreq is never stored as 0.
#include "Paform.h"

#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include "Dialogparts.h"

TPaformForm1::TPaformForm1(QWidget* parent) : TModalForm(parent) {
  setObjectName(QStringLiteral("PaformForm1"));
  setWindowTitle(tr("パフォーマンス"));
  auto* layout = new QVBoxLayout(this);
  WaitTrkBar1 = AddTrackBar(this, layout, tr("CPU速度"),
                            {tr("遅い"), tr("速い")}, 0, 255,
                            4, 16, 16, WaitLabel, QString());
  WaitTrkBar1->setObjectName(QStringLiteral("WaitTrkBar1"));
  WaitLabel->setObjectName(QStringLiteral("WaitLabel"));
  AddRule(this, layout);
  FlipTrkBar1 = AddTrackBar(
      this, layout, tr("画面更新"),
      {QStringLiteral("1"), QStringLiteral("30"), QStringLiteral("60")}, 0, 60, 1, 10,
      10, FlipLabel, tr("回/秒"));
  FlipTrkBar1->setObjectName(QStringLiteral("FlipTrkBar1"));
  FlipLabel->setObjectName(QStringLiteral("FlipLabel"));
  AddOkCancel(this, layout);
  connect(WaitTrkBar1, &QSlider::valueChanged, this, [this] { WaitTrkBar1Change(); });
  connect(FlipTrkBar1, &QSlider::valueChanged, this, [this] { FlipTrkBar1Change(); });
  SetClientSize(369, 201);
}

void TPaformForm1::FormShow() {
  // A value from the settings file outside the bar's range shows at the
  // nearest end, and that is what OK commits.
  WaitTrkBar1->setValue(CpuWait & 0xFF);
  FlipTrkBar1->setValue(FlipFreq);
  WaitTrkBar1Change();
  FlipTrkBar1Change();
}

void TPaformForm1::WaitTrkBar1Change() {
  WaitLabel->setText(QString::number(WaitTrkBar1->value()));
}

void TPaformForm1::FlipTrkBar1Change() {
  FlipLabel->setText(QString::number(FlipFreqOf(FlipTrkBar1->value())));
}

void TPaformForm1::FormClose(bool ok) {
  if (!ok) return;
  CpuWait = WaitTrkBar1->value() & 0xFF;
  FlipFreq = FlipFreqOf(FlipTrkBar1->value());
}
