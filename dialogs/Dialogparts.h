// Small builders the settings dialogs share: a captioned horizontal track
// bar with scale labels, a value label, and the OK/Cancel row.
#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QLabel;
class QPushButton;
class QSlider;
class QVBoxLayout;
class QWidget;

QSlider* AddTrackBar(QWidget* parent, QVBoxLayout* layout, const QString& caption,
                     const QStringList& scale, int minimum, int maximum,
                     int lineStep, int pageStep, int tickEvery, QLabel*& value,
                     const QString& unit);
void AddRule(QWidget* parent, QVBoxLayout* layout);
// Adds OK (BitBtn1) and Cancel (BitBtn2), wired to accept and reject.
void AddOkCancel(QDialog* dialog, QVBoxLayout* layout, QPushButton* extra = nullptr);
