#pragma once

// The controls the application addresses, each once: its object name and its kind. The
// windows create these widgets with the names given here; the driver link, the presenter,
// the captions of texts.h and the tests find them by this enum, never by a name written
// anywhere else.

#include <QString>
#include <array>
#include <cstdint>
#include <span>

class QWidget;

namespace kivra::app {

enum class Control : std::uint16_t {
  // The status panel of the programming tab.
  Connection,
  PortNumber,
  Input1,
  Input2,
  Input3,
  Input4,
  Input5,
  Input6,
  Output1,
  Output2,
  StepDirMode,
  ControllerMode,
  Analog1,
  Analog2,
  Temperature,
  // Beside the message list.
  ScriptShape,
  ScriptButton,
  DebugShape,
  DebugButton,
  ReadProgramName,
  // The status group of the direct-control tab.
  DriverConnection,
  PortNumberDirect,
  ScriptDirect,
  Input1Direct,
  Input2Direct,
  Input3Direct,
  Input4Direct,
  Input5Direct,
  Input6Direct,
  Output1Direct,
  Output2Direct,
  StepDirModeDirect,
  ControllerModeDirect,
  Analog1Direct,
  Analog2Direct,
  TemperatureDirect,
  // The motor control group: each setting's box and write button.
  SpeedBox,
  SpeedWrite,
  RunCurrentBox,
  RunCurrentWrite,
  HoldCurrentBox,
  HoldCurrentWrite,
  MicrostepBox,
  MicrostepWrite,
  RampBox,
  RampWrite,
  StartSpeedBox,
  StartSpeedWrite,
  SpeedModeBox,
  SpeedModeWrite,
  SpeedCoefficientBox,
  SpeedCoefficientWrite,
  DisplacementBox,
  DisplacementWrite,
  Move,
  Left,
  Right,
  Direction,
  Run,
  Stop,
  ReadSettings,
  MotorRunning,
  // The parameter group: Prm 9 .. Prm 25 boxes, then their write buttons.
  Prm9Box,
  Prm25Box = Prm9Box + 16,
  Prm9Write,
  Prm25Write = Prm9Write + 16,
  ReadParameters,
  // Memory access (hidden until Ctrl+1) and the service values (never shown).
  MemoryAddressLabel,
  MemoryAddress,
  MemoryUp,
  MemoryDown,
  MemoryDataLabel,
  MemoryData,
  MemoryRead,
  MemoryWrite,
  Service1Box,
  Service2Box,
  Service1Write,
  Service2Write,
  ServiceRead,
  // Below the groups: why a value was not sent, or that the driver took it.
  DirectNote,
  // The parameter files of the direct-control page and the line that tells their course.
  SaveSettings,
  LoadSettings,
  CompareSettings,
  SettingsStatus,
  // The labels and frames of the direct-control page that only carry a caption.
  StatusGroupDirect,
  ConnectionCaptionDirect,
  ScriptCaptionDirect,
  ModeGroupDirect,
  ControllerCaptionDirect,
  InputGroupDirect,
  OutputGroupDirect,
  AnalogGroupDirect,
  TemperatureCaptionDirect,
  MotorGroup,
  SpeedCaption,
  RunCurrentCaption,
  HoldCurrentCaption,
  MicrostepCaption,
  RampCaption,
  StartSpeedCaption,
  SpeedModeCaption,
  SpeedCoefficientCaption,
  DisplacementCaption,
  DirectionCaption,
  ParametersGroup,
  // The programming page: its captions and the compact status panel's.
  ProgrammingTab,
  DirectControlTab,
  FileNameCaption,
  LineCaption,
  ColumnCaption,
  CodeUsedCaption,
  CodeRemainingCaption,
  CodeMemoryBar,
  MessagesCaption,
  StatusPanel,
  ConnectionCaption,
  ModeGroup,
  ControllerCaption,
  InputGroup,
  OutputGroup,
  AnalogGroup,
  TemperatureGroup,
  // The tool bar.
  NewProgramTool,
  OpenTool,
  SaveTool,
  SaveAsTool,
  CheckTool,
  DownloadTool,
  FindTool,
  UndoTool,
  LanguageTool,
  // The menus and their items.
  FileMenu,
  NewItem,
  OpenItem,
  SaveItem,
  SaveAsItem,
  RecentMenu,
  ExitItem,
  EditMenu,
  UndoItem,
  RedoItem,
  FindItem,
  FindNextItem,
  GoToLineItem,
  ProgramMenu,
  CheckItem,
  DownloadItem,
  SettingsMenu,
  ComPortItem,
  CommandCodeItem,
  FrameInspectorItem,
  LivePlotsItem,
  RecordStartItem,
  RecordStopItem,
  SimulatorPanelItem,
  HelpMenu,
  HelpItem,
  GuideItem,
  AboutItem,
  // The command-code window.
  CommandCodes,
  // The watch windows.
  InspectorWindow,
  InspectorHideStatus,
  InspectorPause,
  InspectorClear,
  InspectorCopy,
  InspectorSave,
  PlotsWindow,
  PlotSpanCaption,
  PlotPause,
  PlotExportCsv,
  PlotExportPng,
  SimulatorWindow,
  SimWorldGroup,
  SimAnalog1Caption,
  SimAnalog2Caption,
  SimTemperatureCaption,
  SimControllerMode,
  SimFaultGroup,
  SimDropAcks,
  SimGarbleStatus,
  SimSplitStatus,
  SimWrongLetter,
  SimSilence,
  SimClearFaults,
  SimUnplug,
};

inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::SimUnplug) + 1;

// The class each control is.
enum class ControlKind : std::uint8_t {
  Indicator,   // IndicatorShape
  Label,       // QLabel: a value the window shows, or a caption
  Box,         // QLineEdit
  Button,      // QPushButton
  ToolButton,  // QToolButton
  CheckBox,    // QCheckBox
  Group,       // QGroupBox
  Page,        // a page of a QTabWidget
  Window,      // a window of its own
  Bar,         // QProgressBar
  Menu,        // QMenu
  MenuItem,    // QAction
};

struct ControlRow {
  Control control;
  const char* objectName;
  ControlKind kind;
};

std::span<const ControlRow> ControlRows();
QString ObjectName(Control control);
ControlKind KindOf(Control control);

// The box and write button of driver parameter Prm `prm` (9..25).
Control ParameterBox(int prm);
Control ParameterWrite(int prm);
// Input n (1..6) and output n (1..2) of either status display.
Control InputShape(int n, bool direct);
Control OutputShape(int n, bool direct);

// The widgets of a window by control, found once after the window is built. Controls of
// other windows and menu items are not widgets of the window: they map to nothing.
class ControlMap {
 public:
  explicit ControlMap(QWidget* window);
  QWidget* Widget(Control control) const { return widgets_[static_cast<std::size_t>(control)]; }
  template <typename T>
  T* Get(Control control) const {
    return static_cast<T*>(Widget(control));
  }

 private:
  std::array<QWidget*, kControlCount> widgets_{};
};

}  // namespace kivra::app
