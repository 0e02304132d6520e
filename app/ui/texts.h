#pragma once

// Every text the window shows, in both languages, UTF-8, in one catalogue: the captions
// and hints the language switch sets, keyed by the control they go on, then every text
// that is picked at the moment it is shown, each named for what it says. Texts the window
// shares with `kivra` are in common/texts.h. A text that is the same in both languages is
// a plain string_view here, so that nobody translates it by mistake.

#include <cstdint>
#include <iterator>
#include <string_view>

#include "app/ui/controls.h"
#include "common/texts.h"
#include "link/values.h"

namespace kivra::texts {

using app::Control;

// --- The relabelling table: what the language switch sets, all at once ---

enum class TextRole : std::uint8_t { Caption, Hint };

struct Caption {
  Control control;
  TextRole role;
  Bilingual text;
};

// Every caption stays letter for letter as it is, "Operating Mode" beside "Operation Mode"
// and "Initial Speed[rmp]" included: instructions written for the window quote them.
inline constexpr Caption kCaptions[] = {
    // Tool bar hints.
    {Control::NewProgramTool, TextRole::Hint, {"Yeni Program", "New Program"}},
    {Control::OpenTool, TextRole::Hint, {"Program Aç", "Open File"}},
    {Control::SaveTool, TextRole::Hint, {"Program Sakla", "Save File"}},
    {Control::SaveAsTool, TextRole::Hint, {"Farklı Sakla", "Save as"}},
    {Control::CheckTool, TextRole::Hint, {"Program Kontrol", "Check Program"}},
    {Control::DownloadTool, TextRole::Hint, {"Sürücüye Yaz", "Download Driver"}},
    {Control::FindTool, TextRole::Hint, {"Bul", "Find"}},
    {Control::UndoTool, TextRole::Hint, {"Geri Al", "Undo"}},
    // The button names the language it switches to.
    {Control::LanguageTool, TextRole::Hint, {"English", "Türkçe"}},
    // Main menu.
    {Control::FileMenu, TextRole::Caption, {"Dosya", "File"}},
    {Control::SettingsMenu, TextRole::Caption, {"Ayarlar", "Settings"}},
    {Control::HelpMenu, TextRole::Caption, {"Yardım", "Help"}},
    {Control::NewItem, TextRole::Caption, {"Yeni", "New"}},
    {Control::OpenItem, TextRole::Caption, {"Aç", "Open"}},
    {Control::SaveItem, TextRole::Caption, {"Sakla", "Save"}},
    {Control::SaveAsItem, TextRole::Caption, {"Farklı sakla", "Save as ..."}},
    {Control::ExitItem, TextRole::Caption, {"Çıkış", "Exit"}},
    {Control::HelpItem, TextRole::Caption, {"Yardım", "Help"}},
    {Control::GuideItem, TextRole::Caption, {"Kullanım Kılavuzu", "User Guide"}},
    {Control::AboutItem, TextRole::Caption, {"Program Hakkında", "About"}},
    // Pages and the programming page.
    {Control::ProgrammingTab, TextRole::Caption, {"Programlama", "Program Edit"}},
    {Control::DirectControlTab, TextRole::Caption, {"Doğrudan Kontrol", "Direct Control"}},
    {Control::FileNameCaption, TextRole::Caption, {"Program Giriş", "Program Edit"}},
    {Control::LineCaption, TextRole::Caption, {"Satır", "Line"}},
    {Control::ColumnCaption, TextRole::Caption, {"Sütun", "Column"}},
    {Control::MessagesCaption, TextRole::Caption, {"Program Hataları", "Program Errors"}},
    {Control::CodeUsedCaption, TextRole::Caption, {"Kod", "Code used"}},
    {Control::CodeRemainingCaption, TextRole::Caption, {"Kalan", "Code Remaining"}},
    // Driver status panel on the programming page.
    {Control::StatusPanel, TextRole::Caption, {"Sürücü Durumu", "Driver Status"}},
    {Control::ConnectionCaption, TextRole::Caption, {"Bağlantı", "Connection"}},
    {Control::ModeGroup, TextRole::Caption, {"Çalışma Modu", "Operating Mode"}},
    {Control::ControllerCaption, TextRole::Caption, {"Kontrolor", "Controller"}},
    {Control::InputGroup, TextRole::Caption, {"Giriş", "Input"}},
    {Control::OutputGroup, TextRole::Caption, {"Çıkış", "Output"}},
    {Control::TemperatureGroup, TextRole::Caption, {"Sıcaklık", "Temperature"}},
    {Control::AnalogGroup, TextRole::Caption, {"Analog Giriş", "Analog Input"}},
    // Direct-control page, status group.
    {Control::StatusGroupDirect, TextRole::Caption, {"Sürücü Durumu", "Driver Status"}},
    {Control::ConnectionCaptionDirect,
     TextRole::Caption,
     {"Sürücü Bağlantısı", "Driver Connection"}},
    {Control::ScriptCaptionDirect, TextRole::Caption, {"Script Çalışma", "Script Operation"}},
    {Control::ModeGroupDirect, TextRole::Caption, {"Çalışma Modu", "Operation Mode"}},
    {Control::InputGroupDirect, TextRole::Caption, {"Giriş", "Input"}},
    {Control::OutputGroupDirect, TextRole::Caption, {"Çıkış", "Output"}},
    {Control::TemperatureCaptionDirect, TextRole::Caption, {"Sıcaklık-(C)", "Temperature-(C)"}},
    {Control::AnalogGroupDirect, TextRole::Caption, {"Analog Giriş", "Analog Input"}},
    {Control::ControllerCaptionDirect, TextRole::Caption, {"Kontrolor", "Controller"}},
    // Direct-control page, motor control and parameters.
    {Control::MotorGroup, TextRole::Caption, {"Motor Kontrol", "Motor Control"}},
    {Control::ParametersGroup, TextRole::Caption, {"Parametreler", "Parameters"}},
    {Control::ReadSettings, TextRole::Caption, {"OKU", "READ"}},
    {Control::ReadParameters, TextRole::Caption, {"OKU", "READ"}},
    // Direct-control page, the parameter files.
    {Control::SaveSettings, TextRole::Caption, {"Ayarları Kaydet…", "Save settings…"}},
    {Control::LoadSettings, TextRole::Caption, {"Ayarları Yükle…", "Load settings…"}},
    {Control::CompareSettings, TextRole::Caption, {"Karşılaştır…", "Compare…"}},
    // The motor settings' write buttons; the parameters' read "YAZ" in both languages
    // (kParameterWrite).
    {Control::SpeedWrite, TextRole::Caption, {"YAZ", "SET"}},
    {Control::RunCurrentWrite, TextRole::Caption, {"YAZ", "SET"}},
    {Control::HoldCurrentWrite, TextRole::Caption, {"YAZ", "SET"}},
    {Control::MicrostepWrite, TextRole::Caption, {"YAZ", "SET"}},
    {Control::RampWrite, TextRole::Caption, {"YAZ", "SET"}},
    {Control::StartSpeedWrite, TextRole::Caption, {"YAZ", "SET"}},
    {Control::DisplacementWrite, TextRole::Caption, {"YAZ", "SET"}},
    {Control::SpeedModeWrite, TextRole::Caption, {"YAZ", "SET"}},
    {Control::SpeedCoefficientWrite, TextRole::Caption, {"YAZ", "SET"}},
    {Control::Left, TextRole::Caption, {"SOL", "LEFT"}},
    {Control::Right, TextRole::Caption, {"SAĞ", "RIGHT"}},
    {Control::SpeedCaption, TextRole::Caption, {"Motor Hızı[d/d]", "Speed[rpm]"}},
    {Control::RunCurrentCaption, TextRole::Caption, {"Motor çalışma akımı", "RUN Current"}},
    {Control::HoldCurrentCaption, TextRole::Caption, {"Motor bekleme akımı", "BLOCK Current[%]"}},
    {Control::MicrostepCaption, TextRole::Caption, {"Mikro step", "Micro step"}},
    {Control::RampCaption, TextRole::Caption, {"Rampa[(d/d)/s]", "Acceleration[rpm/sec]"}},
    {Control::StartSpeedCaption, TextRole::Caption, {"Kalkış Hızı[d/d]", "Initial Speed[rmp]"}},
    {Control::DisplacementCaption, TextRole::Caption, {"Yerdeğiştirme", "Displacement"}},
    {Control::DirectionCaption, TextRole::Caption, {"Dönüş Yönü", "Direction"}},
    {Control::SpeedModeCaption, TextRole::Caption, {"Hız Modu", "Speed Mode"}},
    {Control::SpeedCoefficientCaption,
     TextRole::Caption,
     {"Hız Katsayısı[mm/tur]", "Speed index[mm/rev]"}},
    // Command-code window.
    {Control::CommandCodes, TextRole::Caption, {"Komut Kodu", "Command Codes"}},
    // The edit and program menus, the recent files and the code memory bar.
    {Control::EditMenu, TextRole::Caption, {"Düzen", "Edit"}},
    {Control::ProgramMenu, TextRole::Caption, {"Program", "Program"}},
    {Control::RecentMenu, TextRole::Caption, {"Son Dosyalar", "Recent Files"}},
    {Control::UndoItem, TextRole::Caption, {"Geri Al", "Undo"}},
    {Control::RedoItem, TextRole::Caption, {"Yinele", "Redo"}},
    {Control::FindItem, TextRole::Caption, {"Bul", "Find"}},
    {Control::FindNextItem, TextRole::Caption, {"Sonrakini Bul", "Find Next"}},
    {Control::GoToLineItem, TextRole::Caption, {"Satıra Git ...", "Go to Line ..."}},
    {Control::CheckItem, TextRole::Caption, {"Program Kontrol", "Check Program"}},
    {Control::DownloadItem, TextRole::Caption, {"Sürücüye Yaz", "Download Driver"}},
    {Control::CodeMemoryBar,
     TextRole::Hint,
     {"Kod belleği: kullanılan / 2048 Byte", "Code memory: used / 2048 bytes"}},
    // Watching the link: the settings menu's items and the windows they open.
    {Control::FrameInspectorItem, TextRole::Caption, {"Çerçeve İzleyici", "Frame Inspector"}},
    {Control::LivePlotsItem, TextRole::Caption, {"Canlı Grafikler", "Live Plots"}},
    {Control::RecordStartItem,
     TextRole::Caption,
     {"Durum Kaydını Başlat ...", "Start Status Recording ..."}},
    {Control::RecordStopItem, TextRole::Caption, {"Durum Kaydını Durdur", "Stop Status Recording"}},
    {Control::SimulatorPanelItem,
     TextRole::Caption,
     {"Simülasyon Sürücüsü Paneli", "Simulated Driver Panel"}},
    {Control::InspectorWindow, TextRole::Caption, {"Çerçeve İzleyici", "Frame Inspector"}},
    {Control::InspectorHideStatus,
     TextRole::Caption,
     {"Durum sorgularını gizle", "Hide status polls"}},
    {Control::InspectorPause, TextRole::Caption, {"Duraklat", "Pause"}},
    {Control::InspectorClear, TextRole::Caption, {"Temizle", "Clear"}},
    {Control::InspectorCopy, TextRole::Caption, {"Kopyala", "Copy"}},
    {Control::InspectorSave, TextRole::Caption, {"Kaydet ...", "Save ..."}},
    {Control::PlotsWindow, TextRole::Caption, {"Canlı Grafikler", "Live Plots"}},
    {Control::PlotSpanCaption, TextRole::Caption, {"Zaman aralığı:", "Time window:"}},
    {Control::PlotPause, TextRole::Caption, {"Duraklat / geri kaydır", "Pause / scroll back"}},
    {Control::PlotExportCsv, TextRole::Caption, {"CSV kaydet ...", "Export CSV ..."}},
    {Control::PlotExportPng, TextRole::Caption, {"PNG kaydet ...", "Export PNG ..."}},
    {Control::SimulatorWindow, TextRole::Caption, {"Simülasyon Sürücüsü", "Simulated Driver"}},
    {Control::SimWorldGroup,
     TextRole::Caption,
     {"Girişler, analog değerler, sıcaklık, mod", "Inputs, analog values, temperature, mode"}},
    {Control::SimAnalog1Caption, TextRole::Caption, {"Analog giriş 1", "Analog input 1"}},
    {Control::SimAnalog2Caption, TextRole::Caption, {"Analog giriş 2", "Analog input 2"}},
    {Control::SimTemperatureCaption, TextRole::Caption, {"Sıcaklık (°C)", "Temperature (°C)"}},
    {Control::SimControllerMode,
     TextRole::Caption,
     {"Kontrolor modu (kapalı: Step/Dir)", "Controller mode (off: Step/Dir)"}},
    {Control::SimFaultGroup, TextRole::Caption, {"Hatalar", "Faults"}},
    {Control::SimDropAcks, TextRole::Caption, {"3 onayı düşür", "Drop 3 acknowledgements"}},
    {Control::SimGarbleStatus,
     TextRole::Caption,
     {"5 durum yanıtını boz", "Garble 5 status replies"}},
    {Control::SimSplitStatus,
     TextRole::Caption,
     {"5 durum yanıtını böl", "Split 5 status replies"}},
    {Control::SimWrongLetter,
     TextRole::Caption,
     {"3 yanıtta yanlış harf", "Wrong letter in 3 replies"}},
    {Control::SimSilence, TextRole::Caption, {"3 saniye sessizlik", "Silence for 3 seconds"}},
    {Control::SimClearFaults, TextRole::Caption, {"Hataları temizle", "Clear faults"}},
    {Control::SimUnplug, TextRole::Caption, {"Adaptörü çıkar / tak", "Unplug / plug the adapter"}},
};

// The letter Alt picks a menu or item by: the text the underline goes before, in each
// language. Unique within each menu.
struct AltLetter {
  Control control;
  Bilingual before;
};

inline constexpr AltLetter kAltLetters[] = {
    {Control::FileMenu, {"D", "F"}},       {Control::EditMenu, {"z", "E"}},
    {Control::ProgramMenu, {"P", "P"}},    {Control::SettingsMenu, {"A", "S"}},
    {Control::HelpMenu, {"Y", "H"}},       {Control::NewItem, {"Y", "N"}},
    {Control::OpenItem, {"A", "O"}},       {Control::SaveItem, {"S", "S"}},
    {Control::SaveAsItem, {"F", "as"}},    {Control::RecentMenu, {"D", "R"}},
    {Control::ExitItem, {"Ç", "x"}},       {Control::UndoItem, {"G", "U"}},
    {Control::RedoItem, {"Y", "R"}},       {Control::FindItem, {"B", "F"}},
    {Control::FindNextItem, {"S", "N"}},   {Control::GoToLineItem, {"r", "G"}},
    {Control::CheckItem, {"K", "C"}},      {Control::DownloadItem, {"Y", "D"}},
    {Control::HelpItem, {"Y", "H"}},       {Control::GuideItem, {"K", "U"}},
    {Control::AboutItem, {"P", "A"}},      {Control::FrameInspectorItem, {"z", "F"}},
    {Control::LivePlotsItem, {"G", "L"}},  {Control::RecordStartItem, {"D", "R"}},
    {Control::RecordStopItem, {"r", "t"}}, {Control::SimulatorPanelItem, {"S", "S"}},
};

// --- Texts that are the same in both languages ---

inline constexpr std::string_view kWindowTitle = "Kivra-PS";
// The settings menu's items that keep their caption, with the '&' before their Alt letter.
inline constexpr std::string_view kComPortItem = "&Com Port ...";
inline constexpr std::string_view kCommandCodeItem = "&Komut Kodu";
// The switches beside the message list. The debug switch names the action its next click
// performs once it has been clicked.
inline constexpr std::string_view kScriptSwitch = "SCRIPT ON/OFF";
inline constexpr std::string_view kDebugSwitch = "DEBUG ON/OFF";
inline constexpr std::string_view kDebugOn = "DEBUG ON";
inline constexpr std::string_view kDebugOff = "DEBUG OFF";
// The code counters' unit.
inline constexpr std::string_view kBytesUnit = "Byte";
// The status displays.
inline constexpr std::string_view kCommPortCaption = "Comm Port ";
inline constexpr std::string_view kStepDirCaption = "Step/Dir";
inline constexpr std::string_view kCelsius = "C";
// The motor control group.
inline constexpr std::string_view kMotorRun = "Motor RUN";
inline constexpr std::string_view kMotorStop = "Motor STOP";
inline constexpr std::string_view kMove = "MOVE";
// The parameters group: %1 is the parameter's number.
inline constexpr std::string_view kSixteenBit = "16-bit";
inline constexpr std::string_view kThirtyTwoBit = "32-bit";
inline constexpr std::string_view kParameterCaption = "Prm %1:";
inline constexpr std::string_view kParameterWrite = "YAZ";
// The memory-access controls.
inline constexpr std::string_view kMemoryAddressCaption = "Adres";
inline constexpr std::string_view kMemoryUp = "Up";
inline constexpr std::string_view kMemoryDown = "Down";
inline constexpr std::string_view kMemoryDataCaption = "Data";
inline constexpr std::string_view kMemoryRead = "eeOKU";
inline constexpr std::string_view kMemoryWrite = "eeYAZ";
// The port dialog and the question for port number 0.
inline constexpr std::string_view kPortDialogTitle = "Com Port";
inline constexpr std::string_view kPortNumberCaption = "Comm port ";
inline constexpr std::string_view kPortOk = "OK";
// The About box: its version line starts with the product, its firmware line with this.
inline constexpr std::string_view kAboutVersionLine = "KIVRA-PS: ";
inline constexpr std::string_view kAboutFirmwareLine = "Driver Firmware Ver:";
// The meter while a recording runs.
inline constexpr std::string_view kMeterRecording = "  ● REC";
// The plots' time windows: %1 seconds or minutes.
inline constexpr std::string_view kPlotSpanSeconds = "%1 s";
inline constexpr std::string_view kPlotSpanMinutes = "%1 min";
// The program file dialogs' filters. File names are case-sensitive outside Windows, and
// programs copied from other systems are often *.kv3.
inline constexpr std::string_view kProgramFilesFilter = "Kivra3 program files (*.KV3)";
inline constexpr std::string_view kProgramFilesAnyCaseFilter = "Kivra3 program files (*.KV3 *.kv3)";
inline constexpr std::string_view kAllFilesWindowsFilter = "All files (*.*)";
inline constexpr std::string_view kAllFilesFilter = "All files (*)";

// --- Texts picked when they are shown ---

// The exit command, the window close, the open command and the new-program command each
// ask whether to save; the Turkish is the same for all of them, the English wording differs.
inline constexpr Bilingual kSaveOnExit{"Program Değişti!\n Kayıt Edilsin mi?",
                                       "Program Changed!\n Save file?"};
inline constexpr Bilingual kSaveOnClose{"Program Değişti!\n Kayıt Edilsin mi?",
                                        "Program changed!\n Save?"};
inline constexpr Bilingual kSaveOnOpen = kSaveOnExit;
inline constexpr Bilingual kSaveOnNew{"Program Değişti!\n Kayıt Edilsin mi?",
                                      "Program Changed!\n    Save?"};
inline constexpr Bilingual kStartNewProgram{"Yeni Program Girişi \n Başlatılsın mı?",
                                            "New Program  \n Continue?"};

// Both follow the path in double quotation marks.
inline constexpr Bilingual kOverwriteOnSave{" dosyası var! \nÜzerine Yazılsın mı?",
                                            " file exist! \nOverwrite?"};
inline constexpr Bilingual kOverwriteOnSaveAs{" dosyası var! \nÜzerine Yazılsın mı?",
                                              " file already exist! \nOverwrite?"};

// Followed by a line break and the path.
inline constexpr Bilingual kSaveFailed{"Program kaydedilemedi!", "Program could not be saved!"};

// A program named from outside the open dialog (recent files, a drop, the command line)
// that can't be read; followed by a line break and the path.
inline constexpr Bilingual kFileNotOpened{"Program dosyası açılamadı!",
                                          "Program file could not be opened!"};

inline constexpr Bilingual kOpenTitle{"Program Aç", "Open File"};
inline constexpr Bilingual kSaveTitle{"Program Sakla", "Save File"};

// The first lines of a new program: the banner, then the date and the time after these.
inline constexpr Bilingual kNewProgramBanner{
    "       ;###########  KIVRA3 Program Dosyası  ########\n",
    "       ;###########  KIVRA3  Program File    ########\n"};
inline constexpr Bilingual kNewProgramDate{"       ;Tarih  :", "       ;Date  :"};
inline constexpr Bilingual kNewProgramTime{"  Saat :", "  Time :"};

inline constexpr Bilingual kEndOfSearch{"Arama sonu!", "End of search!"};

inline constexpr Bilingual kFindTitle{"Bul", "Find"};
inline constexpr Bilingual kFindWhat{"Aranan:", "Find what:"};
inline constexpr Bilingual kFindNext{"Sonrakini Bul", "Find Next"};
inline constexpr Bilingual kFindClose{"Kapat", "Close"};

inline constexpr Bilingual kGoToLineTitle{"Satıra Git", "Go to Line"};
// Followed by the number of the last line and "):".
inline constexpr Bilingual kGoToLineLabel{"Satır numarası (1 - ", "Line number (1 - "};

inline constexpr Bilingual kHelpTitle{"Kivra-PS Yardım", "Kivra-PS Help"};
inline constexpr Bilingual kHelpContents{"İçindekiler", "Contents"};
inline constexpr Bilingual kHelpBack{"Geri", "Back"};
inline constexpr Bilingual kHelpForward{"İleri", "Forward"};
inline constexpr Bilingual kHelpMissing{"Yardım dosyası bulunamadı:", "Help file not found:"};

inline constexpr Bilingual kAboutTitle{"Kivra-PS Sürücü Arayüz Programı",
                                       "Kivra-PS Driver Interface Software"};
inline constexpr Bilingual kAboutClose{"Kapat", "Close"};
// The About box's product block: the name, then these two lines (the version follows the first).
inline constexpr Bilingual kAboutProductVersion{"Sürüm ", "Version "};
inline constexpr Bilingual kAboutLicence{"Lisans: MIT", "License: MIT"};
// The About box shows both of these side by side, whatever the language.
inline constexpr Bilingual kAboutInterfaceTitles{"KIVRA-PS Programlama Arayüzü",
                                                 "KIVRA-PS Programming Interface SW"};

// The port dialog and the prompt for port number 0: the cancel button, the list's caption,
// the simulated driver's entry and the prompt's question.
inline constexpr Bilingual kPortCancel{"IPTAL", "CANCEL"};
inline constexpr Bilingual kPortsPresent{"Bulunan portlar:", "Ports found:"};
inline constexpr Bilingual kSimulatedDriverChoice{"SIM  Simülasyon sürücüsü (bu bilgisayarda)",
                                                  "SIM  Simulated driver (on this computer)"};
inline constexpr Bilingual kChoosePort{"Sürücünün bağlı olduğu portu seçiniz:",
                                       "Choose the port the driver is on:"};

// The tool bar's status text when the driver acknowledged the whole program.
inline constexpr Bilingual kDownloaded{"Program sürücüye yazıldı", "Program downloaded"};
// The tool bar's status text when nothing answered in the first seconds of a first start
// (no port chosen yet), with a link that one click follows: the simulated driver where
// there is one, the port dialog where there is none (Windows).
inline constexpr Bilingual kNoDriverAnswers{"Sürücü yanıt vermiyor.", "No driver answers."};
inline constexpr Bilingual kTrySimulatedDriver{"Simülasyon sürücüsünü dene",
                                               "Try the simulated driver"};
inline constexpr Bilingual kChooseAPort{"Port seç ...", "Choose a port ..."};

// The line under the direct-control groups about the last value written; %1 names the
// value, %2 is the value or what the box accepts.
inline constexpr Bilingual kNoteNotANumber{"%1: sayı girilmedi, gönderilmedi",
                                           "%1: not a number, not sent"};
inline constexpr Bilingual kNoteOutOfRange{"%1: izin verilen %2, gönderilmedi",
                                           "%1: allowed %2, not sent"};
inline constexpr Bilingual kNoteAcknowledged{"%1 = %2 yazıldı, sürücü onayladı",
                                             "%1 = %2 written, acknowledged by the driver"};
inline constexpr Bilingual kNoteNotAcknowledged{
    "%1: sürücü onaylamadı, yazıldığı bilinmiyor",
    "%1: not acknowledged by the driver, may not be written"};
inline constexpr Bilingual kNoteRefused{"%1: sürücü reddetti, yazılmadı",
                                        "%1: refused by the driver, not written"};
// %2: what came instead of the acknowledgement ("wrong reply").
inline constexpr Bilingual kNoteFailed{
    "%1: sürücü onaylamadı (%2), yazıldığı bilinmiyor",
    "%1: not acknowledged by the driver (%2), may not be written"};
// A box's hint: what it accepts.
inline constexpr Bilingual kAllowedHint{"İzin verilen: %1", "Allowed: %1"};
inline constexpr Bilingual kAnyWholeNumber{"32 bit tam sayı", "a 32-bit whole number"};
// Prm 9..20: the driver keeps and reports them as 16-bit values.
inline constexpr Bilingual kSixteenBitParameter{"16 bit, 0 ile 65535 arası", "16-bit, 0 to 65535"};
inline constexpr Bilingual kMemoryCell{"Bellek", "Memory"};
// The addresses a memory write accepts (%1 the last).
inline constexpr Bilingual kMemoryAccepts{"adres 0..%1", "address 0..%1"};
// The addresses a memory read accepts: the driver has no cell 0 to read.
inline constexpr Bilingual kMemoryReadAccepts{"adres 1..3FFFh (16383)", "address 1..3FFFh (16383)"};
// A driver parameter in the note: %1 is its number.
inline constexpr std::string_view kParameterName = "Prm %1";

// The values written from the direct-control page, in the order of link::Setting.
inline constexpr Bilingual kSettingNames[] = {
    {"Motor hızı", "Speed"},
    {"Çalışma akımı", "Run current"},
    {"Bekleme akımı", "Block current"},
    {"Mikro step", "Micro step"},
    {"Rampa", "Acceleration"},
    {"Kalkış hızı", "Initial speed"},
    {"Yerdeğiştirme", "Displacement"},
    {"Dönüş yönü", "Direction"},
    {"Hız modu", "Speed mode"},
    {"Hız katsayısı", "Speed index"},
    {"Servis 1", "Service 1"},
    {"Servis 2", "Service 2"},
};
static_assert(std::size(kSettingNames) == static_cast<std::size_t>(link::Setting::Service2) + 1);

// The direct-control page's parameter files and the comparison window. %1 is a file
// name, %2 a count.
inline constexpr Bilingual kCompareTitle{"Ayar Karşılaştırma", "Settings Comparison"};
inline constexpr Bilingual kCompareName{"Ad", "Name"};
inline constexpr Bilingual kCompareFile{"Dosya", "File"};
inline constexpr Bilingual kCompareDriver{"Sürücü", "Driver"};
inline constexpr Bilingual kCompareClose{"Kapat", "Close"};
inline constexpr Bilingual kCompareNotRead{"okunmadı", "not read"};
inline constexpr Bilingual kCompareEqual{"Sürücü %1 dosyasındaki bütün değerleri taşıyor.",
                                         "The driver holds every value of %1."};
inline constexpr Bilingual kCompareDiffers{"%1 ile sürücü arasında %2 fark var.",
                                           "Values that differ between %1 and the driver: %2."};

inline constexpr Bilingual kSaveSettingsTitle{"Ayarları Kaydet", "Save Settings"};
inline constexpr Bilingual kLoadSettingsTitle{"Ayarları Yükle", "Load Settings"};
inline constexpr Bilingual kSettingsFilesFilter{"Parametre dosyaları (*.kvp)",
                                                "Parameter files (*.kvp)"};
inline constexpr Bilingual kAllFilesChoice{"Tüm dosyalar (*)", "All files (*)"};
// The status line below the groups.
inline constexpr Bilingual kSettingsReading{"Sürücü okunuyor… %1/%2", "Reading the driver… %1/%2"};
inline constexpr Bilingual kSettingsWriting{"Ayarlar yazılıyor… %1/%2",
                                            "Writing the settings… %1/%2"};
inline constexpr Bilingual kSettingsSaved{"Ayarlar kaydedildi: %1", "Settings saved: %1"};
inline constexpr Bilingual kSettingsNotSaved{"Ayarlar kaydedilemedi!",
                                             "Settings could not be saved!"};
inline constexpr Bilingual kSettingsVerified{"%1 değer yazıldı ve doğrulandı.",
                                             "%1 values written and verified."};
inline constexpr Bilingual kSettingsNotTaken{"%1 değer tutmadı (%2 değerden).",
                                             "%1 of %2 values did not take."};
inline constexpr Bilingual kSettingsLeftAlone{" Dosyada olmayan %1 değer değişmedi.",
                                              " %1 values not in the file were left as they were."};
inline constexpr Bilingual kSettingsNotVerified{
    "Sürücüde yazılanla eskinin karışımı olabilir; hiçbir değer doğrulanmadı.",
    "The driver may hold a mix of old and new values; nothing was verified."};
inline constexpr Bilingual kSettingsBusy{
    "Bağlantı meşgul: önce süren işlem bitsin.",
    "The link is busy: let the exchange in progress end first."};
// At start, when the per-user settings file was refused; why follows on the next line.
inline constexpr Bilingual kSettingsNotKept{
    "Ayar dosyası okunamadı: ayarlar bu çalışma boyunca saklanmayacak.",
    "The settings file could not be read: settings are not kept during this run."};
inline constexpr Bilingual kSettingsFileUnread{"Parametre dosyası açılamadı!",
                                               "Parameter file could not be opened!"};
inline constexpr Bilingual kSettingsNothingSent{"Sürücüye hiçbir şey gönderilmedi.",
                                                "Nothing was sent to the driver."};

// --- The watch windows ---

// The frame inspector's columns.
inline constexpr Bilingual kInspectorTime{"Zaman (ms)", "Time (ms)"};
inline constexpr Bilingual kInspectorDirection{"Yön", "Dir"};
inline constexpr Bilingual kInspectorBytes{"Baytlar", "Bytes"};
inline constexpr Bilingual kInspectorMeaning{"Anlamı", "Meaning"};
inline constexpr Bilingual kInspectorOutcome{"Sonuç", "Outcome"};
inline constexpr Bilingual kInspectorRoundTrip{"Gidiş-dönüş", "Round trip"};
// Its counts: %1 is how many.
inline constexpr Bilingual kInspectorFrames{"%1 çerçeve", "%1 frames"};
inline constexpr Bilingual kInspectorDropped{"%1 eski çerçeve atıldı", "%1 older frames dropped"};
inline constexpr Bilingual kInspectorPaused{"duraklatıldı", "paused"};
inline constexpr Bilingual kSaveFramesTitle{"Çerçeveleri Kaydet", "Save Frames"};
inline constexpr Bilingual kTextFilesFilter{"Metin dosyaları (*.txt)", "Text files (*.txt)"};
inline constexpr Bilingual kCsvFilesFilter{"CSV dosyaları (*.csv)", "CSV files (*.csv)"};
inline constexpr Bilingual kPngFilesFilter{"PNG resimleri (*.png)", "PNG images (*.png)"};
// Followed by a line break, the path, a line break and the reason.
inline constexpr Bilingual kWatchFileNotSaved{"Dosya kaydedilemedi!",
                                              "The file could not be saved!"};

// The meter beside the status text: %1 replies a second, %2 the failed share in percent.
inline constexpr Bilingual kMeter{"Yanıt: %1/s  Hata: %%2", "Replies: %1/s  Failed: %2 %"};
inline constexpr Bilingual kMeterTip{
    "Son 10 saniyede: saniyede kabul edilen durum yanıtı sayısı ve başarısız alışverişlerin oranı "
    "(bozuk, yanlış ya da hiç gelmeyen yanıtlar, portun almadığı çerçeveler).",
    "Over the last 10 seconds: accepted status replies per second, and the share of exchanges that "
    "failed (broken, wrong or missing answers, frames the port refused)."};

// The plots' traces, axis and cursor line.
inline constexpr Bilingual kPlotAnalog1{"Analog 1", "Analog 1"};
inline constexpr Bilingual kPlotAnalog2{"Analog 2", "Analog 2"};
inline constexpr Bilingual kPlotTemperature{"Sıcaklık (°C)", "Temperature (°C)"};
inline constexpr Bilingual kPlotInput{"Giriş %1", "Input %1"};
inline constexpr Bilingual kPlotOutput{"Çıkış %1", "Output %1"};
inline constexpr Bilingual kPlotSeconds{"Zaman (s)", "Time (s)"};
// %1 time in seconds, %2 and %3 analog values, %4 temperature, %5 inputs, %6 outputs.
inline constexpr Bilingual kPlotCursor{
    "t = %1 s   analog %2 / %3   %4 °C   giriş %5   çıkış %6",
    "t = %1 s   analog %2 / %3   %4 °C   inputs %5   outputs %6"};
inline constexpr Bilingual kExportCsvTitle{"Grafiği CSV Olarak Kaydet", "Export Plot as CSV"};
inline constexpr Bilingual kExportPngTitle{"Grafiği PNG Olarak Kaydet", "Export Plot as PNG"};

// The status recording.
inline constexpr Bilingual kRecordTitle{"Durum Kaydı", "Status Recording"};
// Followed by a line break, the path, a line break and the system's reason.
inline constexpr Bilingual kRecordNotStarted{"Kayıt başlatılamadı!",
                                             "The recording could not be started!"};
inline constexpr Bilingual kRecordStopped{
    "Kayıt durduruldu: dosyaya yazılamadı! Yazılmış satırlar dosyada.",
    "Recording stopped: the file could not be written! The rows written "
    "so far are in the file."};
// Followed by the path.
inline constexpr Bilingual kRecordingTo{"Kaydediliyor: ", "Recording: "};

// The simulated driver's panel.
inline constexpr Bilingual kSimNotConnected{
    "Simülasyon sürücüsüne bağlı değil (Ayarlar > Com Port ... > SIM).",
    "Not connected to the simulated driver (Settings > Com Port ... > SIM)."};
inline constexpr Bilingual kSimConnected{"Simülasyon sürücüsüne bağlı.",
                                         "Connected to the simulated driver."};

}  // namespace kivra::texts
