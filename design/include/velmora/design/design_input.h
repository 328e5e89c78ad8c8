// The 60 design inputs of one motor and their conversion from box texts.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::design {

constexpr int kFieldCount = 60;

// The 60 inputs by name, in box order (the order of the file and the record).
// clang-format off
#define VELMORA_DESIGN_FIELDS(X)                                                   \
  X(TYPE) X(H) X(Un) X(f) X(Kfe) X(hw) X(si) X(Lo1) X(Lo2) X(QMHW)                 \
  X(GGPph) X(Pn) X(P) X(EFF) X(PF) X(IST) X(TST) X(TM) X(Q1) X(Q2)                 \
  X(D1) X(DI1) X(DI2) X(G) X(Y1) X(sk) X(B01) X(HS0) X(ZS1) X(B02)                 \
  X(HR0) X(ZS2) X(PS) X(PFW) X(CZN) X(SRR) X(D) X(BS1) X(BS2) X(HS12)              \
  X(BR1) X(BR2) X(BR3) X(BR4) X(HR12) X(HR3) X(ZC) X(L) X(LS) X(LT)                \
  X(A) X(Z) X(ZS) X(ZT) X(SF0) X(JJ) X(DJJ) X(MM) X(DMM) X(SHFA)
// clang-format on

// Index of each input in the box array, the file and the record.
namespace field {
#define VELMORA_FIELD_ENUM(name) name,
enum : int { VELMORA_DESIGN_FIELDS(VELMORA_FIELD_ENUM) };
#undef VELMORA_FIELD_ENUM
}  // namespace field

struct FieldInfo {
  const char* name;     // name under which the calculation and reports know it
  const char* caption;  // caption beside the input box (UTF-8)
};

// Names and captions of the 60 inputs, in box order.
extern const std::array<FieldInfo, kFieldCount> kFieldInfo;

// An input as messages name it: “caption”（name）.
std::string InputLabel(int index);

// A number as messages give it: the shortest text that reads back as the same double.
std::string ShortestText(double value);

// A number as people read it: `digits` significant digits ("%.*g"), or
// `decimals` places after the point ("%.*f"); never "-0".
std::string SignificantText(double value, int digits = 6);
std::string FixedText(double value, int decimals);

// Index of the input called `name` (exact, case-sensitive), if there is one.
std::optional<int> FieldIndex(std::string_view name);

// One converted input: empty, a number, or text that does not read as a number.
struct FieldValue {
  enum class Kind { Empty, Number, Text };
  Kind kind = Kind::Empty;
  double number = 0;  // 0 unless kind == Number
  std::string text;   // the field as it stood in the file (UTF-8)

  bool IsNumber() const { return kind == Kind::Number; }
  bool IsText() const { return kind == Kind::Text; }
  bool IsEmpty() const { return kind == Kind::Empty; }
};

// A design as the calculation reads it. Every field keeps its text; field 0
// (TYPE) is converted like the others but only ever printed; field 59 (SHFA)
// is narrowed to single precision (beyond that range it stays text).
struct DesignInput {
  std::array<FieldValue, kFieldCount> fields;

  const FieldValue& operator[](int i) const { return fields[i]; }
  FieldValue& operator[](int i) { return fields[i]; }
};

// Whether `text` reads as a number: optional sign, digits with an optional
// point or a point followed by digits, optional exponent; blanks around it
// are ignored. Returns the number.
std::optional<double> ParseNumber(std::string_view text);

// Converts one field text for input `index`.
FieldValue ConvertField(int index, std::string_view text);

// Converts 60 field texts.
DesignInput ToDesignInput(const std::array<std::string, kFieldCount>& texts);

// The 60 texts a design was made from, as its file or the boxes hold them.
std::array<std::string, kFieldCount> FieldTexts(const DesignInput& input);

// Replaces one input with a number (as if the field had held its text), used by sweeps.
void SetNumber(DesignInput& input, int index, double value);

}  // namespace velmora::design
