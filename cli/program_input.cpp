#include "cli/program_input.h"

#include <chrono>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>

#include "common/cp1254.h"
#include "common/texts.h"

namespace kivra::cli {

std::vector<std::string> ProgramLines(std::string_view fileBytes) {
  const auto nul = fileBytes.find('\0');
  if (nul != std::string_view::npos) fileBytes = fileBytes.substr(0, nul);
  return compiler::SplitLines(Cp1254ToUtf8(fileBytes));
}

std::optional<std::string> ReadFileBytes(const std::string& path, FileKind kind, Language language,
                                         std::string& reason) {
  FileReadError error;
  auto bytes = ReadCheckedFile(path, kind, error);
  if (!bytes) reason = texts::FileNotRead(path, error, language);
  return bytes;
}

std::optional<compiler::Language> ParseLanguage(std::string_view name) {
  if (name == "en") return compiler::Language::English;
  if (name == "tr") return compiler::Language::Turkish;
  return std::nullopt;
}

void PrintCheck(std::ostream& out, const compiler::CompileResult& result, bool withListing) {
  out << result.messages;
  if (withListing) out << result.listingText;
  out.flush();
}

namespace {

std::string Format(const std::tm& tm, const char* format) {
  std::ostringstream os;
  try {
    os.imbue(std::locale(""));
  } catch (const std::runtime_error&) {
    // An unknown LANG or LC_ALL: keep the classic locale rather than fail the check.
  }
  os << std::put_time(&tm, format);
  return std::move(os).str();
}

}  // namespace

compiler::Clock LocalClock() {
  return [] {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &now);
#else
    localtime_r(&now, &tm);
#endif
    return compiler::Timestamp{Format(tm, "%x"), Format(tm, "%X")};
  };
}

}  // namespace kivra::cli
