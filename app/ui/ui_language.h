#pragma once

#include <QString>
#include <string_view>

#include "common/language.h"
#include "common/texts.h"

namespace kivra::app {

// A UTF-8 text of a catalogue, or of a layer below the window, as Qt shows it.
inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The interface language. Texts already shown keep the language they were made in; every
// new text asks this object at the moment it is produced.
class UiLanguage {
 public:
  explicit UiLanguage(Language language = Language::Turkish) : language_(language) {}

  Language Current() const { return language_; }
  void Set(Language language) { language_ = language; }
  void Toggle() { language_ = IsEnglish(language_) ? Language::Turkish : Language::English; }

  QString Pick(const texts::Bilingual& text) const {
    return ToQString(texts::Pick(text, language_));
  }

  // The stored LANGUAGE value: a decimal number whose low eight bits, when nonzero, mean
  // English. Anything that is not a decimal number falls back to Turkish.
  static Language FromSetting(const QString& value) {
    bool ok = false;
    const qlonglong n = value.trimmed().toLongLong(&ok, 10);
    return LanguageOf(ok && (n & 0xFF) != 0);
  }
  static QString ToSetting(Language language) {
    return IsEnglish(language) ? QStringLiteral("1") : QStringLiteral("0");
  }

 private:
  Language language_;
};

}  // namespace kivra::app
