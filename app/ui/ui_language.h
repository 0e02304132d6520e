#pragma once

#include <QString>

#include "app/ui/texts.h"
#include "compiler/compile.h"

namespace kivra::app {

// The interface language. Texts already shown keep the language they were made in; every
// new text asks this object at the moment it is produced.
class UiLanguage {
 public:
  explicit UiLanguage(bool english = false) : english_(english) {}

  bool IsEnglish() const { return english_; }
  void SetEnglish(bool english) { english_ = english; }
  void Toggle() { english_ = !english_; }

  QString Pick(const Bilingual& text) const {
    return QString::fromUtf8(english_ ? text.english : text.turkish);
  }
  compiler::Language CompilerLanguage() const {
    return english_ ? compiler::Language::English : compiler::Language::Turkish;
  }

  // The stored LANGUAGE value: a decimal number whose low eight bits, when nonzero, mean
  // English. Anything that is not a decimal number falls back to Turkish.
  static bool FromSetting(const QString& value) {
    bool ok = false;
    const qlonglong n = value.trimmed().toLongLong(&ok, 10);
    return ok && (n & 0xFF) != 0;
  }
  static QString ToSetting(bool english) {
    return english ? QStringLiteral("1") : QStringLiteral("0");
  }

 private:
  bool english_;
};

}  // namespace kivra::app
