#pragma once

// The parameter runs' words for people, in both languages: the steps of a transfer and how
// they ended, the steps of a production run, why a parameter file was refused. %1, %2 are
// filled by texts::Fill.

#include "link/texts.h"

namespace kivra::texts {

// A transfer's steps, and how a step ended.
inline constexpr Bilingual kWaitingForDriver{"sürücü bekleniyor", "waiting for the driver"};
inline constexpr Bilingual kWriting{"%1 yazılıyor", "writing %1"};
inline constexpr Bilingual kReadingSettings{"motor ayarları okunuyor",
                                            "reading the motor settings"};
inline constexpr Bilingual kReadingParameters{"parametreler okunuyor", "reading the parameters"};
inline constexpr Bilingual kReadingService{"servis değerleri okunuyor",
                                           "reading the service values"};
inline constexpr Bilingual kReadingProgramName{"program adı okunuyor", "reading the program name"};
inline constexpr Bilingual kDone{"tamam", "done"};
inline constexpr Bilingual kValueRefused{"değer reddedildi, gönderilmedi",
                                         "the value was refused, nothing sent"};
inline constexpr Bilingual kPortWentAway{"port kayboldu", "the port went away"};
inline constexpr Bilingual kInterrupted{"kesildi", "interrupted"};

// A production run's steps, and what its verification found.
inline constexpr Bilingual kStepOpen{"açma", "open"};
inline constexpr Bilingual kStepConnect{"bağlantı", "connect"};
inline constexpr Bilingual kStepDownload{"program yazma", "download"};
inline constexpr Bilingual kStepParameters{"parametreler", "parameters"};
inline constexpr Bilingual kStepVerify{"doğrulama", "verify"};
inline constexpr Bilingual kStepProgramName{"program adı", "program name"};
// Name, the value the driver holds, the file's.
inline constexpr Bilingual kHeldNotFiled{"%1 = %2, beklenen %3", "%1 is %2, not %3"};
// The driver's program name, the expected one.
inline constexpr Bilingual kNameHeld{"sürücüdeki \"%1\", beklenen \"%2\"",
                                     "the driver holds \"%1\", not \"%2\""};

// Why a parameter file was refused: "line 3: " and the problem.
inline constexpr Bilingual kFileLine{"satır %1: ", "line %1: "};
inline constexpr Bilingual kNotParameterFile{
    "parametre dosyası değil (\"format = 1\" ile başlar)",
    "not a parameter file (one begins with \"format = 1\")"};
inline constexpr Bilingual kNewerFormat{"format %1 bu programın okuyabildiğinden yeni (1)",
                                        "format %1 is newer than this program reads (1)"};
inline constexpr Bilingual kNameValueExpected{"\"ad = değer\" bekleniyor",
                                              "\"name = value\" expected"};
inline constexpr Bilingual kUnknownName{"bilinmeyen ad %1", "unknown name %1"};
inline constexpr Bilingual kVersionExpected{"1.2 gibi bir sürüm", "a version such as 1.2"};
inline constexpr Bilingual kAny32BitInteger{"32 bitlik bir tam sayı", "a 32-bit integer"};
inline constexpr Bilingual kInvalidValue{"geçersiz değer, beklenen %1",
                                         "invalid value, expected %1"};
// The name, the line it was first given on.
inline constexpr Bilingual kGivenAgain{"%1 yeniden verilmiş (ilki satır %2)",
                                       "%1 given again (first on line %2)"};

}  // namespace kivra::texts
