#pragma once

// The link's words for people, in both languages: what a frame on the line means (the
// frame inspector, `kivra monitor` and their logs), how a frame event ended, and why an
// exchange or a download failed. The wire commands' own names are their rows in
// link/commands.h. Format texts take printf arguments in the order their comment gives.

#include "common/texts.h"

namespace kivra::texts {

// Frames, as the inspector describes them.
inline constexpr Bilingual kUnknownCommand{"bilinmeyen komut", "unknown command"};
inline constexpr Bilingual kAddress{"adres", "address"};
inline constexpr Bilingual kLeftWord{"sol", "left"};
inline constexpr Bilingual kRightWord{"sağ", "right"};
inline constexpr Bilingual kParameter{"parametre", "parameter"};
inline constexpr Bilingual kParameters{"parametreler:", "parameters:"};
// Inputs, outputs, analog 1 and 2, temperature, mode, script, motor, firmware (2), address.
inline constexpr Bilingual kStatusFormat{
    "durum: girişler %s, çıkışlar %s, analog %u/%u, %u °C, %s, script %s, motor %s, "
    "yazılım %u.%u, adres %u",
    "status: inputs %s, outputs %s, analog %u/%u, %u °C, %s, script %s, motor %s, "
    "firmware %u.%u, address %u"};
inline constexpr Bilingual kControllerMode{"kontrolör", "controller"};
inline constexpr Bilingual kOn{"açık", "on"};
inline constexpr Bilingual kOff{"kapalı", "off"};
inline constexpr Bilingual kMotorRunning{"dönüyor", "running"};
inline constexpr Bilingual kMotorStopped{"duruyor", "stopped"};
// Speed, run current, hold current, micro-step, ramp, start speed, direction, displacement,
// speed mode, coefficient.
inline constexpr Bilingual kSettingsFormat{
    "motor ayarları: hız %u, çalışma akımı %u, bekleme akımı %u, mikro step %u, rampa %u, "
    "kalkış hızı %u, yön %s, yerdeğiştirme %d, hız modu %u, katsayı %u",
    "motor settings: speed %u, run current %u, hold current %u, micro-step %u, ramp %u, "
    "start speed %u, direction %s, displacement %d, speed mode %u, coefficient %u"};
// Byte count, offset.
inline constexpr Bilingual kProgramDataFormat{"program verisi: %zu bayt, adres %lld",
                                              "program data: %zu bytes at %lld"};
// Code length.
inline constexpr Bilingual kVectorsFormat{"vektör tablosu, kod uzunluğu %lld",
                                          "vector table, code length %lld"};
inline constexpr Bilingual kProgramName{"program adı: ", "program name: "};
inline constexpr Bilingual kAcknowledgement{"onay", "acknowledgement"};
// Value 1, value 2.
inline constexpr Bilingual kServiceFormat{"servis değerleri: %u, %u", "service values: %u, %u"};
// The cell's value.
inline constexpr Bilingual kMemoryFormat{"bellek değeri: %lld", "memory value: %lld"};
inline constexpr Bilingual kProgramInDriver{"sürücüdeki program: ", "program in the driver: "};
inline constexpr Bilingual kUndecodable{"çözülemedi", "undecodable"};
inline constexpr Bilingual kChecksumWrong{" (sağlama hatalı)", " (checksum wrong)"};
inline constexpr Bilingual kNoReply{"yanıt yok", "no reply"};

// How a frame event ended, in the inspector's outcome column.
inline constexpr Bilingual kSent{"gönderildi", "sent"};
// "retry 2 of 3": the attempt, then the attempts.
inline constexpr Bilingual kRetry{"tekrar ", "retry "};
inline constexpr Bilingual kRetryOf{"/", " of "};
inline constexpr Bilingual kAccepted{"kabul edildi", "accepted"};
inline constexpr Bilingual kLinkRow{"bağlantı", "link"};
inline constexpr Bilingual kFailed{"hata", "failed"};
inline constexpr Bilingual kIgnored{"yok sayıldı", "ignored"};
// After a round trip: ", 2 reads".
inline constexpr Bilingual kReads{" parça", " reads"};
inline constexpr Bilingual kReasonChecksum{"sağlama", "checksum"};
inline constexpr Bilingual kReasonWrongLetter{"yanlış harf", "wrong letter"};
inline constexpr Bilingual kReasonTooShort{"kısa", "too short"};
inline constexpr Bilingual kReasonDriverRefused{"sürücü reddetti", "refused by the driver"};
inline constexpr Bilingual kReasonTimeout{"zaman aşımı", "time-out"};
inline constexpr Bilingual kReasonPartial{"eksik", "partial"};
inline constexpr Bilingual kReasonGarbage{"anlamsız bayt", "garbage"};
inline constexpr Bilingual kReasonPortRefused{"port almadı", "refused by the port"};
inline constexpr Bilingual kReasonPortNotOpen{"port açık değil", "port not open"};

// Why an exchange failed, for the user.
inline constexpr Bilingual kNoAnswer{"sürücü cevap vermiyor", "the driver does not answer"};
inline constexpr Bilingual kDriverRefused{"sürücü reddetti", "the driver refused"};
inline constexpr Bilingual kWrongReply{"yanlış yanıt", "wrong reply"};
inline constexpr Bilingual kBrokenReply{"bozuk yanıt", "broken reply"};
inline constexpr Bilingual kShortReply{"eksik yanıt", "reply too short"};
inline constexpr Bilingual kPortRefusedFrame{"port çerçeveyi almadı",
                                             "the port did not take the frame"};
inline constexpr Bilingual kPortNotOpen{"port açık değil", "the port is not open"};
inline constexpr Bilingual kReplaced{"başka bir istek bağlantıyı devraldı",
                                     "another request took the link over"};

// Where a download stopped: "Stopped at the data frame at offset 75: the driver refused."
inline constexpr Bilingual kStoppedAt{"Durduğu yer: ", "Stopped at "};
inline constexpr Bilingual kBeginFrame{"başlangıç çerçevesi", "the begin frame"};
// Followed by the offset.
inline constexpr Bilingual kDataFrame{"veri çerçevesi, adres ", "the data frame at offset "};
inline constexpr Bilingual kVectorFrame{"vektör çerçevesi", "the vector frame"};
inline constexpr Bilingual kNameFrame{"ad çerçevesi", "the name frame"};

}  // namespace kivra::texts
