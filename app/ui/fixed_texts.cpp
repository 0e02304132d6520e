#include "app/ui/fixed_texts.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <cstring>

namespace kivra::app {
namespace {

constexpr TextRole C = TextRole::Caption;
constexpr TextRole H = TextRole::Hint;

constexpr FixedText kFixedTexts[] = {
    // Tool bar hints.
    {"ToolButton6", H, {"Yeni Program", "New Program"}},
    {"ToolButton3", H, {"Program Aç", "Open File"}},
    {"ToolButton9", H, {"Program Sakla", "Save File"}},
    {"ToolButton1", H, {"Farklı Sakla", "Save as"}},
    {"ToolButton8", H, {"Program Kontrol", "Check Program"}},
    {"ToolButton11", H, {"Sürücüye Yaz", "Download Driver"}},
    {"ToolButton13", H, {"Bul", "Find"}},
    {"ToolButton14", H, {"Geri Al", "Undo"}},
    {"ToolButton18", H, {"English", "Türkçe"}},
    // Main menu.
    {"D1", C, {"Dosya", "File"}},
    {"Ayarlar1", C, {"Ayarlar", "Settings"}},
    {"Yardm1", C, {"Yardım", "Help"}},
    {"Y1", C, {"Yeni", "New"}},
    {"A1", C, {"Aç", "Open"}},
    {"Sakla1", C, {"Sakla", "Save"}},
    {"Farklsakla1", C, {"Farklı sakla", "Save as ..."}},
    {"N1", C, {"Çıkış", "Exit"}},
    {"Yardm2", C, {"Yardım", "Help"}},
    {"ProgramHakknda1", C, {"Program Hakkında", "About"}},
    // Pages and the programming page.
    {"TabSheet1", C, {"Programlama", "Program Edit"}},
    {"TabSheet2", C, {"Doğrudan Kontrol", "Direct Control"}},
    {"StaticText1", C, {"Program Giriş", "Program Edit"}},
    {"Label1", C, {"Satır", "Line"}},
    {"Label3", C, {"Sütun", "Column"}},
    {"StaticText2", C, {"Program Hataları", "Program Errors"}},
    {"StaticText9", C, {"Kod", "Code used"}},
    {"StaticText12", C, {"Kalan", "Code Remaining"}},
    // Driver status panel on the programming page.
    {"GroupBox2", C, {"Sürücü Durumu", "Driver Status"}},
    {"StaticText19", C, {"Bağlantı", "Connection"}},
    {"GroupBox10", C, {"Çalışma Modu", "Operating Mode"}},
    {"StaticText53", C, {"Kontrolor", "Controller"}},
    {"GroupBox7", C, {"Giriş", "Input"}},
    {"GroupBox8", C, {"Çıkış", "Output"}},
    {"GroupBox17", C, {"Sıcaklık", "Temperature"}},
    {"GroupBox9", C, {"Analog Giriş", "Analog Input"}},
    // Direct-control page, status group.
    {"GroupBox11", C, {"Sürücü Durumu", "Driver Status"}},
    {"StaticText57", C, {"Sürücü Bağlantısı", "Driver Connection"}},
    {"StaticText58", C, {"Script Çalışma", "Script Operation"}},
    {"GroupBox15", C, {"Çalışma Modu", "Operation Mode"}},
    {"GroupBox12", C, {"Giriş", "Input"}},
    {"GroupBox13", C, {"Çıkış", "Output"}},
    {"StaticText71", C, {"Sıcaklık-(C)", "Temperature-(C)"}},
    {"GroupBox14", C, {"Analog Giriş", "Analog Input"}},
    {"StaticText72", C, {"Kontrolor", "Controller"}},
    // Direct-control page, motor control and parameters.
    {"GroupBox5", C, {"Motor Kontrol", "Motor Control"}},
    {"GroupBox6", C, {"Parametreler", "Parameters"}},
    {"Button17", C, {"OKU", "READ"}},
    {"Button8", C, {"OKU", "READ"}},
    // Direct-control page, the parameter files.
    {"SaveSettingsButton", C, {"Ayarları Kaydet…", "Save settings…"}},
    {"LoadSettingsButton", C, {"Ayarları Yükle…", "Load settings…"}},
    {"CompareSettingsButton", C, {"Karşılaştır…", "Compare…"}},
    {"Button1", C, {"YAZ", "SET"}},
    {"Button10", C, {"YAZ", "SET"}},
    {"Button11", C, {"YAZ", "SET"}},
    {"Button12", C, {"YAZ", "SET"}},
    {"Button13", C, {"YAZ", "SET"}},
    {"Button14", C, {"YAZ", "SET"}},
    {"Button15", C, {"YAZ", "SET"}},
    {"Button4", C, {"YAZ", "SET"}},
    {"Button7", C, {"YAZ", "SET"}},
    {"Button18", C, {"SOL", "LEFT"}},
    {"Button21", C, {"SAĞ", "RIGHT"}},
    {"StaticText75", C, {"Motor Hızı[d/d]", "Speed[rpm]"}},
    {"StaticText76", C, {"Motor çalışma akımı", "RUN Current"}},
    {"StaticText77", C, {"Motor bekleme akımı", "BLOCK Current[%]"}},
    {"StaticText78", C, {"Mikro step", "Micro step"}},
    {"StaticText79", C, {"Rampa[(d/d)/s]", "Acceleration[rpm/sec]"}},
    {"StaticText80", C, {"Kalkış Hızı[d/d]", "Initial Speed[rmp]"}},
    {"StaticText81", C, {"Yerdeğiştirme", "Displacement"}},
    {"StaticText82", C, {"Dönüş Yönü", "Direction"}},
    {"StaticText95", C, {"Hız Modu", "Speed Mode"}},
    {"StaticText97", C, {"Hız Katsayısı[mm/tur]", "Speed index[mm/rev]"}},
    // Command-code window.
    {"TForm5", C, {"Komut Kodu", "Command Codes"}},
    // The edit and program menus, the recent files and the code memory bar.
    {"Duzen1", C, {"Düzen", "Edit"}},
    {"Program1", C, {"Program", "Program"}},
    {"SonDosyalar1", C, {"Son Dosyalar", "Recent Files"}},
    {"GeriAl1", C, {"Geri Al", "Undo"}},
    {"Yinele1", C, {"Yinele", "Redo"}},
    {"Bul1", C, {"Bul", "Find"}},
    {"SonrakiniBul1", C, {"Sonrakini Bul", "Find Next"}},
    {"SatiraGit1", C, {"Satıra Git ...", "Go to Line ..."}},
    {"ProgramKontrol1", C, {"Program Kontrol", "Check Program"}},
    {"SurucuyeYaz1", C, {"Sürücüye Yaz", "Download Driver"}},
    {"CodeMemoryBar", H, {"Kod belleği: kullanılan / 2048 Byte", "Code memory: used / 2048 bytes"}},
    // Watching the link: the settings menu's items and the windows they open.
    {"FrameInspector1", C, {"Çerçeve İzleyici", "Frame Inspector"}},
    {"LivePlots1", C, {"Canlı Grafikler", "Live Plots"}},
    {"RecordStart1", C, {"Durum Kaydını Başlat ...", "Start Status Recording ..."}},
    {"RecordStop1", C, {"Durum Kaydını Durdur", "Stop Status Recording"}},
    {"SimulatorPanel1", C, {"Simülasyon Sürücüsü Paneli", "Simulated Driver Panel"}},
    {"FrameInspector", C, {"Çerçeve İzleyici", "Frame Inspector"}},
    {"InspectorHideStatus", C, {"Durum sorgularını gizle", "Hide status polls"}},
    {"InspectorPause", C, {"Duraklat", "Pause"}},
    {"InspectorClear", C, {"Temizle", "Clear"}},
    {"InspectorCopy", C, {"Kopyala", "Copy"}},
    {"InspectorSave", C, {"Kaydet ...", "Save ..."}},
    {"LivePlots", C, {"Canlı Grafikler", "Live Plots"}},
    {"PlotWindowLabel", C, {"Zaman aralığı:", "Time window:"}},
    {"PlotPause", C, {"Duraklat / geri kaydır", "Pause / scroll back"}},
    {"PlotExportCsv", C, {"CSV kaydet ...", "Export CSV ..."}},
    {"PlotExportPng", C, {"PNG kaydet ...", "Export PNG ..."}},
    {"SimulatorPanel", C, {"Simülasyon Sürücüsü", "Simulated Driver"}},
    {"SimWorldGroup",
     C,
     {"Girişler, analog değerler, sıcaklık, mod", "Inputs, analog values, temperature, mode"}},
    {"SimAnalog1Label", C, {"Analog giriş 1", "Analog input 1"}},
    {"SimAnalog2Label", C, {"Analog giriş 2", "Analog input 2"}},
    {"SimTemperatureLabel", C, {"Sıcaklık (°C)", "Temperature (°C)"}},
    {"SimControllerMode",
     C,
     {"Kontrolor modu (kapalı: Step/Dir)", "Controller mode (off: Step/Dir)"}},
    {"SimFaultGroup", C, {"Hatalar", "Faults"}},
    {"SimDropAcks", C, {"3 onayı düşür", "Drop 3 acknowledgements"}},
    {"SimGarbleStatus", C, {"5 durum yanıtını boz", "Garble 5 status replies"}},
    {"SimSplitStatus", C, {"5 durum yanıtını böl", "Split 5 status replies"}},
    {"SimWrongLetter", C, {"3 yanıtta yanlış harf", "Wrong letter in 3 replies"}},
    {"SimSilence", C, {"3 saniye sessizlik", "Silence for 3 seconds"}},
    {"SimClearFaults", C, {"Hataları temizle", "Clear faults"}},
    {"SimUnplug", C, {"Adaptörü çıkar / tak", "Unplug / plug the adapter"}},
};

// The letter Alt picks a menu or item by: the text the underline goes before, in each
// language. Unique within each menu.
struct Mnemonic {
  const char* control;
  const char* turkish;
  const char* english;
};
constexpr Mnemonic kMnemonics[] = {
    {"D1", "D", "F"},
    {"Duzen1", "z", "E"},
    {"Program1", "P", "P"},
    {"Ayarlar1", "A", "S"},
    {"Yardm1", "Y", "H"},
    {"Y1", "Y", "N"},
    {"A1", "A", "O"},
    {"Sakla1", "S", "S"},
    {"Farklsakla1", "F", "as"},
    {"SonDosyalar1", "D", "R"},
    {"N1", "Ç", "x"},
    {"GeriAl1", "G", "U"},
    {"Yinele1", "Y", "R"},
    {"Bul1", "B", "F"},
    {"SonrakiniBul1", "S", "N"},
    {"SatiraGit1", "r", "G"},
    {"ProgramKontrol1", "K", "C"},
    {"SurucuyeYaz1", "Y", "D"},
    {"Yardm2", "Y", "H"},
    {"ProgramHakknda1", "P", "A"},
    {"FrameInspector1", "z", "F"},
    {"LivePlots1", "G", "L"},
    {"RecordStart1", "D", "R"},
    {"RecordStop1", "r", "t"},
    {"SimulatorPanel1", "S", "S"},
};

QString WithMnemonic(const char* control, const QString& text, bool english) {
  for (const Mnemonic& m : kMnemonics) {
    if (std::strcmp(m.control, control) != 0) continue;
    const qsizetype at = text.indexOf(QString::fromUtf8(english ? m.english : m.turkish));
    if (at < 0) break;
    QString marked = text;
    marked.insert(at, QLatin1Char('&'));
    return marked;
  }
  return text;
}

QObject* FindIn(QObject* parent, const QString& name) {
  for (QObject* child : parent->children()) {
    // Other windows keep their own names; menus are popups of this window.
    if (auto* widget = qobject_cast<QWidget*>(child);
        widget && widget->isWindow() && !qobject_cast<QMenu*>(widget)) {
      continue;
    }
    if (child->objectName() == name) return child;
    if (QObject* found = FindIn(child, name)) return found;
  }
  return nullptr;
}

QTabWidget* TabWidgetOf(const QWidget* page) {
  // A page sits in the tab widget's internal stack.
  const QWidget* stack = page->parentWidget();
  return stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
}

}  // namespace

std::span<const FixedText> FixedTexts() {
  return kFixedTexts;
}

QObject* FindControl(QWidget* window, const QString& name) {
  if (window->objectName() == name) return window;
  return FindIn(window, name);
}

void ApplyFixedTexts(std::initializer_list<QWidget*> windows, bool english) {
  for (const FixedText& row : kFixedTexts) {
    const QString name = QString::fromLatin1(row.control);
    const QString text = QString::fromUtf8(english ? row.text.english : row.text.turkish);
    for (QWidget* window : windows) {
      if (QObject* control = FindControl(window, name)) {
        const bool menu = qobject_cast<QAction*>(control) || qobject_cast<QMenu*>(control);
        SetControlText(control, row.role, menu ? WithMnemonic(row.control, text, english) : text);
        break;
      }
    }
  }
}

void SetControlText(QObject* control, TextRole role, const QString& text) {
  if (role == TextRole::Hint) {
    if (auto* widget = qobject_cast<QWidget*>(control)) widget->setToolTip(text);
    return;
  }
  if (auto* action = qobject_cast<QAction*>(control)) {
    action->setText(text);
  } else if (auto* menu = qobject_cast<QMenu*>(control)) {
    menu->setTitle(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
    group->setTitle(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(text);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(text);
  } else if (auto* widget = qobject_cast<QWidget*>(control)) {
    if (QTabWidget* tabs = TabWidgetOf(widget)) {
      tabs->setTabText(tabs->indexOf(widget), text);
    } else if (widget->isWindow()) {
      widget->setWindowTitle(text);
    }
  }
}

QString ControlText(const QObject* control, TextRole role) {
  if (role == TextRole::Hint) {
    const auto* widget = qobject_cast<const QWidget*>(control);
    return widget ? widget->toolTip() : QString();
  }
  // Menu texts without the marker of their Alt letter.
  if (const auto* action = qobject_cast<const QAction*>(control))
    return QString(action->text()).remove(QLatin1Char('&'));
  if (const auto* menu = qobject_cast<const QMenu*>(control))
    return QString(menu->title()).remove(QLatin1Char('&'));
  if (const auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
  if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text();
  if (const auto* widget = qobject_cast<const QWidget*>(control)) {
    if (const QTabWidget* tabs = TabWidgetOf(widget)) return tabs->tabText(tabs->indexOf(widget));
    if (widget->isWindow()) return widget->windowTitle();
  }
  return {};
}

}  // namespace kivra::app
