#pragma once

// The watch windows' texts that are made when shown (counts, readouts, messages, dialog
// titles), in both languages. Their fixed captions are rows of the relabelling table.

#include "app/ui/texts.h"

namespace kivra::app::watch {

// Inspector columns.
inline constexpr Bilingual kColumnTime{"Zaman (ms)", "Time (ms)"};
inline constexpr Bilingual kColumnDirection{"Yön", "Dir"};
inline constexpr Bilingual kColumnBytes{"Baytlar", "Bytes"};
inline constexpr Bilingual kColumnMeaning{"Anlamı", "Meaning"};
inline constexpr Bilingual kColumnOutcome{"Sonuç", "Outcome"};
inline constexpr Bilingual kColumnRoundTrip{"Gidiş-dönüş", "Round trip"};
// %1: how many.
inline constexpr Bilingual kEventCount{"%1 çerçeve", "%1 frames"};
inline constexpr Bilingual kDroppedCount{"%1 eski çerçeve atıldı", "%1 older frames dropped"};
inline constexpr Bilingual kPaused{"duraklatıldı", "paused"};
inline constexpr Bilingual kSaveFramesTitle{"Çerçeveleri Kaydet", "Save Frames"};
inline constexpr Bilingual kTextFilter{"Metin dosyaları (*.txt)", "Text files (*.txt)"};
inline constexpr Bilingual kCsvFilter{"CSV dosyaları (*.csv)", "CSV files (*.csv)"};
inline constexpr Bilingual kPngFilter{"PNG resimleri (*.png)", "PNG images (*.png)"};
// Followed by a line break, the path, a line break and the reason.
inline constexpr Bilingual kNotSaved{"Dosya kaydedilemedi!", "The file could not be saved!"};

// The meter beside the status text: %1 replies a second, %2 the failed share in percent.
inline constexpr Bilingual kMeter{"Yanıt: %1/s  Hata: %%2", "Replies: %1/s  Failed: %2 %"};
inline constexpr Bilingual kMeterTip{
    "Son 10 saniyede: saniyede kabul edilen durum yanıtı sayısı ve başarısız alışverişlerin oranı "
    "(bozuk, yanlış ya da hiç gelmeyen yanıtlar, portun almadığı çerçeveler).",
    "Over the last 10 seconds: accepted status replies per second, and the share of exchanges that "
    "failed (broken, wrong or missing answers, frames the port refused)."};

// Plots.
inline constexpr Bilingual kAnalog1{"Analog 1", "Analog 1"};
inline constexpr Bilingual kAnalog2{"Analog 2", "Analog 2"};
inline constexpr Bilingual kTemperature{"Sıcaklık (°C)", "Temperature (°C)"};
inline constexpr Bilingual kInput{"Giriş %1", "Input %1"};
inline constexpr Bilingual kOutput{"Çıkış %1", "Output %1"};
inline constexpr Bilingual kSeconds{"Zaman (s)", "Time (s)"};
// %1 time in seconds, %2 and %3 analog values, %4 temperature, %5 inputs, %6 outputs.
inline constexpr Bilingual kCursor{"t = %1 s   analog %2 / %3   %4 °C   giriş %5   çıkış %6",
                                   "t = %1 s   analog %2 / %3   %4 °C   inputs %5   outputs %6"};
inline constexpr Bilingual kExportCsvTitle{"Grafiği CSV Olarak Kaydet", "Export Plot as CSV"};
inline constexpr Bilingual kExportPngTitle{"Grafiği PNG Olarak Kaydet", "Export Plot as PNG"};

// Recording.
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

}  // namespace kivra::app::watch
