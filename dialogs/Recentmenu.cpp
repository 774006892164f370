// The browse buttons' drop-down of recent images.
#include "Recentmenu.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

#include "Dialoghost.h"

void AddRecentMenu(QToolButton* browse, QLineEdit* edit, TRecentImages* const* recent, bool tapes,
                   const QString& failText) {
  auto* menu = new QMenu(browse);
  browse->setMenu(menu);
  browse->setPopupMode(QToolButton::MenuButtonPopup);
  QObject::connect(menu, &QMenu::aboutToShow, browse, [=] {
    menu->clear();
    const QStringList paths = *recent ? (*recent)->Paths(tapes) : QStringList();
    for (const QString& path : paths) {
      QAction* item = menu->addAction(QString(path).replace(QLatin1Char('&'), QStringLiteral("&&")));
      QObject::connect(item, &QAction::triggered, browse, [=] {
        if (QFileInfo::exists(path)) {
          edit->setText(path);
          return;
        }
        if (*recent) (*recent)->Forget(path);
        DialogHost().Warning(browse->window(), failText);
      });
    }
    if (paths.isEmpty()) menu->addAction(QCoreApplication::translate("TRecentMenu", "(なし)"))->setEnabled(false);
  });
}
