#include "app/shell/locale_format.h"

#include <QRegularExpression>

namespace kivra::app {

compiler::Timestamp FormatTimestamp(const QDateTime& when, const QLocale& locale) {
  // Qt's long time form names the time zone; the program header has never carried one.
  QString timeFormat = locale.timeFormat(QLocale::LongFormat);
  timeFormat.remove(QRegularExpression(QStringLiteral("\\s*\\(?t+\\)?")));
  return {locale.toString(when.date(), QLocale::ShortFormat).toStdString(),
          locale.toString(when.time(), timeFormat.trimmed()).toStdString()};
}

compiler::Clock SystemClock() {
  return [] { return FormatTimestamp(QDateTime::currentDateTime(), QLocale::system()); };
}

}  // namespace kivra::app
