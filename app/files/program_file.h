#pragma once

// The program file format: the editor's text as code page 1254 bytes, every line break
// stored as CR CR LF (the form every existing program file has), no header, no terminator.
// A zero byte ends the text, so files with trailing zeros load unchanged.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>

class QMimeData;

#include "common/file_read.h"
#include "common/language.h"
#include "compiler/compile.h"

namespace kivra::app {

// Where the caret goes in a new program: on the first blank line under the header.
inline constexpr int kNewProgramCaret = 198;

// Bytes to editor text: everything before the first zero byte, with CR CR LF, CR LF, LF and
// a lone CR each read as one line break ("\n").
QString DecodeProgramText(const QByteArray& bytes);

// Editor text to bytes: each line break becomes CR CR LF; a character without a code page
// 1254 byte becomes '?'.
QByteArray EncodeProgramText(const QString& text);

// Reads with the checks every file the user names gets (common/file_read.h): a regular
// file of at most 1 MB, opened for reading only, so that write-protected programs load too.
// On failure nothing, and `error` says why.
std::optional<QString> ReadProgramFile(const QString& path, FileReadError& error);

// The name as the system's file functions take it.
std::string NativePath(const QString& path);

// Why a file was not read, after its path, as `kivra` says it: "/dev/zero: this is a
// device, not a file".
QString FileNotReadText(const QString& path, const FileReadError& error, Language language);

// Writes through a temporary file that replaces the target only when everything was
// written, so a failed save leaves an existing file as it was.
bool WriteProgramFile(const QString& path, const QString& text);

// The open command takes only files whose name contains ".KV3" (in any case), and never
// the dialog's own pattern "*.kv3" or a lone blank.
bool IsProgramFileName(const QString& path);

// The first local program file (a name containing ".KV3") among dropped files; empty when
// the drop carries none.
QString DroppedProgramFile(const QMimeData* mime);

// The eight lines a new program starts with; the first two depend on the language.
QString NewProgramHeader(Language language, const compiler::Timestamp& now);

// "Program" + n + ".KV3": the name a new program shows until it is saved.
QString GeneratedProgramName(std::uint8_t counter);

}  // namespace kivra::app
