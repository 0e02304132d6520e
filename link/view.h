#pragma once

// The engine decides, the window draws. LinkView is everything the link shows; AppHooks
// is what it asks of the application. Controls are named by the window's object names
// (the constants below), so a window finds its widget by name and tests read them back.

#include <cstdint>
#include <string>
#include <string_view>

namespace kivra::link {

enum class Colour { Lime, Red, ScrollBar, Window };
enum class MessageKind { Error, Warning, Plain };

// What the connection displays say beside the colour of their indicators.
enum class LinkStatus {
  PortClosed,    // no port open: nothing is sent
  NotAnswering,  // the port is open, the driver does not answer
  Answering,
  Reconnecting,  // the port's device went away; waiting for it to come back
};

class LinkView {
 public:
  virtual ~LinkView() = default;
  // Shapes (indicators) and the displacement box.
  virtual void SetColour(std::string_view control, Colour colour) = 0;
  // The state of the link, whenever it changes.
  virtual void ShowLinkStatus(LinkStatus status) = 0;
  // Static texts, edit boxes and button captions.
  virtual void SetText(std::string_view control, std::string_view utf8) = 0;
  // A message box with an OK button. The engine calls it only when its own state is
  // settled, so a box that runs a nested event loop (and more ticks) is safe.
  virtual void ShowMessage(MessageKind kind, std::string_view utf8) = 0;
  // The download progress window.
  virtual void ShowProgress(std::string_view caption, std::uint32_t maximum) = 0;
  virtual void SetProgressPosition(std::uint32_t position) = 0;
  virtual void HideProgress() = 0;
  // The program editor during debugging: select the whole text of a 1-based line (without
  // its line break) and scroll it into view.
  virtual void SelectEditorLine(std::uint32_t line) = 0;
  virtual void SetEditorReadOnly(bool readOnly) = 0;
  virtual void FocusEditor() = 0;
};

class AppHooks {
 public:
  virtual ~AppHooks() = default;
  // The current text of an input box (the engine reads the boxes when it sends).
  virtual std::string BoxText(std::string_view box) = 0;
  // The debug switch's work when the program was edited since: check, save, reload.
  virtual bool SourceEdited() = 0;
  virtual void ClearSourceEdited() = 0;
  virtual bool CheckProgram() = 0;  // true when the check produced a valid program
  virtual bool SaveProgram() = 0;   // true when the save succeeded
  virtual void ReloadProgram() = 0;
  // The 1-based editor line of the instruction at a code address, 0 for none (the
  // address lines of the last check). Called only with addresses below 2048.
  virtual std::uint32_t LineAtAddress(std::uint16_t address) = 0;
};

// Object names of the controls the link reads or writes.
namespace ctl {
// Connection indicators: status panel and direct-control tab.
inline constexpr std::string_view Connection = "Shape1";
inline constexpr std::string_view DriverConnection = "Shape13";
inline constexpr std::string_view MotorRunning = "Shape2";
inline constexpr std::string_view Script = "Shape26";
inline constexpr std::string_view ScriptDirect = "Shape14";
inline constexpr std::string_view Debug = "Shape25";
inline constexpr std::string_view Output1Direct = "Shape21";
inline constexpr std::string_view Output2Direct = "Shape22";
inline constexpr std::string_view ScriptButton = "Button3";
inline constexpr std::string_view DebugButton = "Button2";
inline constexpr std::string_view Temperature = "StaticText13";
inline constexpr std::string_view TemperatureDirect = "StaticText74";
inline constexpr std::string_view Analog1 = "StaticText49";
inline constexpr std::string_view Analog2 = "StaticText50";
inline constexpr std::string_view Analog1Direct = "StaticText69";
inline constexpr std::string_view Analog2Direct = "StaticText70";
inline constexpr std::string_view PortNumber = "StaticText15";
inline constexpr std::string_view PortNumberDirect = "StaticText55";
// Motor control group.
inline constexpr std::string_view Speed = "Edit23";
inline constexpr std::string_view RunCurrent = "Edit24";
inline constexpr std::string_view HoldCurrent = "Edit25";
inline constexpr std::string_view Microstep = "Edit26";
inline constexpr std::string_view Ramp = "Edit27";
inline constexpr std::string_view StartSpeed = "Edit28";
inline constexpr std::string_view Displacement = "Edit29";
inline constexpr std::string_view SpeedMode = "Edit35";
inline constexpr std::string_view SpeedCoefficient = "Edit36";
inline constexpr std::string_view Direction = "StaticText83";
// Memory access and the service values.
inline constexpr std::string_view MemoryAddress = "Edit3";
inline constexpr std::string_view MemoryData = "Edit4";
inline constexpr std::string_view Service1 = "Edit31";
inline constexpr std::string_view Service2 = "Edit32";
// "Shape<n>", n = 1..26.
std::string_view Shape(int n);
// Parameter boxes for Prm 9 .. Prm 25.
std::string_view ParameterBox(int prm);
}  // namespace ctl

}  // namespace kivra::link
