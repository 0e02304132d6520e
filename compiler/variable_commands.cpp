// VRB: give one of the variables V1 to V25 a value. The instruction's form follows the
// expression: a number, a driver quantity named by a letter and an index (or by a
// letter alone), or one arithmetic operation between two operands.

#include "compiler/handlers.h"

namespace kivra::compiler {
namespace {

using enum HeaderForm;

constexpr Detail kAnalogRange{"Analog Ch. nr:1-2", "Analog kanal no:1-2 olabilir"};
constexpr Detail kParameterRange{"Parameter range:1-25", "Parametre no:1-25 olabilir"};
constexpr Detail kVariableRange{"Variable range:1-25", "degisken no:1-25 olabilir"};
constexpr Detail kTableIndexRange{"Table index range:1-32", "Tablo no:1-32 olabilir"};
constexpr Detail kTableNrRange{"Table nr range:1-32", "Tablo no:1-32 olabilir"};
constexpr Detail kDipSwitchRange{"Dip switch no range:1-8", "Ayar anahtar no:1-8 olabilir"};
constexpr Detail kInputMaskRange{"Input mask range:1-6", "Giriş maske:1-6 olabilir"};

// The operator codes are the positions in this text; it is also the order in which an
// expression is searched for its operator.
constexpr std::string_view kOperators = "+-*/";

// An operand of the two-operand form.
struct OperandKind {
  char letter;
  std::uint8_t code;
  std::uint32_t max;
  Detail range;
};
// In order of priority: the first of these letters found anywhere in an operand decides.
constexpr OperandKind kOperandKinds[] = {
    {'A', 4, 2, kAnalogRange},
    {'P', 2, 25, kParameterRange},
    {'V', 1, 25, kVariableRange},
    {'T', 3, 32, kTableIndexRange},
};
constexpr std::uint8_t kConstantKind = 0;

struct Operand {
  std::uint8_t kind;
  std::uint32_t value;  // the index, or the constant's low 32 bits
};

std::optional<Operand> ReadOperand(Run& run, std::string_view text) {
  for (const auto& k : kOperandKinds) {
    const auto at = text.find(k.letter);
    if (at == npos) continue;
    const auto index = run.Ranged(Trim(text.substr(at + 1)), 1, k.max, k.range, A, A);
    if (!index) return std::nullopt;
    return Operand{k.code, static_cast<std::uint32_t>(*index)};
  }
  const auto value = run.Number64(text, B);
  if (!value) return std::nullopt;
  return Operand{kConstantKind, static_cast<std::uint32_t>(static_cast<std::uint64_t>(*value))};
}

void EmitOperand(Run& run, const Operand& o) {
  run.Byte(o.kind);
  if (o.kind == kConstantKind)
    run.code.Word32(o.value);
  else
    run.Byte(static_cast<std::uint8_t>(o.value));
}

// VRB k = left op right;  op is +, -, * or /
void CompileOperation(Run& run, std::string_view expression, std::size_t at) {
  const auto operation = static_cast<std::uint8_t>(kOperators.find(expression[at]));
  const auto left = ReadOperand(run, Trim(expression.substr(0, at)));
  // The two-operand form is built only while the whole run is free of errors; once
  // any error has been counted, the image is lost anyway and the right operand is not
  // even looked at.
  if (!left || !run.NoErrorSoFar()) return;
  run.code.ReplaceBack(2, Op::VrbOperation);
  EmitOperand(run, *left);
  run.Byte(operation);
  const auto right = ReadOperand(run, Trim(expression.substr(at + 1)));
  if (right && run.NoErrorSoFar()) EmitOperand(run, *right);
}

// A quantity of the driver named by one letter, with an index or without.
struct Source {
  char letter;
  Op opcode;
  std::uint32_t max;  // 0: no index
  Detail range;
};
// In order of priority: the first of these letters found anywhere in the expression.
constexpr Source kSources[] = {
    {'I', Op::VrbInputs, 6, kInputMaskRange},
    {'A', Op::VrbAnalog, 2, kAnalogRange},
    {'B', Op::VrbB, 2, kAnalogRange},
    {'S', Op::VrbDipSwitch, 8, kDipSwitchRange},
    {'P', Op::VrbParameter, 25, kParameterRange},
    {'V', Op::VrbVariable, 25, kVariableRange},
    {'T', Op::VrbTable, 32, kTableNrRange},
    {'Q', Op::VrbQ, 0, {}},
    {'W', Op::VrbW, 0, {}},
    {'X', Op::VrbX, 0, {}},
};

// VRB k = n;  VRB k = In;  ...  VRB k = Q;
void CompileSingle(Run& run, std::string_view expression) {
  for (const auto& s : kSources) {
    const auto at = expression.find(s.letter);
    if (at == npos) continue;
    run.code.ReplaceBack(2, s.opcode);
    if (s.max == 0) return;
    const auto n = run.Ranged(Trim(expression.substr(at + 1)), 1, s.max, s.range, A, A);
    if (!n) return;
    run.Byte(static_cast<std::uint8_t>(*n));
    // An input mask reads inputs 1 to n: a later test of one of them is a second use.
    if (s.letter == 'I') {
      for (int i = 1; i <= *n; ++i) run.interrupts.inputUsed[i] = true;
    }
    return;
  }
  const auto value = run.Number(expression, B);
  if (value) run.code.Word16(static_cast<std::uint32_t>(*value));
}

}  // namespace

// VRB k = expression;  k 1..25
void HandleVrb(Run& run, std::string_view command) {
  run.Opcode(Op::Vrb);
  const auto rest = Trim(From(command, 4));
  const auto eq = rest.find('=');
  if (eq == npos) return run.Error(msg::kMissingEqualsBang, B);
  const auto k = run.Ranged(Trim(rest.substr(0, eq)), 1, 25, msg::kVariableNrRange, B, B);
  if (!k) return;
  run.Byte(static_cast<std::uint8_t>(*k));

  const auto expression = BetweenAndLast(rest, eq);
  // One operator at most, found by kind and not by position: a leading minus sign is
  // a subtraction with an empty left operand.
  for (const char op : kOperators) {
    if (const auto at = expression.find(op); at != npos)
      return CompileOperation(run, expression, at);
  }
  CompileSingle(run, expression);
}

}  // namespace kivra::compiler
