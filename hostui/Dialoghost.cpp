// Qt side of the dialogs' host services and the frame shared by every modal
// dialog of the emulator.
#include "Dialoghost.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>

void TQtDialogHost::Warning(QWidget* parent, const QString& text) {
  QMessageBox::warning(parent, QStringLiteral("Quillon"), text, QMessageBox::Ok);
}

bool TQtDialogHost::Question(QWidget* parent, const QString& text) {
  return QMessageBox::question(parent, QStringLiteral("Quillon"), text,
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

QString TQtDialogHost::OpenFileName(QWidget* parent, const QString& filter,
                                    const QString& defaultSuffix,
                                    const QString& startPath) {
  return FileName(parent, filter, defaultSuffix, startPath, true);
}

QString TQtDialogHost::OpenOrNewFileName(QWidget* parent, const QString& filter,
                                         const QString& defaultSuffix,
                                         const QString& startPath) {
  return FileName(parent, filter, defaultSuffix, startPath, false);
}

QString TQtDialogHost::FileName(QWidget* parent, const QString& filter,
                                const QString& defaultSuffix, const QString& startPath,
                                bool mustExist) {
  QFileDialog dialog(parent, QString(), startPath, filter);
  dialog.setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix(defaultSuffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return QString();
  return QFileInfo(dialog.selectedFiles().first()).absoluteFilePath();
}

QString TQtDialogHost::SaveFileName(QWidget* parent, const QString& filter,
                                    const QString& defaultSuffix,
                                    const QString& startPath) {
  QFileDialog dialog(parent, QString(), startPath, filter);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setDefaultSuffix(defaultSuffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return QString();
  return QFileInfo(dialog.selectedFiles().first()).absoluteFilePath();
}

int TQtDialogHost::Choose(QWidget* parent, const QString& text,
                          const QStringList& items, int current) {
  bool ok = false;
  const QString item = QInputDialog::getItem(parent, QStringLiteral("Quillon"), text,
                                             items, current, false, &ok);
  return ok ? static_cast<int>(items.indexOf(item)) : -1;
}

namespace {
TQtDialogHost QtHost;
TDialogHost* CurrentHost = &QtHost;
}  // namespace

TDialogHost& DialogHost() { return *CurrentHost; }

void SetDialogHost(TDialogHost* host) { CurrentHost = host ? host : &QtHost; }

void CenterOnScreen(QWidget* window) {
  QScreen* screen = window->screen() ? window->screen()
                                     : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  const QSize size = window->frameGeometry().size();
  window->move(area.x() + (area.width() - size.width()) / 2,
               area.y() + (area.height() - size.height()) / 2);
}

TModalForm::TModalForm(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setModal(true);
}

void TModalForm::SetClientSize(int width, int height) {
  setFixedSize(width, height);
}

int TModalForm::ShowModal() {
  adjustSize();
  CenterOnScreen(this);
  return exec();
}

void TModalForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) {
    Closing = false;
    FormShow();
  }
}

void TModalForm::done(int result) {
  // The close rule runs once per showing, whatever ended it: OK, Cancel,
  // Escape or the close box.
  if (!Closing) {
    Closing = true;
    FormClose(result == QDialog::Accepted);
    if (result == QDialog::Accepted && OnCommit) OnCommit();
  }
  QDialog::done(result);
}
