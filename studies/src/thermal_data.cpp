// The thermal data: the names of the table, the frame table by centre
// height and the thermal data file.
#include "velmora/studies/thermal_data.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <optional>

#include "velmora/design/design_input.h"
#include "velmora/design/files.h"
#include "velmora/design/text_codec.h"

namespace velmora::studies {

namespace {

constexpr double kBig = 1e9;

#define VELMORA_ENTRY(name, min, max) \
  { #name, &ThermalData::name, min, max }
const std::array kEntries = std::to_array<ThermalDataEntry>({
    VELMORA_ENTRY(AMBIENT, -40, 60),
    VELMORA_ENTRY(T_REF, -40, 200),
    VELMORA_ENTRY(ALPHA_CU, 0, 0.01),
    VELMORA_ENTRY(ALPHA_AL, 0, 0.01),
    VELMORA_ENTRY(C_CU, 1, 10000),
    VELMORA_ENTRY(C_AL, 1, 10000),
    VELMORA_ENTRY(K_STEEL, 1e-3, 1000),
    VELMORA_ENTRY(K_INTERLAMINAR, 1e-3, 1000),
    VELMORA_ENTRY(K_CU, 1e-3, 1000),
    VELMORA_ENTRY(K_AL, 1e-3, 1000),
    VELMORA_ENTRY(K_LINER, 1e-3, 1000),
    VELMORA_ENTRY(K_ENAMEL, 1e-3, 1000),
    VELMORA_ENTRY(K_VARNISH, 1e-3, 1000),
    VELMORA_ENTRY(K_FRAME, 1e-3, 1000),
    VELMORA_ENTRY(K_SHAFT, 1e-3, 1000),
    VELMORA_ENTRY(K_AIR, 1e-3, 1),
    VELMORA_ENTRY(NU_AIR, 1e-7, 1e-3),
    VELMORA_ENTRY(RHO_AIR, 0.1, 10),
    VELMORA_ENTRY(CP_AIR, 100, 10000),
    VELMORA_ENTRY(PR_AIR, 0.1, 10),
    VELMORA_ENTRY(IMPREGNATION, 0, 1),
    VELMORA_ENTRY(GAP_FRAME, 1e-4, 10),
    VELMORA_ENTRY(GAP_SHAFT, 1e-4, 10),
    VELMORA_ENTRY(GAP_BEARING, 1e-4, 10),
    VELMORA_ENTRY(BEARING_OD, 1.01, 10),
    VELMORA_ENTRY(BEARING_WIDTH, 0.01, 10),
    VELMORA_ENTRY(TA_VORTEX, 0, kBig),
    VELMORA_ENTRY(TA_TURBULENT, 0, kBig),
    VELMORA_ENTRY(GAP_NU0, 0, 100),
    VELMORA_ENTRY(GAP_A1, 0, 100),
    VELMORA_ENTRY(GAP_E1, 0, 2),
    VELMORA_ENTRY(GAP_A2, 0, 100),
    VELMORA_ENTRY(GAP_E2, 0, 2),
    VELMORA_ENTRY(EW_K1, 1e-3, 1000),
    VELMORA_ENTRY(EW_K2, 0, 100),
    VELMORA_ENTRY(EW_K3, 0, 3),
    VELMORA_ENTRY(EC_K1, 1e-3, 1000),
    VELMORA_ENTRY(EC_K2, 0, 100),
    VELMORA_ENTRY(EC_K3, 0, 3),
    VELMORA_ENTRY(END_AIR, 0, 2),
    VELMORA_ENTRY(END_SPACE, 1, 2000),
    VELMORA_ENTRY(END_CLEARANCE, 0, 1000),
    VELMORA_ENTRY(FRAME_OD, 10, 5000),
    VELMORA_ENTRY(FRAME_WALL, 0.1, 200),
    VELMORA_ENTRY(FIN_THICKNESS, 0.1, 100),
    VELMORA_ENTRY(FIN_COUNT, 4, 1000),
    VELMORA_ENTRY(FIN_COVER, 0, 1),
    VELMORA_ENTRY(FAN_DIAMETER, 0, 3),
    VELMORA_ENTRY(FAN_AIR, 0, 3),
    VELMORA_ENTRY(HEILES_C, 1e-6, 100),
    VELMORA_ENTRY(HEILES_EL, 0, 3),
    VELMORA_ENTRY(HEILES_ED, 0, 3),
    VELMORA_ENTRY(HEILES_EV, 0, 3),
    VELMORA_ENTRY(CC_A, 0, 10),
    VELMORA_ENTRY(CC_B, 0, 10),
    VELMORA_ENTRY(CC_C, 0, 10),
    VELMORA_ENTRY(EMISSIVITY, 0, 1),
    VELMORA_ENTRY(STRAY_STATOR, 0, 1),
    VELMORA_ENTRY(BEARING_LOSS, 0, 1),
    VELMORA_ENTRY(STALL_STATOR, 0, 1000),
    VELMORA_ENTRY(STALL_CAGE, 0, 1000),
    VELMORA_ENTRY(FRAME_RISE_START, 0.1, 500),
});
#undef VELMORA_ENTRY
// Every member of the table has its entry.
static_assert(sizeof(ThermalData) == kEntries.size() * sizeof(double));

// Finned cast-iron frames of totally enclosed fan-cooled motors by centre
// height H (mm): outside diameter over the fins (about 2.05·H, the overall
// diameter such frames have), wall under the fins, mean fin thickness, fins
// round the circumference. Typical proportions, not any maker's drawings:
// an assumption the data file overrides. The frame's bore is the core's
// outside diameter D1; the fins fill the rest of the outside diameter.
struct FrameRow {
  double H;
  FrameSize size;
};
// clang-format off
constexpr std::array kFrameTable = std::to_array<FrameRow>({
    // H      outside  wall  fin t  fins
    {63,   {130,     4,    2.5,   24}},
    {80,   {165,     5,    3,     28}},
    {100,  {205,     6,    3.5,   32}},
    {112,  {230,     7,    3.5,   34}},
    {132,  {270,     8,    4,     36}},
    {160,  {325,     10,   4.5,   40}},
    {180,  {365,     11,   5,     44}},
    {200,  {410,     12,   5.5,   48}},
    {225,  {460,     13,   6,     50}},
    {250,  {510,     14,   6.5,   52}},
    {280,  {575,     15,   7,     56}},
    {315,  {645,     16,   7.5,   60}},
});
// clang-format on

double Between(double a, double b, double t) { return a + (b - a) * t; }

FrameSize TableFrame(double H) {
  if (!(H > kFrameTable.front().H)) return kFrameTable.front().size;
  if (H >= kFrameTable.back().H) return kFrameTable.back().size;
  std::size_t i = 1;
  while (kFrameTable[i].H < H) ++i;
  const FrameRow &lo = kFrameTable[i - 1], &hi = kFrameTable[i];
  double t = (H - lo.H) / (hi.H - lo.H);
  return {Between(lo.size.FRAME_OD, hi.size.FRAME_OD, t),
          Between(lo.size.FRAME_WALL, hi.size.FRAME_WALL, t),
          Between(lo.size.FIN_THICKNESS, hi.size.FIN_THICKNESS, t),
          std::round(Between(lo.size.FIN_COUNT, hi.size.FIN_COUNT, t))};
}

double Given(double value, double table) { return std::isnan(value) ? table : value; }

struct LineReader {
  const std::string& path;
  int number = 0;

  [[noreturn]] void Fail(ErrorCode code, const std::string& why) const {
    throw ThermalDataError(code,
                           "热参数文件" + path + "第" + std::to_string(number) + "行：" + why);
  }
};

std::string_view Trimmed(std::string_view text) {
  const char* blanks = " \t\r";
  std::size_t start = text.find_first_not_of(blanks);
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(blanks) - start + 1);
}

const ThermalDataEntry* FindEntry(std::string_view name) {
  for (const ThermalDataEntry& entry : kEntries)
    if (entry.name == name) return &entry;
  return nullptr;
}

// One NAME=VALUE line into `data`; `seen` marks the names already given.
void ReadLine(std::string_view line, const LineReader& reader, ThermalData& data,
              std::array<bool, kEntries.size()>& seen) {
  std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) reader.Fail(ErrorCode::BadForm, "应写成 名称=数值");
  std::string name(Trimmed(line.substr(0, equals)));
  std::string_view text = Trimmed(line.substr(equals + 1));
  const ThermalDataEntry* entry = FindEntry(name);
  if (!entry) reader.Fail(ErrorCode::UnknownInput, "不认识的参数名“" + name + "”");
  std::size_t index = static_cast<std::size_t>(entry - kEntries.data());
  if (seen[index]) reader.Fail(ErrorCode::BadForm, name + "给了两次");
  std::optional<double> value = design::ParseNumber(text);
  if (!value || !(*value >= entry->min) || !(*value <= entry->max))
    reader.Fail(ErrorCode::BadForm, name + "应为" + design::ShortestText(entry->min) + "到" +
                                        design::ShortestText(entry->max) + "之间的数，现为“" +
                                        std::string(text) + "”");
  seen[index] = true;
  data.*(entry->member) = *value;
}

}  // namespace

