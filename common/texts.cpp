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

std::string_view Tr(Text text, bool english) {
  switch (text) {
    case Text::NoValidProgram:
      return english ? "No valid program!" : "Geçerli program yok!";
    case Text::DownloadError:
      return english ? "Download error!" : "Program Yazılamadı!";
    case Text::DownloadCaption:
      return english ? "Program Download" : "Program Gönderme";
    case Text::NumberExpected:
      return english ? "Number expected!" : "Sayı giriniz!";
    case Text::EnterNumber:
      return english ? "Enter number!" : "Numara Giriniz!";
    case Text::Left:
      return english ? "L" : "SOL";
    case Text::Right:
      return english ? "R" : "SAĞ";
    case Text::DownloadNoPort:
      return english ? "No connection: the port is not open!" : "Bağlantı yok: port açık değil!";
    case Text::DownloadWaitsForPort:
      return english ? "No connection: waiting for the port to come back!"
                     : "Bağlantı yok: portun geri gelmesi bekleniyor!";
    case Text::SimulatedDriverHint:
      return english
                 ? "Without a driver: Settings > Com Port ... offers the simulated driver (SIM)."
                 : "Sürücü yoksa: Ayarlar > Com Port ... simülasyon sürücüsünü (SIM) sunar.";
  }
  return {};
}

std::string PortNotOpened(std::string_view port, bool english) {
  std::string s = "Comm Port ";
  s += port;
  s += english ? " not opened!" : " Açılamadı!";
  return s;
}

std::string PortNotOpened(std::string_view port, OpenFailure reason, std::string_view detail,
                          bool english) {
  std::string_view why = detail;
  switch (reason) {
    case OpenFailure::Missing:
      why = english ? "There is no such port on this computer."
                    : "Bu bilgisayarda böyle bir port yok.";
      break;
    case OpenFailure::NotSerial:
      why = english ? "This is not a serial port." : "Bu bir seri port değil.";
      break;
    case OpenFailure::Busy:
      why = english ? "Another program is using the port."
                    : "Port başka bir program tarafından kullanılıyor.";
      break;
    case OpenFailure::NoPermission:
      why = english ? "No permission: join the dialout group (sudo usermod -aG dialout $USER), "
                      "then log in again."
                    : "İzin yok: dialout grubuna katılın (sudo usermod -aG dialout $USER), sonra "
                      "yeniden oturum açın.";
      break;
    case OpenFailure::NotChosen:
      why = english ? "No port was chosen." : "Port seçilmedi.";
      break;
    case OpenFailure::Other:
      break;
  }
  std::string s = PortNotOpened(port, english);
  if (!why.empty()) {
    s += '\n';
    s += why;
  }
  return s;
}

std::string_view LinkStatusText(LinkStatus status, bool english) {
  switch (status) {
    case LinkStatus::PortClosed:
      return english ? "port not open" : "port açık değil";
    case LinkStatus::NotAnswering:
      return english ? "not connected" : "bağlantı yok";
    case LinkStatus::Answering:
      return english ? "connected" : "bağlı";
    case LinkStatus::Reconnecting:
      return english ? "reconnecting" : "yeniden bağlanıyor";
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
