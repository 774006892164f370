// Shared layout pieces of the performance and timer dialogs.
#include "Dialogparts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

QSlider* AddTrackBar(QWidget* parent, QVBoxLayout* layout, const QString& caption,
                     const QStringList& scale, int minimum, int maximum,
                     int lineStep, int pageStep, int tickEvery, QLabel*& value,
                     const QString& unit) {
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(caption, parent), 0, 0, 1, 3);
  auto* scaleRow = new QHBoxLayout;
  for (int i = 0; i < scale.size(); ++i) {
    if (i > 0) scaleRow->addStretch(1);
    scaleRow->addWidget(new QLabel(scale[i], parent));
  }
  grid->addLayout(scaleRow, 1, 0);
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setRange(minimum, maximum);
  slider->setSingleStep(lineStep);
  slider->setPageStep(pageStep);
  slider->setTickInterval(tickEvery);
  slider->setTickPosition(QSlider::TicksBelow);
  grid->addWidget(slider, 2, 0);
  value = new QLabel(parent);
  value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  value->setMinimumWidth(40);
  grid->addWidget(value, 2, 1);
  if (!unit.isEmpty()) grid->addWidget(new QLabel(unit, parent), 2, 2);
  grid->setColumnStretch(0, 1);
  layout->addLayout(grid);
  return slider;
}

void AddRule(QWidget* parent, QVBoxLayout* layout) {
  auto* rule = new QFrame(parent);
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  layout->addWidget(rule);
}

void AddOkCancel(QDialog* dialog, QVBoxLayout* layout, QPushButton* extra) {
  auto* buttons = new QDialogButtonBox(dialog);
  if (extra) buttons->addButton(extra, QDialogButtonBox::ResetRole);
  QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
  QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
  ok->setObjectName(QStringLiteral("BitBtn1"));
  cancel->setObjectName(QStringLiteral("BitBtn2"));
  layout->addStretch(1);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
}
