#include "velmora/design/material_prices.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <vector>

#include "velmora/design/design_input.h"
#include "velmora/design/files.h"
#include "velmora/design/text_codec.h"

namespace velmora::design {

namespace {

// Fields of a line, split at commas (ASCII or full-width) and blanks.
std::vector<std::string> Fields(std::string_view line) {
  std::string text(line);
  for (std::size_t at; (at = text.find("，")) != std::string::npos;) text.replace(at, 3, ",");
  std::vector<std::string> fields;
  std::string field;
  for (char c : text + ",") {
    if (c == ',' || c == ' ' || c == '\t' || c == '\r') {
      if (!field.empty()) fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  return fields;
}

struct LineReader {
  const std::string& path;
  int number = 0;

  [[noreturn]] void Fail(const std::string& why) const {
    throw PriceFileError("材料价格文件" + path + "第" + std::to_string(number) + "行：" + why);
  }
};

// No active material costs a million a kilogram in any currency a price
// file is written in; a price that high is a slip of the pen (or "inf"),
// and would print costs beyond all reason.
constexpr double kMaxPrice = 1e6;

}  // namespace

std::string ShippedPriceText() { return "铜,75,元/kg\n铝,22,元/kg\n硅钢片,7,元/kg\n"; }

MaterialPrices ParsePrices(std::string_view gbk_text, const std::string& path) {
  MaterialPrices prices;
  prices.source = path;
  const std::string text = GbkToUtf8(gbk_text);
  std::array<bool, 3> seen{};
  LineReader line{path};
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = std::min(text.find('\n', start), text.size());
    ++line.number;
    std::vector<std::string> fields = Fields(std::string_view(text).substr(start, end - start));
    start = end + 1;
    if (fields.empty()) continue;
    if (fields.size() != 3) line.Fail("应写成 材料,每千克价格,单位（如 铜,75,元/kg）");
    const std::array<std::pair<const char*, double*>, 3> materials = {
        {{"铜", &prices.copper}, {"铝", &prices.aluminium}, {"硅钢片", &prices.steel}}};
    std::size_t m = 0;
    while (m < materials.size() && fields[0] != materials[m].first) ++m;
    if (m == materials.size()) line.Fail("不认识的材料“" + fields[0] + "”，应为铜、铝或硅钢片");
    if (seen[m]) line.Fail(fields[0] + "的价格给了两次");
    std::optional<double> price = ParseNumber(fields[1]);
    if (!price || !(*price > 0) || !(*price < kMaxPrice))
      line.Fail("价格“" + fields[1] + "”应为大于0、小于1000000的数");
    if (fields[2].size() < 4 || fields[2].substr(fields[2].size() - 3) != "/kg")
      line.Fail("单位“" + fields[2] + "”应为每千克的价格，如元/kg");
    if (std::find(seen.begin(), seen.end(), true) != seen.end() && fields[2] != prices.unit)
      line.Fail("单位“" + fields[2] + "”与前面的“" + prices.unit + "”不同");
    seen[m] = true;
    *materials[m].second = *price;
    prices.unit = fields[2];
  }
  for (std::size_t m = 0; m < seen.size(); ++m) {
    static constexpr const char* kNames[] = {"铜", "铝", "硅钢片"};
    if (!seen[m]) throw PriceFileError("材料价格文件" + path + "缺少" + kNames[m] + "的价格");
  }
  return prices;
}

MaterialPrices ReadPrices(const std::string& path) {
  std::string bytes;
  try {
    bytes = ReadWholeFile(path, 1 << 16);
  } catch (const FileError& error) {
    throw PriceFileError(std::string("材料价格文件不能读取：") + error.what());
  }
  return ParsePrices(bytes, path);
}

MaterialPrices ReadPricesOrShipped(const std::string& folder) {
  const std::string path = JoinPath(folder, kPriceFileName);
  // Only no entry at all is a missing file: a symbolic link to nowhere, a
  // file the user may not read or a folder of that name is an error, so
  // that prices are never silently other than the user put there.
  struct stat info;
  if (lstat(path.c_str(), &info) != 0 && errno == ENOENT) return MaterialPrices{};
  return ReadPrices(path);
}

}  // namespace velmora::design
