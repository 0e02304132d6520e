#pragma once

// The command line's own words, in both languages (the link's, the parameter runs' and the
// shared ones are in their layers' catalogues). %1, %2 are filled by texts::Fill.

#include "params/texts.h"

namespace kivra::texts {

// kivra send.
inline constexpr Bilingual kDirectionIsLOrR{"Yön SOL veya SAĞ olmalı!", "Direction is L or R!"};
inline constexpr Bilingual kOutputIs1Or2{"Çıkış 1 veya 2 olmalı!", "Output is 1 or 2!"};
inline constexpr Bilingual kParameterIs9To25{"Parametre 9..25 olmalı!", "Parameter is 9..25!"};
inline constexpr Bilingual kMemoryReadAddress{"adres 1 ile 3FFFh (16383) arasında olmalı",
                                              "the address is 1 to 3FFFh (16383)"};
inline constexpr Bilingual kDriverDoesNotAnswer{"Sürücü cevap vermiyor!",
                                                "The driver does not answer!"};
inline constexpr Bilingual kNotSent{"Gönderilmedi!", "Not sent!"};
inline constexpr Bilingual kInvalidValueShort{"Geçersiz değer!", "Invalid value!"};

// Ctrl+C.
inline constexpr Bilingual kStopAfterExchange{
    "Geçerli işlemden sonra durulacak; hemen durmak için yine Ctrl+C.",
    "Stopping after the current exchange; Ctrl+C again stops at once."};
inline constexpr Bilingual kStopAfterDrivers{
    "Programlanan sürücülerden sonra durulacak; hemen durmak için yine Ctrl+C.",
    "Stopping after the drivers being programmed; Ctrl+C again stops at once."};
inline constexpr Bilingual kStoppingNow{
    "Hemen duruluyor: yarıda kesilen işlem sürücüde gönderilenin bir kısmını bırakır.",
    "Stopping now: an exchange cut off leaves the driver holding part of what was sent."};

// kivra params. The step is a transfer step ("writing prm12").
inline constexpr Bilingual kInterruptedBefore{"%1 öncesinde kesildi.", "Interrupted before %1."};
inline constexpr Bilingual kStoppedAtStep{"%1 sırasında durdu: %2.", "Stopped at %1: %2."};
inline constexpr Bilingual kParametersProgress{"Parametreler", "Parameters"};
inline constexpr Bilingual kNothingSent{"Sürücüye hiçbir şey gönderilmedi.",
                                        "Nothing was sent to the driver."};
inline constexpr Bilingual kNothingWrittenTo{" Yazılmadı: %1", " Nothing was written to %1"};
inline constexpr Bilingual kNoAnswerWhen{"%1: cevap yok; dosyada yer almıyor.",
                                         "No answer when %1; the file goes without them."};
inline constexpr Bilingual kHeldAsComments{
    "Sürücüde pencerenin göndermeyeceği değerler var; dosyada açıklama olarak duruyor: ",
    "The driver holds values the window would not send; they are comments in the file: "};
// Count, port, file.
inline constexpr Bilingual kValuesRead{"%1 değer %2 portundan %3 dosyasına okundu.",
                                       "%1 values read from %2 into %3."};
inline constexpr Bilingual kLeftAsTheyAre{"Dosyada yok, sürücüde olduğu gibi kalıyor: ",
                                          "Not in the file, left as they are on the driver: "};
inline constexpr Bilingual kAllWrittenUnverified{
    "%1 değerin hepsi yazıldı; doğrulanamadı.",
    "All %1 values were written; they could not be verified."};
// Written, of how many.
inline constexpr Bilingual kSomeWritten{"%2 değerden %1 tanesi yazıldı; hiçbiri doğrulanmadı.",
                                        "%1 of %2 values were written; nothing was verified."};
// Name, the value written, the value the driver holds.
inline constexpr Bilingual kWrittenHeld{"%1: %2 yazıldı, sürücüdeki %3",
                                        "%1: written %2, the driver holds %3"};
// How many did not take, of how many.
inline constexpr Bilingual kDidNotTake{"%2 değerden %1 tanesi tutmadı.",
                                       "%1 of %2 values did not take."};
inline constexpr Bilingual kWrittenAndVerified{"%1 değer yazıldı ve doğrulandı.",
                                               "%1 values written and verified."};
inline constexpr Bilingual kNotCompared{"Dosyada yok, karşılaştırılmadı: ",
                                        "Not in the file, not compared: "};
// The program name in the file; the driver's follows.
inline constexpr Bilingual kOtherProgram{
    "Dosya %1 programlı bir sürücüden okunmuştu; bu sürücüdeki ",
    "The file was read from a driver holding %1; this one holds "};
// Name, the file's value, the driver's.
inline constexpr Bilingual kFileDriver{"%1: dosya %2, sürücü %3", "%1: file %2, driver %3"};
inline constexpr Bilingual kHoldsEveryValue{"Sürücü dosyadaki bütün değerleri taşıyor.",
                                            "The driver holds every value of the file."};

// kivra flash.
inline constexpr Bilingual kPassed{"  geçti  ", "  passed  "};
inline constexpr Bilingual kFailedRun{"  KALDI  ", "  FAILED  "};
inline constexpr Bilingual kWaitingAt{"%1: sürücü bekleniyor", "%1: waiting for a driver"};
inline constexpr Bilingual kTakeAway{"%1: bitti, sürücüyü çıkarın",
                                     "%1: done, take the driver away"};
inline constexpr Bilingual kPassedFailed{"%1 geçti, %2 kaldı", "%1 passed, %2 failed"};

}  // namespace kivra::texts
