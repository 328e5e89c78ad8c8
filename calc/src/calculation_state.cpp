#include "velmora/calc/calculation_state.h"

#include <array>
#include <bit>
#include <cstdint>

#include "procedure.h"

namespace velmora::calc {

void InputNumber::ThrowTypeMismatch(int index) { throw TypeMismatch{index}; }

namespace {

QuantityView View(const Quantity& q) { return {q.value, q.set, false}; }
QuantityView View(const SingleQuantity& q) { return {q.value, q.set, true}; }

#define VELMORA_ENTRY(member) \
  QuantityEntry{#member, [](const CalculationState& s) { return View(s.member); }},
const std::array kQuantityTable = {VELMORA_QUANTITIES(VELMORA_ENTRY, VELMORA_ENTRY)};
#undef VELMORA_ENTRY

}  // namespace

std::span<const QuantityEntry> QuantityTable() { return kQuantityTable; }

const QuantityEntry* FindQuantityEntry(std::string_view name) {
  if (name == "SIN ALFA") name = "SIN_ALFA";
  for (const QuantityEntry& entry : kQuantityTable)
    if (entry.name == name) return &entry;
  return nullptr;
}

std::optional<QuantityView> FindQuantity(const CalculationState& state, std::string_view name) {
  const QuantityEntry* entry = FindQuantityEntry(name);
  if (!entry) return std::nullopt;
  return entry->get(state);
}

namespace {

bool Same(const Quantity& a, const Quantity& b) {
  return a.set == b.set &&
         std::bit_cast<std::uint64_t>(a.value) == std::bit_cast<std::uint64_t>(b.value);
}
bool Same(const SingleQuantity& a, const SingleQuantity& b) {
  return a.set == b.set &&
         std::bit_cast<std::uint32_t>(a.value) == std::bit_cast<std::uint32_t>(b.value);
}

}  // namespace

bool SameQuantities(const CalculationState& a, const CalculationState& b) {
#define VELMORA_SAME(member) \
  if (!Same(a.member, b.member)) return false;
  VELMORA_QUANTITIES(VELMORA_SAME, VELMORA_SAME)
#undef VELMORA_SAME
  return true;
}

void ReadInputs(const design::DesignInput& input, Inputs& in) {
  int index = 0;
#define VELMORA_INPUT(name)                                      \
  in.name = {input[index].number, input[index].IsText(), index}; \
  ++index;
  VELMORA_DESIGN_FIELDS(VELMORA_INPUT)
#undef VELMORA_INPUT
}

Inputs ToInputs(const design::DesignInput& input) {
  Inputs in;
  ReadInputs(input, in);
  return in;
}

}  // namespace velmora::calc
