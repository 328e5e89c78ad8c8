// Arbitrary bytes as an input data file: the reader, the conversion of the
// fields and the text codec must neither crash nor read out of bounds, and
// whatever the writer writes the reader must read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "velmora/design/design_input.h"
#include "velmora/design/input_file.h"
#include "velmora/design/text_codec.h"

namespace {

using namespace velmora::design;

// A text that the file format carries unchanged: no field ends, no leading
// blank or quote, and nothing GBK cannot hold.
bool Writable(const std::string& text) {
  if (text.find_first_of(",\r\n") != std::string::npos) return false;
  if (!text.empty() && (text[0] == ' ' || text[0] == '\t' || text[0] == '"')) return false;
  return GbkToUtf8(Utf8ToGbk(text)) == text;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> fields = ParseInputFields(bytes);
  Check(fields.size() <= kFieldCount);

  std::array<std::string, kFieldCount> texts;
  for (std::size_t i = 0; i < fields.size(); ++i) texts[i] = fields[i];
  DesignInput input = ToDesignInput(texts);
  for (int i = 0; i < kFieldCount; ++i) Check(input[i].text == texts[i]);

  // A number put back through SetNumber reads as the same number.
  DesignInput sweep;
  for (int i = 0; i < kFieldCount; ++i) {
    if (!input[i].IsNumber()) continue;
    SetNumber(sweep, i, input[i].number);
    Check(sweep[i].IsNumber() && sweep[i].number == input[i].number);
  }

  std::array<std::string, kFieldCount> writable;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (Writable(fields[i])) writable[i] = fields[i];
  }
  std::vector<std::string> again = ParseInputFields(FormatInputFile(writable));
  Check(again.size() == kFieldCount);
  for (int i = 0; i < kFieldCount; ++i) Check(again[i] == writable[i]);

  Utf8ToGbk(bytes);
  GbkToUtf8(bytes);
  return 0;
}
