#pragma once

// The interface language. Every text the product shows exists in both; each is picked
// at the moment it is made, so a switch takes effect with the next text.

#include <cstdint>

namespace kivra {

enum class Language : std::uint8_t { Turkish, English };

constexpr Language LanguageOf(bool inEnglish) {
  return inEnglish ? Language::English : Language::Turkish;
}
constexpr bool IsEnglish(Language language) {
  return language == Language::English;
}

}  // namespace kivra
