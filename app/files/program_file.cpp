#include "app/files/program_file.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QSaveFile>
#include <QUrl>
#include <algorithm>

#include "app/ui/texts.h"
#include "app/ui/ui_language.h"
#include "common/cp1254.h"
#include "common/texts.h"

namespace kivra::app {

QString DecodeProgramText(const QByteArray& bytes) {
  const qsizetype zero = bytes.indexOf('\0');
  const QByteArray text = zero < 0 ? bytes : bytes.left(zero);
  QString decoded =
      QString::fromStdString(Cp1254ToUtf8(std::string_view(text.constData(), text.size())));
  // CR CR LF first, so that its two CRs do not count as two breaks.
  decoded.replace(QStringLiteral("\r\r\n"), QStringLiteral("\n"));
  decoded.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  decoded.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return decoded;
}

QByteArray EncodeProgramText(const QString& text) {
  QString normalised = text;
  normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  normalised.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  normalised.replace(QChar::LineSeparator, QLatin1Char('\n'));
  normalised.replace(QLatin1Char('\n'), QStringLiteral("\r\r\n"));
  return QByteArray::fromStdString(Utf8ToCp1254(normalised.toStdString()));
}

std::optional<QString> ReadProgramFile(const QString& path, FileReadError& error) {
  const auto bytes = ReadCheckedFile(NativePath(path), FileKind::Program, error);
  if (!bytes) return std::nullopt;
  return DecodeProgramText(
      QByteArray::fromRawData(bytes->data(), static_cast<qsizetype>(bytes->size())));
}

std::string NativePath(const QString& path) {
#ifdef Q_OS_WIN
  return path.toStdString();  // UTF-8: the system's names there are text
#else
  return QFile::encodeName(path).toStdString();
#endif
}

QString FileNotReadText(const QString& path, const FileReadError& error, Language language) {
  return QString::fromStdString(texts::FileNotRead(path.toStdString(), error, language));
}

bool WriteProgramFile(const QString& path, const QString& text) {
  if (path.trimmed().isEmpty()) return false;
  const QByteArray bytes = EncodeProgramText(text);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

bool IsProgramFileName(const QString& path) {
  if (path == QStringLiteral("*.kv3") || path == QStringLiteral(" ")) return false;
  // Both separators, so that a folder named like a program never passes on any system.
  QString name = path.trimmed().toUpper();
  const qsizetype cut =
      std::max(name.lastIndexOf(QLatin1Char('\\')), name.lastIndexOf(QLatin1Char('/')));
  if (cut >= 0) name = name.mid(cut + 1);
  return name.contains(QStringLiteral(".KV3"));
}

QString DroppedProgramFile(const QMimeData* mime) {
  if (!mime || !mime->hasUrls()) return {};
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile() && IsProgramFileName(url.toLocalFile())) return url.toLocalFile();
  }
  return {};
}

QString NewProgramHeader(Language language, const compiler::Timestamp& now) {
  const UiLanguage words(language);
  QString header = words.Pick(texts::kNewProgramBanner);
  header += words.Pick(texts::kNewProgramDate) + QString::fromStdString(now.date) +
            words.Pick(texts::kNewProgramTime) + QString::fromStdString(now.time) +
            QLatin1Char('\n');
  header += QStringLiteral("       ;Program:                       \n");
  header += QStringLiteral("       ;#############################################\n");
  header += QStringLiteral("       \n       \n       \n");
  header += QStringLiteral("       END;\n");
  return header;
}

QString GeneratedProgramName(std::uint8_t counter) {
  return QStringLiteral("Program") + QString::number(counter) + QStringLiteral(".KV3");
}

}  // namespace kivra::app
