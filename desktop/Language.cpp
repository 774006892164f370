// The application's translator, owned by the application object and found
// again by its name, so switching needs no state of its own.
#include "Language.h"

#include <QCoreApplication>
#include <QTranslator>

namespace {

const char* const TranslatorName = "QuillonTranslator";

QTranslator* Installed() {
  QCoreApplication* app = QCoreApplication::instance();
  return app ? app->findChild<QTranslator*>(QLatin1String(TranslatorName), Qt::FindDirectChildrenOnly) : nullptr;
}

}  // namespace

bool UseLanguage(const std::string& language) {
  if (QTranslator* old = Installed()) {
    QCoreApplication::removeTranslator(old);
    delete old;
  }
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || language != "en") return false;
  auto* t = new QTranslator(app);
  t->setObjectName(QLatin1String(TranslatorName));
  if (!t->load(QStringLiteral(":/i18n/quillon_en.qm")) || !QCoreApplication::installTranslator(t)) {
    delete t;
    return false;
  }
  return true;
}

bool EnglishInUse() { return Installed() != nullptr; }
