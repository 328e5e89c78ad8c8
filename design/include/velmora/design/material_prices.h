// Prices of the active materials per kilogram, from the price file
// "材料价格.dat" (GBK, one material a line: name, price per kg, unit).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "velmora/design/error.h"

namespace velmora::design {

inline constexpr const char* kPriceFileName = "材料价格.dat";

struct MaterialPrices {
  double copper = 75;     // 铜, stator winding
  double aluminium = 22;  // 铝, rotor cage
  double steel = 7;       // 硅钢片, core
  std::string unit = "元/kg";
  std::string source;  // the file the prices came from; empty: the shipped prices
};

// The shipped price file's text (UTF-8), also the prices used without a file.
std::string ShippedPriceText();

// A price file that cannot be used; the message names the file and the line.
class PriceFileError : public Error {
 public:
  explicit PriceFileError(const std::string& message) : Error(ErrorCode::PriceFile, message) {}
};

// Reads the prices from the GBK text of `path` (named in messages). Every
// line that is not blank names 铜, 铝 or 硅钢片, a price above 0 and below
// 1,000,000 and its unit ("元/kg"); each material once, all three, one unit.
// Throws PriceFileError.
MaterialPrices ParsePrices(std::string_view gbk_text, const std::string& path);

// Reads `path`; throws PriceFileError, also for a file that cannot be read.
MaterialPrices ReadPrices(const std::string& path);

// The prices of the file in `folder`, or the shipped prices when there is
// no such file. A file that is there but cannot be read or used (also a
// symbolic link to nothing) is an error: PriceFileError.
MaterialPrices ReadPricesOrShipped(const std::string& folder);

}  // namespace velmora::design
