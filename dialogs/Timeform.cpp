// The timer dialog. The main timer's period is kept in hundredths of a
// millisecond and shown in milliseconds.
#include "Timeform.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "Dialogparts.h"

TTimerForm1::TTimerForm1(QWidget* parent) : TModalForm(parent) {
  setObjectName(QStringLiteral("TimerForm1"));
  setWindowTitle(tr("タイマ"));
  auto* layout = new QVBoxLayout(this);
  McpuTrkBar1 = AddTrackBar(this, layout, tr("メインCPUタイマ"),
                            {QStringLiteral("1.0"), QStringLiteral("5.0")}, 100, 500, 10,
                            50, 50, McpuLabel, QStringLiteral("ms"));
  McpuTrkBar1->setObjectName(QStringLiteral("McpuTrkBar1"));
  McpuLabel->setObjectName(QStringLiteral("McpuLabel"));
  AddRule(this, layout);
  ScpuTrkBar1 = AddTrackBar(this, layout, tr("サブCPUタイマ"),
                            {QStringLiteral("10"), QStringLiteral("50")}, 10, 50, 1, 5, 5,
                            ScpuLabel, QStringLiteral("ms"));
  ScpuTrkBar1->setObjectName(QStringLiteral("ScpuTrkBar1"));
  ScpuLabel->setObjectName(QStringLiteral("ScpuLabel"));
  StdBtn1 = new QPushButton(tr("標準値"), this);
  StdBtn1->setObjectName(QStringLiteral("StdBtn1"));
  StdBtn1->setAutoDefault(false);
  AddOkCancel(this, layout, StdBtn1);
  connect(McpuTrkBar1, &QSlider::valueChanged, this, [this] { McpuTrkBar1Change(); });
  connect(ScpuTrkBar1, &QSlider::valueChanged, this, [this] { ScpuTrkBar1Change(); });
  connect(StdBtn1, &QPushButton::clicked, this, [this] { StdBtn1Click(); });
  SetClientSize(385, 201);
}

QString TTimerForm1::McpuLabelText(int hundredths) {
  return QString::number(hundredths * 0.01, 'g', 15);
}

void TTimerForm1::FormShow() {
  McpuTrkBar1->setValue(McpuIrq);
  ScpuTrkBar1->setValue(SubNmi);
  McpuTrkBar1Change();
  ScpuTrkBar1Change();
}

void TTimerForm1::McpuTrkBar1Change() {
  McpuLabel->setText(McpuLabelText(McpuTrkBar1->value()));
}

void TTimerForm1::ScpuTrkBar1Change() {
  ScpuLabel->setText(QString::number(ScpuTrkBar1->value()));
}

void TTimerForm1::StdBtn1Click() {
  McpuTrkBar1->setValue(StandardMcpuIrq);
  ScpuTrkBar1->setValue(StandardSubNmi);
  McpuTrkBar1Change();
  ScpuTrkBar1Change();
}

void TTimerForm1::FormClose(bool ok) {
  if (!ok) return;
  McpuIrq = McpuTrkBar1->value();
  SubNmi = ScpuTrkBar1->value();
}
