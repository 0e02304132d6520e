#pragma once

#include <QDateTime>
#include <QLocale>

#include "compiler/compile.h"

namespace kivra::app {

// The date in the locale's short form and the time in its long form (with seconds, without
// a time zone), as the banner of a check and the header of a new program show them.
compiler::Timestamp FormatTimestamp(const QDateTime& when, const QLocale& locale);

// The system clock in the user's locale.
compiler::Clock SystemClock();

}  // namespace kivra::app
