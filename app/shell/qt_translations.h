#pragma once

// Qt's own texts (the standard buttons of message boxes, the file dialogs, the line
// number question) in the interface language: while the interface is Turkish, Qt's
// Turkish translations are installed. Without them on the machine Qt stays English.

#include <QTranslator>

#include "common/language.h"

namespace kivra::app {

class QtTranslations {
 public:
  QtTranslations() = default;
  ~QtTranslations();
  QtTranslations(const QtTranslations&) = delete;
  QtTranslations& operator=(const QtTranslations&) = delete;

  void Follow(Language language);

 private:
  QTranslator turkish_;
  bool tried_ = false;
  bool loaded_ = false;
  bool installed_ = false;
};

}  // namespace kivra::app
