// The price file: the shipped prices, and each way a file can be wrong.
#include "velmora/design/material_prices.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "temp_folder.h"
#include "velmora/design/files.h"
#include "velmora/design/text_codec.h"

namespace velmora::design {
namespace {

MaterialPrices Parse(const std::string& utf8) { return ParsePrices(Utf8ToGbk(utf8), "价格.dat"); }

TEST(MaterialPrices, ReadsTheShippedFileAndOtherSeparators) {
  MaterialPrices shipped = Parse(ShippedPriceText());
  EXPECT_EQ(shipped.copper, 75);
  EXPECT_EQ(shipped.aluminium, 22);
  EXPECT_EQ(shipped.steel, 7);
  MaterialPrices dollars = Parse("硅钢片  1.2  $/kg\r\n\n铜，11.5，$/kg\n铝\t3\t$/kg\n");
  EXPECT_EQ(dollars.copper, 11.5);
  EXPECT_EQ(dollars.unit, "$/kg");
  EXPECT_EQ(dollars.source, "价格.dat");
}

TEST(MaterialPrices, AFileThatCannotBeUsedNamesItsLine) {
  const struct {
    const char* text;
    const char* named;
  } kBad[] = {
      {"铜,75,元/kg\n铝,abc,元/kg\n硅钢片,7,元/kg\n", "第2行：价格“abc”"},
      {"铜,75,元/kg\n钢,7,元/kg\n", "第2行：不认识的材料“钢”"},
      {"铜,75,元/kg\n铜,70,元/kg\n", "第2行：铜的价格给了两次"},
      {"铜,75\n", "第1行：应写成"},
      {"铜,75,元\n", "第1行：单位“元”"},
      {"铜,75,元/kg\n铝,22,$/kg\n", "第2行：单位“$/kg”与前面的“元/kg”不同"},
      {"铜,75,元/kg\n铝,22,元/kg\n", "缺少硅钢片的价格"},
      {"铜,-1,元/kg\n", "第1行：价格“-1”"},
      // A price is above 0 and below a million a kilogram.
      {"铜,0,元/kg\n", "第1行：价格“0”应为大于0、小于1000000的数"},
      {"铜,-0,元/kg\n", "第1行：价格“-0”"},
      {"铝,22,元/kg\n铜,1e6,元/kg\n", "第2行：价格“1e6”"},
      {"铜,1e300,元/kg\n", "第1行：价格“1e300”"},
      {"铜,inf,元/kg\n", "第1行：价格“inf”"},
      {"铜,nan,元/kg\n", "第1行：价格“nan”"},
  };
  for (const auto& bad : kBad) {
    try {
      Parse(bad.text);
      ADD_FAILURE() << "accepted " << bad.text;
    } catch (const PriceFileError& error) {
      EXPECT_NE(std::string(error.what()).find(bad.named), std::string::npos) << error.what();
      EXPECT_NE(std::string(error.what()).find("价格.dat"), std::string::npos);
    }
  }
}

TEST(MaterialPrices, OnlyAMissingDefaultFileFallsBackToTheShippedPrices) {
  EXPECT_TRUE(ReadPricesOrShipped("/nonexistent-folder").source.empty());
  EXPECT_THROW(ReadPrices("/nonexistent-folder/价格.dat"), PriceFileError);
  // A file that is there but cannot be read is no missing file. (Root reads
  // any file, so a file without read permission is not tried here.)
  testing::TempFolder dangling, folder;
  std::filesystem::create_symlink("nowhere.dat", dangling.File(kPriceFileName));
  std::filesystem::create_directory(folder.File(kPriceFileName));
  for (const std::string& path : {dangling.path(), folder.path()}) {
    try {
      ReadPricesOrShipped(path);
      ADD_FAILURE() << "fell back to the shipped prices in " << path;
    } catch (const PriceFileError& error) {
      EXPECT_NE(std::string(error.what()).find(JoinPath(path, kPriceFileName)), std::string::npos)
          << error.what();
    }
  }
}

}  // namespace
}  // namespace velmora::design
