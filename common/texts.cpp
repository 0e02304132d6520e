#include "common/texts.h"

namespace kivra::texts {
namespace {

// Why a named file is not read.
namespace file {
constexpr Bilingual kMissing{"böyle bir dosya yok", "there is no such file"};
constexpr Bilingual kNoPermission{"okuma izni yok", "no permission to read it"};
constexpr Bilingual kFolder{"bu bir klasör, dosya değil", "this is a folder, not a file"};
constexpr Bilingual kDevice{"bu bir aygıt, dosya değil", "this is a device, not a file"};
constexpr Bilingual kFifo{"bu bir boru (FIFO), dosya değil", "this is a pipe (FIFO), not a file"};
constexpr Bilingual kSocket{"bu bir soket, dosya değil", "this is a socket, not a file"};
constexpr Bilingual kNotRegular{"bu sıradan bir dosya değil", "this is not an ordinary file"};
constexpr Bilingual kReadFailed{"okunamadı: ", "cannot be read: "};
// "too large: a program file holds at most 1 MB"
constexpr Bilingual kTooLarge{"çok büyük: ", "too large: "};
constexpr Bilingual kAtMost{" en çok ", " holds at most "};
constexpr Bilingual kAtMostEnd{" olabilir", ""};
constexpr Bilingual kProgramFile{"bir program dosyası", "a program file"};
constexpr Bilingual kParameterFile{"bir parametre dosyası", "a parameter file"};
constexpr Bilingual kSettingsFile{"bir ayar dosyası", "a settings file"};
}  // namespace file

// Why a port did not open: "Comm Port 3 not opened!" and the reason.
namespace port {
constexpr Bilingual kNotOpened{" Açılamadı!", " not opened!"};
constexpr Bilingual kMissing{"Bu bilgisayarda böyle bir port yok.",
                             "There is no such port on this computer."};
constexpr Bilingual kNotSerial{"Bu bir seri port değil.", "This is not a serial port."};
constexpr Bilingual kBusy{"Port başka bir program tarafından kullanılıyor.",
                          "Another program is using the port."};
constexpr Bilingual kNoPermission{
    "İzin yok: dialout grubuna katılın (sudo usermod -aG dialout $USER), sonra yeniden oturum "
    "açın.",
    "No permission: join the dialout group (sudo usermod -aG dialout $USER), then log in "
    "again."};
constexpr Bilingual kNotChosen{"Port seçilmedi.", "No port was chosen."};
}  // namespace port

// The connection displays' words for the state of the link.
namespace link {
constexpr Bilingual kPortClosed{"port açık değil", "port not open"};
constexpr Bilingual kNotAnswering{"bağlantı yok", "not connected"};
constexpr Bilingual kAnswering{"bağlı", "connected"};
constexpr Bilingual kReconnecting{"yeniden bağlanıyor", "reconnecting"};
}  // namespace link

std::string SizeText(std::uint64_t bytes) {
  constexpr std::uint64_t kKilo = 1024, kMega = 1024 * 1024;
  if (bytes % kMega == 0) return std::to_string(bytes / kMega) + " MB";
  if (bytes % kKilo == 0) return std::to_string(bytes / kKilo) + " KB";
  return std::to_string(bytes) + " B";
}

const Bilingual& KindText(FileKind kind) {
  switch (kind) {
    case FileKind::Program:
      return file::kProgramFile;
    case FileKind::Parameters:
      return file::kParameterFile;
    case FileKind::Settings:
      break;
  }
  return file::kSettingsFile;
}

}  // namespace

std::string Fill(const Bilingual& text, Language language,
                 std::initializer_list<std::string_view> arguments) {
  const std::string_view format = Pick(text, language);
  std::string s;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c == '%' && i + 1 < format.size() && format[i + 1] >= '1' && format[i + 1] <= '9') {
      const std::size_t n = static_cast<std::size_t>(format[i + 1] - '1');
      if (n < arguments.size()) s += *(arguments.begin() + n);
      ++i;
    } else {
      s += c;
    }
  }
  return s;
}

std::string PortNotOpened(std::string_view port, Language language) {
  std::string s = "Comm Port ";
  s += port;
  s += Pick(port::kNotOpened, language);
  return s;
}

std::string PortNotOpened(std::string_view port, OpenFailure reason, std::string_view detail,
                          Language language) {
  std::string_view why = detail;
  switch (reason) {
    case OpenFailure::Missing:
      why = Pick(port::kMissing, language);
      break;
    case OpenFailure::NotSerial:
      why = Pick(port::kNotSerial, language);
      break;
    case OpenFailure::Busy:
      why = Pick(port::kBusy, language);
      break;
    case OpenFailure::NoPermission:
      why = Pick(port::kNoPermission, language);
      break;
    case OpenFailure::NotChosen:
      why = Pick(port::kNotChosen, language);
      break;
    case OpenFailure::Other:
      break;
  }
  std::string s = PortNotOpened(port, language);
  if (!why.empty()) {
    s += '\n';
    s += why;
  }
  return s;
}

std::string_view LinkStatusText(LinkStatus status, Language language) {
  switch (status) {
    case LinkStatus::PortClosed:
      return Pick(link::kPortClosed, language);
    case LinkStatus::NotAnswering:
      return Pick(link::kNotAnswering, language);
    case LinkStatus::Answering:
      return Pick(link::kAnswering, language);
    case LinkStatus::Reconnecting:
      return Pick(link::kReconnecting, language);
  }
  return {};
}

std::string FileNotRead(std::string_view path, const FileReadError& error, Language language) {
  std::string s(path);
  s += ": ";
  const auto say = [&](const Bilingual& text) { s += Pick(text, language); };
  switch (error.refusal) {
    case FileRefusal::Missing:
      say(file::kMissing);
      break;
    case FileRefusal::NoPermission:
      say(file::kNoPermission);
      break;
    case FileRefusal::Folder:
      say(file::kFolder);
      break;
    case FileRefusal::Device:
      say(file::kDevice);
      break;
    case FileRefusal::Fifo:
      say(file::kFifo);
      break;
    case FileRefusal::Socket:
      say(file::kSocket);
      break;
    case FileRefusal::NotRegular:
      say(file::kNotRegular);
      break;
    case FileRefusal::TooLarge:
      say(file::kTooLarge);
      say(KindText(error.kind));
      say(file::kAtMost);
      s += SizeText(MaxFileBytes(error.kind));
      say(file::kAtMostEnd);
      break;
    case FileRefusal::ReadFailed:
      say(file::kReadFailed);
      s += error.detail;
      break;
  }
  return s;
}

}  // namespace kivra::texts
