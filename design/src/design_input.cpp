#include "velmora/design/design_input.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace velmora::design {

namespace {

// Names checked against the field enumeration at compile time below.
constexpr std::array<FieldInfo, kFieldCount> kFieldTable = {{
    {"TYPE", "电机型号"},
    {"H", "中心高"},
    {"Un", "电压U1"},
    {"f", "频率f"},
    {"Kfe", "叠压系数Kfe"},
    {"hw", "槽楔厚度hw"},
    {"si", "槽绝缘厚度si"},
    {"Lo1", "Lo1"},
    {"Lo2", "Lo2"},
    {"QMHW", "漆膜厚度"},
    {"GGPph", "硅钢片牌号"},
    {"Pn", "功率P1"},
    {"P", "极数P"},
    {"EFF", "效率EFF"},
    {"PF", "功率因数PF"},
    {"IST", "IST"},
    {"TST", "TST"},
    {"TM", "TM"},
    {"Q1", "定子槽数Q1"},
    {"Q2", "转子槽数Q2"},
    {"D1", "定子外径D1"},
    {"DI1", "定子内径DI1"},
    {"DI2", "转子内径DI2"},
    {"G", "气隙G"},
    {"Y1", "节距Y1"},
    {"sk", "sk"},
    {"B01", "B01"},
    {"HS0", "HS0"},
    {"ZS1", "ZS1"},
    {"B02", "B02"},
    {"HR0", "HR0"},
    {"ZS2", "ZS2"},
    {"PS", "杂散损耗PS"},
    {"PFW", "机械耗PFW"},
    {"CZN", "CZN"},
    {"SRR", "端环面积SRR"},
    {"D", "直线部分伸长D"},
    {"BS1", "BS1"},
    {"BS2", "BS2"},
    {"HS12", "HS12"},
    {"BR1", "BR1"},
    {"BR2", "BR2"},
    {"BR3", "BR3"},
    {"BR4", "BR4"},
    {"HR12", "HR12"},
    {"HR3", "HR3"},
    {"ZC", "ZC"},
    {"L", "铁芯长L"},
    {"LS", "LS"},
    {"LT", "LT"},
    {"A", "并联路数A"},
    {"Z", "每槽导体数Z"},
    {"ZS", "ZS"},
    {"ZT", "ZT"},
    {"SF0", "槽满率SF0"},
    {"JJ", "JJ"},
    {"DJJ", "DJJ"},
    {"MM", "MM"},
    {"DMM", "DMM"},
    {"SHFA", "选择输出方案"},
}};

constexpr bool SameName(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) ++a, ++b;
  return *a == *b;
}

constexpr bool TableFollowsFieldOrder() {
  constexpr const char* kEnumNames[] = {
#define VELMORA_FIELD_NAME(name) #name,
      VELMORA_DESIGN_FIELDS(VELMORA_FIELD_NAME)
#undef VELMORA_FIELD_NAME
  };
  for (int i = 0; i < kFieldCount; ++i) {
    if (!SameName(kFieldTable[i].name, kEnumNames[i])) return false;
  }
  return true;
}
static_assert(TableFollowsFieldOrder(), "input names out of box order");

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Number of digits at the start of `text`.
std::size_t DigitRun(std::string_view text) {
  std::size_t n = 0;
  while (n < text.size() && IsDigit(text[n])) ++n;
  return n;
}

// The grammar of a number field, without sign: digits with an optional
// point and digits after it, or a point followed by digits; then an
// optional exponent e/E, optional sign, digits.
bool IsUnsignedDecimal(std::string_view text) {
  std::size_t whole = DigitRun(text);
  text.remove_prefix(whole);
  std::size_t fraction = 0;
  if (!text.empty() && text.front() == '.') {
    text.remove_prefix(1);
    fraction = DigitRun(text);
    text.remove_prefix(fraction);
  }
  if (whole == 0 && fraction == 0) return false;
  if (text.empty()) return true;
  if (text.front() != 'e' && text.front() != 'E') return false;
  text.remove_prefix(1);
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  std::size_t exponent = DigitRun(text);
  return exponent > 0 && exponent == text.size();
}

}  // namespace

const std::array<FieldInfo, kFieldCount> kFieldInfo = kFieldTable;

std::string InputLabel(int index) {
  const FieldInfo& info = kFieldInfo[index];
  return std::string("“") + info.caption + "”（" + info.name + "）";
}

namespace {

std::string Printed(const char* format, int precision, double value) {
  char buffer[400];  // %.*f of the largest double has 309 digits before the point
  std::snprintf(buffer, sizeof buffer, format, precision, value == 0 ? 0.0 : value);
  std::string text = buffer;
  // A value that rounds to zero from below prints "-0.00": no motor has that.
  if (text.find_first_not_of("-0.") == std::string::npos && text[0] == '-') text.erase(0, 1);
  return text;
}

}  // namespace

std::string SignificantText(double value, int digits) { return Printed("%.*g", digits, value); }

std::string FixedText(double value, int decimals) { return Printed("%.*f", decimals, value); }

std::string ShortestText(double value) {
  char buffer[32];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

std::optional<int> FieldIndex(std::string_view name) {
  for (int i = 0; i < kFieldCount; ++i) {
    if (name == kFieldInfo[i].name) return i;
  }
  return std::nullopt;
}

std::optional<double> ParseNumber(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  if (!IsUnsignedDecimal(text)) return std::nullopt;
  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  // Beyond the range of a double (1e400, 1e-400): no number the
  // calculation could use, so the field is left as text.
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return negative ? -value : value;
}

FieldValue ConvertField(int index, std::string_view text) {
  FieldValue value;
  value.text = std::string(text);
  if (TrimBlanks(text).empty()) return value;
  std::optional<double> number = ParseNumber(text);
  // SHFA is a single-precision input; a value beyond its range cannot be
  // held and stays text, like any other text the calculation cannot use.
  if (number && index == field::SHFA) {
    float narrowed = static_cast<float>(*number);
    if (std::isinf(narrowed))
      number.reset();
    else
      number = static_cast<double>(narrowed);
  }
  if (number) {
    value.kind = FieldValue::Kind::Number;
    value.number = *number;
  } else {
    value.kind = FieldValue::Kind::Text;
  }
  return value;
}

std::array<std::string, kFieldCount> FieldTexts(const DesignInput& input) {
  std::array<std::string, kFieldCount> texts;
  for (int i = 0; i < kFieldCount; ++i) texts[i] = input[i].text;
  return texts;
}

DesignInput ToDesignInput(const std::array<std::string, kFieldCount>& texts) {
  DesignInput input;
  for (int i = 0; i < kFieldCount; ++i) input[i] = ConvertField(i, texts[i]);
  return input;
}

void SetNumber(DesignInput& input, int index, double value) {
  // The shortest text that reads back as exactly `value`; converting it
  // goes the same way as a field read from the file.
  char buffer[32];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)error;  // 32 characters hold any double
  input[index] = ConvertField(index, std::string_view(buffer, end - buffer));
}

}  // namespace velmora::design
