#pragma once

// Every text the shell shows at run time, in both languages. The fixed captions that the
// language switch resets live in fixed_texts.cpp; these are picked when they are shown.

namespace kivra::app {

struct Bilingual {
  const char* turkish;
  const char* english;
};

namespace text {

// The captions of the switches beside the message list, the same in both languages. The
// debug switch names the action its next click performs.
inline constexpr const char* kScriptSwitch = "SCRIPT ON/OFF";
inline constexpr const char* kDebugSwitch = "DEBUG ON/OFF";  // before the first click
inline constexpr const char* kDebugOn = "DEBUG ON";
inline constexpr const char* kDebugOff = "DEBUG OFF";

// The exit command, the window close and the open command each ask this; the Turkish is
// the same for all of them, the English wording differs.
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

inline constexpr Bilingual kEndOfSearch{"Arama sonu!", "End of search!"};

inline constexpr Bilingual kAboutTitle{"Kivra-PS Sürücü Arayüz Programı",
                                       "Kivra-PS Driver Interface Software"};
inline constexpr Bilingual kAboutClose{"Kapat", "Close"};
// The About box's product block: the name, then these two lines (the version follows the first).
inline constexpr Bilingual kAboutProductVersion{"Sürüm ", "Version "};
inline constexpr Bilingual kAboutLicence{"Lisans: MIT", "License: MIT"};

inline constexpr Bilingual kPortCancel{"IPTAL", "CANCEL"};
// The port lists: the simulated driver's entry and the prompt for port number 0.
inline constexpr Bilingual kSimulatedDriver{"SIM  Simülasyon sürücüsü (bu bilgisayarda)",
                                            "SIM  Simulated driver (on this computer)"};
inline constexpr Bilingual kPortsPresent{"Bulunan portlar:", "Ports found:"};
inline constexpr Bilingual kChoosePort{"Sürücünün bağlı olduğu portu seçiniz:",
                                       "Choose the port the driver is on:"};

inline constexpr Bilingual kFindTitle{"Bul", "Find"};
inline constexpr Bilingual kFindWhat{"Aranan:", "Find what:"};
inline constexpr Bilingual kFindNext{"Sonrakini Bul", "Find Next"};
inline constexpr Bilingual kFindCancel{"Kapat", "Close"};

inline constexpr Bilingual kHelpTitle{"Kivra-PS Yardım", "Kivra-PS Help"};
inline constexpr Bilingual kHelpContents{"İçindekiler", "Contents"};
inline constexpr Bilingual kHelpBack{"Geri", "Back"};
inline constexpr Bilingual kHelpForward{"İleri", "Forward"};
inline constexpr Bilingual kHelpMissing{"Yardım dosyası bulunamadı:", "Help file not found:"};

inline constexpr Bilingual kOpenTitle{"Program Aç", "Open File"};
inline constexpr Bilingual kSaveTitle{"Program Sakla", "Save File"};

// A program named from outside the open dialog (recent files, a drop, the command line)
// that can't be read; followed by a line break and the path.
inline constexpr Bilingual kFileNotOpened{"Program dosyası açılamadı!",
                                          "Program file could not be opened!"};

inline constexpr Bilingual kGoToLineTitle{"Satıra Git", "Go to Line"};
// Followed by the number of the last line and a colon.
inline constexpr Bilingual kGoToLineLabel{"Satır numarası (1 - ", "Line number (1 - "};

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
inline constexpr Bilingual kSettingsFiles{"Parametre dosyaları (*.kvp)", "Parameter files (*.kvp)"};
inline constexpr Bilingual kAllFiles{"Tüm dosyalar (*)", "All files (*)"};
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
inline constexpr Bilingual kSettingsFileUnread{"Parametre dosyası açılamadı!",
                                               "Parameter file could not be opened!"};
inline constexpr Bilingual kSettingsNothingSent{"Sürücüye hiçbir şey gönderilmedi.",
                                                "Nothing was sent to the driver."};

// The status text when the driver acknowledged the whole program.
inline constexpr Bilingual kDownloaded{"Program sürücüye yazıldı", "Program downloaded"};

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
// A box's hint: what it accepts.
inline constexpr Bilingual kAllowedHint{"İzin verilen: %1", "Allowed: %1"};
inline constexpr Bilingual kAnyWholeNumber{"32 bit tam sayı", "a 32-bit whole number"};
inline constexpr Bilingual kMemoryCell{"Bellek", "Memory"};
// The addresses a memory write accepts (%1 the last).
inline constexpr Bilingual kMemoryAccepts{"adres 0..%1", "address 0..%1"};

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

}  // namespace text
}  // namespace kivra::app
