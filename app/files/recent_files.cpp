#include "app/files/recent_files.h"

namespace kivra::app {
namespace {

// File names are case-insensitive on Windows only.
#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

}  // namespace

QStringList RemoveRecentFile(QStringList recent, const QString& path) {
  recent.removeIf([&](const QString& entry) { return entry.compare(path, kPathCase) == 0; });
  return recent;
}

QStringList AddRecentFile(QStringList recent, const QString& path) {
  if (path.trimmed().isEmpty()) return recent;
  recent = RemoveRecentFile(std::move(recent), path);
  recent.prepend(path);
  while (recent.size() > kRecentFileCount) recent.removeLast();
  return recent;
}

QStringList ParseRecentFiles(const QString& stored) {
  QStringList recent;
  for (const QString& line : stored.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    if (line.trimmed().isEmpty() || recent.size() >= kRecentFileCount) continue;
    if (RemoveRecentFile(recent, line).size() == recent.size()) recent << line;
  }
  return recent;
}

QString StoreRecentFiles(const QStringList& recent) {
  return recent.join(QLatin1Char('\n'));
}

}  // namespace kivra::app
