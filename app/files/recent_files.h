#pragma once

// The programs last loaded or saved, newest first, for the file menu. They are kept in a
// settings value of their own, RECENTFILES, one path per line.

#include <QString>
#include <QStringList>

namespace kivra::app {

inline constexpr int kRecentFileCount = 8;

namespace setting {
inline const QString kRecentFiles = QStringLiteral("RECENTFILES");
}  // namespace setting

// `path` first, without an earlier entry of the same file, at most eight entries.
QStringList AddRecentFile(QStringList recent, const QString& path);
QStringList RemoveRecentFile(QStringList recent, const QString& path);

QStringList ParseRecentFiles(const QString& stored);
QString StoreRecentFiles(const QStringList& recent);

}  // namespace kivra::app
