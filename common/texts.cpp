#include "common/texts.h"

namespace kivra::texts {

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

}  // namespace kivra::texts
