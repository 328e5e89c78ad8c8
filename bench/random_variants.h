// Random variations of the example designs, the same on every build: the
// bit-for-bit comparison of two builds and the count of changed verdicts
// both draw them.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "velmora/design/design_input.h"
#include "velmora/design/input_file.h"

namespace velmora::bench {

namespace design = velmora::design;
namespace field = design::field;

// Selectors choose a branch of the procedure and TYPE is text: never varied.
inline constexpr int kFixedFields[] = {field::TYPE, field::ZC, field::CZN,   field::P,
                                       field::Q1,   field::Q2, field::GGPph, field::SHFA};

struct Example {
  std::string name;
  design::DesignInput input;
};

struct Variant {
  std::size_t example = 0;
  std::vector<std::pair<int, double>> changes;  // field, new value
};

inline std::vector<Example> ReadExamples(const std::string& folder) {
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().extension() == ".txt") paths.push_back(entry.path());
  std::sort(paths.begin(), paths.end());
  std::vector<Example> examples;
  for (const auto& path : paths)
    examples.push_back({path.stem().string(), design::ReadDesignInput(path.string())});
  return examples;
}

// Uniform in [lo, hi), built from the generator's bits alone so that every
// build draws the same numbers.
inline double Uniform(std::mt19937_64& rng, double lo, double hi) {
  return lo + (hi - lo) * (static_cast<double>(rng() >> 11) * 0x1p-53);
}

inline std::size_t Pick(std::mt19937_64& rng, std::size_t n) { return rng() % n; }

// Numeric inputs that may vary; a zero would stay zero when scaled.
inline std::vector<int> VariableFields(const design::DesignInput& input) {
  std::vector<int> fields;
  for (int i = 0; i < design::kFieldCount; ++i) {
    bool fixed =
        std::find(std::begin(kFixedFields), std::end(kFixedFields), i) != std::end(kFixedFields);
    if (!fixed && input[i].IsNumber() && input[i].number != 0) fields.push_back(i);
  }
  return fields;
}

// 5 % vary only the rated efficiency, over 0.5 to 0.99; of the rest a third
// scale one input and two thirds scale 2 to 8 inputs, each by 1 + u, u in [-0.5, 0.5).
inline Variant MakeVariant(std::mt19937_64& rng, const std::vector<Example>& examples) {
  Variant variant;
  variant.example = Pick(rng, examples.size());
  double share = Uniform(rng, 0, 1);
  if (share < 0.05) {
    variant.changes.push_back({field::EFF, Uniform(rng, 0.5, 0.99)});
    return variant;
  }
  const design::DesignInput& base = examples[variant.example].input;
  std::vector<int> fields = VariableFields(base);
  std::size_t count = share < 0.05 + 0.95 / 3 ? 1 : 2 + Pick(rng, 7);
  for (std::size_t k = 0; k < count && k < fields.size(); ++k) {
    std::swap(fields[k], fields[k + Pick(rng, fields.size() - k)]);
    variant.changes.push_back({fields[k], base[fields[k]].number * (1 + Uniform(rng, -0.5, 0.5))});
  }
  return variant;
}

// Changes the inputs as a sweep does: the number only, the field's text left as it was.
inline design::DesignInput Apply(const Variant& variant, const std::vector<Example>& examples) {
  design::DesignInput input = examples[variant.example].input;
  for (auto [index, value] : variant.changes) {
    input[index].kind = design::FieldValue::Kind::Number;
    input[index].number = value;
  }
  return input;
}

inline std::string Text(double value) {
  char buffer[32];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// "Y132S-4-5.5kW,L=123.4,Z=40.25": enough to repeat the run with a sweep.
inline std::string Describe(const Variant& variant, const std::vector<Example>& examples) {
  std::string text = examples[variant.example].name;
  for (auto [index, value] : variant.changes)
    text += std::string(",") + design::kFieldInfo[index].name + "=" + Text(value);
  return text;
}

}  // namespace velmora::bench