std::span<const ThermalDataEntry> ThermalDataTable() { return kEntries; }

FrameSize FrameOf(double H, const ThermalData& data) {
  FrameSize table = TableFrame(H);
  return {Given(data.FRAME_OD, table.FRAME_OD), Given(data.FRAME_WALL, table.FRAME_WALL),
          Given(data.FIN_THICKNESS, table.FIN_THICKNESS), Given(data.FIN_COUNT, table.FIN_COUNT)};
}

ThermalData ParseThermalData(std::string_view gbk_text, const std::string& path, ThermalData base) {
  const std::string text = design::GbkToUtf8(gbk_text);
  std::array<bool, kEntries.size()> seen{};
  LineReader reader{path};
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = std::min(text.find('\n', start), text.size());
    ++reader.number;
    std::string_view line = std::string_view(text).substr(start, end - start);
    start = end + 1;
    line = Trimmed(line.substr(0, line.find('#')));
    if (!line.empty()) ReadLine(line, reader, base, seen);
  }
  return base;
}

ThermalData ReadThermalData(const std::string& path) {
  std::string bytes;
  try {
    bytes = design::ReadWholeFile(path, 1 << 16);
  } catch (const design::FileError& error) {
    throw ThermalDataError(ErrorCode::FileFailed,
                           std::string("热参数文件不能读取：") + error.what());
  }
  return ParseThermalData(bytes, path);
}

ThermalData ReadThermalDataOrDefault(const std::string& folder, std::string& file) {
  const std::string path = design::JoinPath(folder, kThermalFileName);
  file.clear();
  // As for the price file: only no entry at all is a missing file.
  struct stat info;
  if (lstat(path.c_str(), &info) != 0 && errno == ENOENT) return ThermalData{};
  ThermalData data = ReadThermalData(path);
  file = path;
  return data;
}

}  // namespace velmora::studies
