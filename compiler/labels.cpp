#include "compiler/labels.h"

namespace kivra::compiler {
namespace {

constexpr Detail kLabelSyntaxUncorrect{"Label syntax uncorrect!", "Etiket tanımı hatalı!"};
constexpr Detail kLabelRedefined{"Label re-defined!", "Aynı etiket yeniden tanımlandı!"};

}  // namespace

void Labels::Define(std::string_view label, std::uint32_t address, std::uint32_t line,
                    MessageLog& log) {
  if (label.find_first_of("= ") != std::string_view::npos) {
    // Reported, and defined all the same: a second definition still reads as one.
    log.Error(line, kLabelSyntaxUncorrect, HeaderForm::A);
  }
  std::string name(label.substr(0, label.size() - 1));
  if (!addresses_.try_emplace(std::move(name), address).second) {
    log.Error(line, kLabelRedefined, HeaderForm::A);
  }
}

void Labels::AddJump(std::string_view name, std::uint32_t placeholder, std::uint32_t line) {
  jumps_.push_back({std::string(name), placeholder, line});
}

void Labels::AddVector(std::string_view name, std::uint8_t input, std::uint32_t line) {
  vectors_.push_back({std::string(name), input, line});
}

void Labels::Resolve(MessageLog& log, CodeWriter& code, VectorTable& vectors) const {
  for (const auto& ref : jumps_) {
    const auto it = addresses_.find(ref.name);
    if (it == addresses_.end()) {
      log.Error(ref.line, msg::kMissingLabel, HeaderForm::A);
    } else {
      code.Patch16(ref.placeholder, it->second);
    }
  }
  if (log.Errors() != 0) return;
  for (const auto& ref : vectors_) {
    const auto it = addresses_.find(ref.name);
    if (it == addresses_.end()) {
      log.Error(ref.line, msg::kMissingLabel, HeaderForm::A);
    } else if (ref.input >= 1 && ref.input <= VectorRecordCount) {
      std::uint8_t* rec = &vectors[(ref.input - 1) * VectorRecordSize];
      rec[3] = static_cast<std::uint8_t>(it->second >> 8);
      rec[4] = static_cast<std::uint8_t>(it->second);
    }
  }
}

}  // namespace kivra::compiler
