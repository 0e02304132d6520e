#include "app/ui/controls.h"

#include <QWidget>

#include "app/ui/captions.h"

namespace kivra::app {
namespace {

using enum Control;
using K = ControlKind;

constexpr Control Offset(Control first, int n) {
  return static_cast<Control>(static_cast<int>(first) + n);
}

constexpr ControlRow kRows[] = {
    {Connection, "Shape1", K::Indicator},
    {PortNumber, "StaticText15", K::Label},
    {Input1, "Shape3", K::Indicator},
    {Input2, "Shape4", K::Indicator},
    {Input3, "Shape5", K::Indicator},
    {Input4, "Shape6", K::Indicator},
    {Input5, "Shape7", K::Indicator},
    {Input6, "Shape8", K::Indicator},
    {Output1, "Shape9", K::Indicator},
    {Output2, "Shape10", K::Indicator},
    {StepDirMode, "Shape11", K::Indicator},
    {ControllerMode, "Shape12", K::Indicator},
    {Analog1, "StaticText49", K::Label},
    {Analog2, "StaticText50", K::Label},
    {Temperature, "StaticText13", K::Label},
    {ScriptShape, "Shape26", K::Indicator},
    {ScriptButton, "Button3", K::Button},
    {DebugShape, "Shape25", K::Indicator},
    {DebugButton, "Button2", K::Button},
    {ReadProgramName, "Button22", K::Button},
    {DriverConnection, "Shape13", K::Indicator},
    {PortNumberDirect, "StaticText55", K::Label},
    {ScriptDirect, "Shape14", K::Indicator},
    {Input1Direct, "Shape15", K::Indicator},
    {Input2Direct, "Shape16", K::Indicator},
    {Input3Direct, "Shape17", K::Indicator},
    {Input4Direct, "Shape18", K::Indicator},
    {Input5Direct, "Shape19", K::Indicator},
    {Input6Direct, "Shape20", K::Indicator},
    {Output1Direct, "Shape21", K::Indicator},
    {Output2Direct, "Shape22", K::Indicator},
    {StepDirModeDirect, "Shape23", K::Indicator},
    {ControllerModeDirect, "Shape24", K::Indicator},
    {Analog1Direct, "StaticText69", K::Label},
    {Analog2Direct, "StaticText70", K::Label},
    {TemperatureDirect, "StaticText74", K::Label},
    {SpeedBox, "Edit23", K::Box},
    {SpeedWrite, "Button1", K::Button},
    {RunCurrentBox, "Edit24", K::Box},
    {RunCurrentWrite, "Button10", K::Button},
    {HoldCurrentBox, "Edit25", K::Box},
    {HoldCurrentWrite, "Button11", K::Button},
    {MicrostepBox, "Edit26", K::Box},
    {MicrostepWrite, "Button12", K::Button},
    {RampBox, "Edit27", K::Box},
    {RampWrite, "Button13", K::Button},
    {StartSpeedBox, "Edit28", K::Box},
    {StartSpeedWrite, "Button14", K::Button},
    {SpeedModeBox, "Edit35", K::Box},
    {SpeedModeWrite, "Button4", K::Button},
    {SpeedCoefficientBox, "Edit36", K::Box},
    {SpeedCoefficientWrite, "Button7", K::Button},
    {DisplacementBox, "Edit29", K::Box},
    {DisplacementWrite, "Button15", K::Button},
    {Move, "Button16", K::Button},
    {Left, "Button18", K::Button},
    {Right, "Button21", K::Button},
    {Direction, "StaticText83", K::Label},
    {Run, "Button5", K::Button},
    {Stop, "Button6", K::Button},
    {ReadSettings, "Button17", K::Button},
    {MotorRunning, "Shape2", K::Indicator},
    // Prm 9 .. Prm 20 are 16-bit, Prm 21 .. Prm 25 32-bit; the boxes' names do not follow
    // the parameter numbers.
    {Prm9Box, "Edit11", K::Box},
    {Offset(Prm9Box, 1), "Edit12", K::Box},
    {Offset(Prm9Box, 2), "Edit13", K::Box},
    {Offset(Prm9Box, 3), "Edit14", K::Box},
    {Offset(Prm9Box, 4), "Edit15", K::Box},
    {Offset(Prm9Box, 5), "Edit16", K::Box},
    {Offset(Prm9Box, 6), "Edit17", K::Box},
    {Offset(Prm9Box, 7), "Edit18", K::Box},
    {Offset(Prm9Box, 8), "Edit19", K::Box},
    {Offset(Prm9Box, 9), "Edit20", K::Box},
    {Offset(Prm9Box, 10), "Edit21", K::Box},
    {Offset(Prm9Box, 11), "Edit22", K::Box},
    {Offset(Prm9Box, 12), "Edit1", K::Box},
    {Offset(Prm9Box, 13), "Edit2", K::Box},
    {Offset(Prm9Box, 14), "Edit30", K::Box},
    {Offset(Prm9Box, 15), "Edit33", K::Box},
    {Prm25Box, "Edit34", K::Box},
    {Prm9Write, "Button23", K::Button},
    {Offset(Prm9Write, 1), "Button24", K::Button},
    {Offset(Prm9Write, 2), "Button25", K::Button},
    {Offset(Prm9Write, 3), "Button26", K::Button},
    {Offset(Prm9Write, 4), "Button27", K::Button},
    {Offset(Prm9Write, 5), "Button28", K::Button},
    {Offset(Prm9Write, 6), "Button29", K::Button},
    {Offset(Prm9Write, 7), "Button30", K::Button},
    {Offset(Prm9Write, 8), "Button31", K::Button},
    {Offset(Prm9Write, 9), "Button32", K::Button},
    {Offset(Prm9Write, 10), "Button33", K::Button},
    {Offset(Prm9Write, 11), "Button34", K::Button},
    {Offset(Prm9Write, 12), "Button35", K::Button},
    {Offset(Prm9Write, 13), "Button36", K::Button},
    {Offset(Prm9Write, 14), "Button37", K::Button},
    {Offset(Prm9Write, 15), "Button38", K::Button},
    {Prm25Write, "Button39", K::Button},
    {ReadParameters, "Button8", K::Button},
    {MemoryAddressLabel, "StaticText21", K::Label},
    {MemoryAddress, "Edit3", K::Box},
    {MemoryUp, "BitBtn1", K::Button},
    {MemoryDown, "BitBtn2", K::Button},
    {MemoryDataLabel, "StaticText22", K::Label},
    {MemoryData, "Edit4", K::Box},
    {MemoryRead, "Button40", K::Button},
    {MemoryWrite, "Button41", K::Button},
    {Service1Box, "Edit31", K::Box},
    {Service2Box, "Edit32", K::Box},
    {Service1Write, "Button9", K::Button},
    {Service2Write, "Button19", K::Button},
    {ServiceRead, "Button20", K::Button},
    {DirectNote, "DirectControlNote", K::Label},
    {SaveSettings, "SaveSettingsButton", K::Button},
    {LoadSettings, "LoadSettingsButton", K::Button},
    {CompareSettings, "CompareSettingsButton", K::Button},
    {SettingsStatus, "SettingsStatusText", K::Label},
    {StatusGroupDirect, "GroupBox11", K::Group},
    {ConnectionCaptionDirect, "StaticText57", K::Label},
    {ScriptCaptionDirect, "StaticText58", K::Label},
    {ModeGroupDirect, "GroupBox15", K::Group},
    {ControllerCaptionDirect, "StaticText72", K::Label},
    {InputGroupDirect, "GroupBox12", K::Group},
    {OutputGroupDirect, "GroupBox13", K::Group},
    {AnalogGroupDirect, "GroupBox14", K::Group},
    {TemperatureCaptionDirect, "StaticText71", K::Label},
    {MotorGroup, "GroupBox5", K::Group},
    {SpeedCaption, "StaticText75", K::Label},
    {RunCurrentCaption, "StaticText76", K::Label},
    {HoldCurrentCaption, "StaticText77", K::Label},
    {MicrostepCaption, "StaticText78", K::Label},
    {RampCaption, "StaticText79", K::Label},
    {StartSpeedCaption, "StaticText80", K::Label},
    {SpeedModeCaption, "StaticText95", K::Label},
    {SpeedCoefficientCaption, "StaticText97", K::Label},
    {DisplacementCaption, "StaticText81", K::Label},
    {DirectionCaption, "StaticText82", K::Label},
    {ParametersGroup, "GroupBox6", K::Group},
    {ProgrammingTab, "TabSheet1", K::Page},
    {DirectControlTab, "TabSheet2", K::Page},
    {FileNameCaption, "StaticText1", K::Label},
    {LineCaption, "Label1", K::Label},
    {ColumnCaption, "Label3", K::Label},
    {CodeUsedCaption, "StaticText9", K::Label},
    {CodeRemainingCaption, "StaticText12", K::Label},
    {CodeMemoryBar, "CodeMemoryBar", K::Bar},
    {MessagesCaption, "StaticText2", K::Label},
    {StatusPanel, "GroupBox2", K::Group},
    {ConnectionCaption, "StaticText19", K::Label},
    {ModeGroup, "GroupBox10", K::Group},
    {ControllerCaption, "StaticText53", K::Label},
    {InputGroup, "GroupBox7", K::Group},
    {OutputGroup, "GroupBox8", K::Group},
    {AnalogGroup, "GroupBox9", K::Group},
    {TemperatureGroup, "GroupBox17", K::Group},
    {NewProgramTool, "ToolButton6", K::ToolButton},
    {OpenTool, "ToolButton3", K::ToolButton},
    {SaveTool, "ToolButton9", K::ToolButton},
    {SaveAsTool, "ToolButton1", K::ToolButton},
    {CheckTool, "ToolButton8", K::ToolButton},
    {DownloadTool, "ToolButton11", K::ToolButton},
    {FindTool, "ToolButton13", K::ToolButton},
    {UndoTool, "ToolButton14", K::ToolButton},
    {LanguageTool, "ToolButton18", K::ToolButton},
    {FileMenu, "D1", K::Menu},
    {NewItem, "Y1", K::MenuItem},
    {OpenItem, "A1", K::MenuItem},
    {SaveItem, "Sakla1", K::MenuItem},
    {SaveAsItem, "Farklsakla1", K::MenuItem},
    {RecentMenu, "SonDosyalar1", K::Menu},
    {ExitItem, "N1", K::MenuItem},
    {EditMenu, "Duzen1", K::Menu},
    {UndoItem, "GeriAl1", K::MenuItem},
    {RedoItem, "Yinele1", K::MenuItem},
    {FindItem, "Bul1", K::MenuItem},
    {FindNextItem, "SonrakiniBul1", K::MenuItem},
    {GoToLineItem, "SatiraGit1", K::MenuItem},
    {ProgramMenu, "Program1", K::Menu},
    {CheckItem, "ProgramKontrol1", K::MenuItem},
    {DownloadItem, "SurucuyeYaz1", K::MenuItem},
    {SettingsMenu, "Ayarlar1", K::Menu},
    {ComPortItem, "ComPort1", K::MenuItem},
    {CommandCodeItem, "KomutKodu1", K::MenuItem},
    {FrameInspectorItem, "FrameInspector1", K::MenuItem},
    {LivePlotsItem, "LivePlots1", K::MenuItem},
    {RecordStartItem, "RecordStart1", K::MenuItem},
    {RecordStopItem, "RecordStop1", K::MenuItem},
    {SimulatorPanelItem, "SimulatorPanel1", K::MenuItem},
    {HelpMenu, "Yardm1", K::Menu},
    {HelpItem, "Yardm2", K::MenuItem},
    {GuideItem, "KullanimKilavuzu1", K::MenuItem},
    {AboutItem, "ProgramHakknda1", K::MenuItem},
    {CommandCodes, "TForm5", K::Window},
    {InspectorWindow, "FrameInspector", K::Window},
    {InspectorHideStatus, "InspectorHideStatus", K::CheckBox},
    {InspectorPause, "InspectorPause", K::Button},
    {InspectorClear, "InspectorClear", K::Button},
    {InspectorCopy, "InspectorCopy", K::Button},
    {InspectorSave, "InspectorSave", K::Button},
    {PlotsWindow, "LivePlots", K::Window},
    {PlotSpanCaption, "PlotWindowLabel", K::Label},
    {PlotPause, "PlotPause", K::Button},
    {PlotExportCsv, "PlotExportCsv", K::Button},
    {PlotExportPng, "PlotExportPng", K::Button},
    {SimulatorWindow, "SimulatorPanel", K::Window},
    {SimWorldGroup, "SimWorldGroup", K::Group},
    {SimAnalog1Caption, "SimAnalog1Label", K::Label},
    {SimAnalog2Caption, "SimAnalog2Label", K::Label},
    {SimTemperatureCaption, "SimTemperatureLabel", K::Label},
    {SimControllerMode, "SimControllerMode", K::CheckBox},
    {SimFaultGroup, "SimFaultGroup", K::Group},
    {SimDropAcks, "SimDropAcks", K::Button},
    {SimGarbleStatus, "SimGarbleStatus", K::Button},
    {SimSplitStatus, "SimSplitStatus", K::Button},
    {SimWrongLetter, "SimWrongLetter", K::Button},
    {SimSilence, "SimSilence", K::Button},
    {SimClearFaults, "SimClearFaults", K::Button},
    {SimUnplug, "SimUnplug", K::Button},
};
static_assert(std::size(kRows) == kControlCount);

constexpr bool RowsInEnumOrder() {
  for (std::size_t i = 0; i < std::size(kRows); ++i)
    if (static_cast<std::size_t>(kRows[i].control) != i) return false;
  return true;
}
static_assert(RowsInEnumOrder());

}  // namespace

std::span<const ControlRow> ControlRows() {
  return kRows;
}

QString ObjectName(Control control) {
  return QString::fromLatin1(kRows[static_cast<std::size_t>(control)].objectName);
}

ControlKind KindOf(Control control) {
  return kRows[static_cast<std::size_t>(control)].kind;
}

Control ParameterBox(int prm) {
  return Offset(Prm9Box, prm - 9);
}
Control ParameterWrite(int prm) {
  return Offset(Prm9Write, prm - 9);
}

Control InputShape(int n, bool direct) {
  return Offset(direct ? Input1Direct : Input1, n - 1);
}
Control OutputShape(int n, bool direct) {
  return Offset(direct ? Output1Direct : Output1, n - 1);
}

ControlMap::ControlMap(QWidget* window) {
  // The window's own controls: its secondary windows have names of their own.
  for (const ControlRow& row : kRows) {
    widgets_[static_cast<std::size_t>(row.control)] =
        qobject_cast<QWidget*>(FindControl(window, QString::fromLatin1(row.objectName)));
  }
}

}  // namespace kivra::app
