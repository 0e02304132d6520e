#include "app/shell/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace kivra::app {

QtTranslations::~QtTranslations() {
  if (installed_) QCoreApplication::removeTranslator(&turkish_);
}

void QtTranslations::Follow(Language language) {
  const bool turkish = !IsEnglish(language);
  if (turkish && !tried_) {
    tried_ = true;
    loaded_ = turkish_.load(QStringLiteral("qtbase_tr"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  }
  const bool wanted = turkish && loaded_;
  if (wanted && !installed_) {
    installed_ = QCoreApplication::installTranslator(&turkish_);
  } else if (!wanted && installed_) {
    QCoreApplication::removeTranslator(&turkish_);
    installed_ = false;
  }
}

}  // namespace kivra::app
