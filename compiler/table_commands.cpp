// Tables and referenced motion: TABLE sets one of the driver's 32 table entries, MOVT
// moves by a table entry, REFPOS takes the reference position.

#include "compiler/handlers.h"

namespace kivra::compiler {
namespace {

using enum HeaderForm;

constexpr Detail kMissingEquals{"Missing (=)", "(=) bekleniyor!"};
constexpr Detail kTableIndexRange{"Table index range:1-32", "Tablo no :1-32 olabilir!"};
constexpr Detail kParameterRange{"Parameter nr range:1-25", "Parametre no :1-25 olabilir!"};
constexpr Detail kVariableRange{"Variable nr range:1-25", "degisken no :1-25 olabilir!"};
constexpr Detail kValueRange{"Table value range:0-4000000000", "Tablo degeri:0-4000000000"};
constexpr Detail kMovtVariableRange{"Variable nr. range:1-25 ", "Değişken No:1-25 olabilir"};
constexpr Detail kMovtIndexRange{"Table index range:1-32", "Tablo Indisi:1-32 olabilir"};

// TABLE t = Pn;  TABLE t = Vn;
void EmitTableReference(Run& run, std::string_view rest, std::size_t letter, Op opcode,
                        std::uint8_t t, const Detail& range) {
  run.Opcode(opcode);
  run.Byte(t);
  const auto n = run.Ranged(BetweenAndLast(rest, letter), 1, 25, range, B, B);
  if (n) run.Byte(static_cast<std::uint8_t>(*n));
}

}  // namespace

// TABLE t = k;  TABLE t = Pn;  TABLE t = Vn;  t 1..32, k 0..4000000000 in 32 bits
void HandleTable(Run& run, std::string_view command) {
  auto rest = Trim(From(command, 6));
  const auto eq = rest.find('=');
  if (eq == npos) return run.Error(kMissingEquals, B);
  const auto t = run.Ranged(Trim(rest.substr(0, eq)), 1, 32, kTableIndexRange, B, B);
  if (!t) return;
  const auto index = static_cast<std::uint8_t>(*t);
  rest = Trim(rest.substr(eq + 1));
  if (const auto p = rest.find('P'); p != npos) {
    return EmitTableReference(run, rest, p, Op::TableParameter, index, kParameterRange);
  }
  if (const auto v = rest.find('V'); v != npos) {
    return EmitTableReference(run, rest, v, Op::TableVariable, index, kVariableRange);
  }
  run.Opcode(Op::Table);
  run.Byte(index);
  const auto k = run.Number64(Trim(DropLast(rest)), B);
  if (!k) return;
  if (*k < 0 || *k > 4000000000LL) return run.Error(kValueRange, B);
  run.code.Word32(static_cast<std::uint32_t>(*k));
}

// MOVT t;  MOVT Vn;  t 1..32
void HandleMovt(Run& run, std::string_view command) {
  run.Opcode(Op::Movt);
  const auto rest = Trim(DropLast(From(command, 5)));
  if (const auto v = rest.find('V'); v != npos) {
    run.code.ReplaceBack(1, Op::MovtVariable);
    const auto n = run.Ranged(Trim(rest.substr(v + 1)), 1, 25, kMovtVariableRange, A, A);
    if (n) run.Byte(static_cast<std::uint8_t>(*n));
    return;
  }
  const auto t = run.Ranged(rest, 1, 32, kMovtIndexRange, B, A);
  if (t) run.Byte(static_cast<std::uint8_t>(*t));
}

// REFPOS;  anything before the `;` is ignored.
void HandleRefpos(Run& run, std::string_view) {
  run.Opcode(Op::Refpos);
}

}  // namespace kivra::compiler
