#include "link/texts.h"

namespace kivra::link {

std::string_view Tr(Text text, bool english) {
  switch (text) {
    case Text::NoValidProgram: return english ? "No valid program!" : "Geçerli program yok!";
    case Text::DownloadError: return english ? "Download error!" : "Program Yazılamadı!";
    case Text::DownloadCaption: return english ? "Program Download" : "Program Gönderme";
    case Text::NumberExpected: return english ? "Number expected!" : "Sayı giriniz!";
    case Text::EnterNumber: return english ? "Enter number!" : "Numara Giriniz!";
    case Text::Left: return english ? "L" : "SOL";
    case Text::Right: return english ? "R" : "SAĞ";
    case Text::Cancel: return english ? "CANCEL" : "IPTAL";
    case Text::ScriptSwitch: return "SCRIPT ON/OFF";
    case Text::DebugOn: return "DEBUG ON";
    case Text::DebugOff: return "DEBUG OFF";
  }
  return {};
}

std::string PortNotOpened(std::string_view port, bool english) {
  std::string s = "Comm Port ";
  s += port;
  s += english ? " not opened!" : " Açılamadı!";
  return s;
}

}  // namespace kivra::link
