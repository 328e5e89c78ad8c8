#include "velmora/studies/slot_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "velmora/calc/curves.h"

namespace velmora::studies {

namespace {

namespace field = design::field;

using calc::pi;  // the drawing takes the procedure's constant

// What a box must hold for the slot to be drawable.
enum class Need { Any, NonNegative, Positive };

// Reads the inputs one by one; the first unusable box is the refusal and
// every box reads as 0 from then on, so a bad design never produces a drawing.
class InputReader {
 public:
  explicit InputReader(const design::DesignInput& input) : input_(input) {}

  double operator()(int index, Need need = Need::NonNegative) {
    using Why = SlotRefusal::Why;
    if (Refused()) return 0;
    const design::FieldValue& value = input_[index];
    if (value.IsEmpty()) return Refuse(Why::Empty, index);
    if (!value.IsNumber() || !std::isfinite(value.number)) return Refuse(Why::NotNumber, index);
    if (need == Need::NonNegative && value.number < 0) return Refuse(Why::Negative, index);
    if (need == Need::Positive && !(value.number > 0)) return Refuse(Why::NotPositive, index);
    return value.number;
  }

  // The rotor slot shape, 1 to 4.
  int Shape() {
    const double ZC = (*this)(field::ZC, Need::Any);
    if (!Refused() && (ZC != 1 && ZC != 2 && ZC != 3 && ZC != 4))
      Refuse(SlotRefusal::Why::NotSlotShape, field::ZC);
    return Refused() ? 0 : static_cast<int>(ZC);
  }

  bool Refused() const { return refusal_.why != SlotRefusal::Why::None; }
  const SlotRefusal& refusal() const { return refusal_; }

  double Refuse(SlotRefusal::Why why, int index) {
    if (!Refused()) refusal_ = {why, index};
    return 0;
  }

 private:
  const design::DesignInput& input_;
  SlotRefusal refusal_;
};

// Adds the points of an arc of radius `r` about `centre`, from angle `from`
// to angle `to` (radians, y as drawn), both ends included.
void AppendArc(std::vector<Point>& points, Point centre, double r, double from, double to) {
  const int steps =
      std::max(1, static_cast<int>(std::ceil(std::fabs(to - from) / (2 * pi) * kArcStepsPerTurn)));
  for (int i = 0; i <= steps; ++i) {
    const double angle = from + (to - from) * i / steps;
    points.push_back({centre.x + r * std::cos(angle), centre.y + r * std::sin(angle)});
  }
}

// Quarter of a round bottom of diameter `width` whose centre is at depth
// `depth`: from its left end down to the axis.
void AppendRoundBottom(std::vector<Point>& half, double width, double depth) {
  AppendArc(half, {0, depth}, width / 2, pi, pi / 2);
}

// The whole slot from its left half, which runs from the opening's left
// corner down to the axis: the right half is its mirror, walked back up.
Polygon Mirrored(std::vector<Point> half) {
  Polygon outline = half;
  for (auto point = half.rbegin() + 1; point != half.rend(); ++point) {
    outline.push_back({-point->x, point->y});
  }
  return outline;
}

std::string Label(const char* name, double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%s=%g", name, value);
  return text;
}

// A width measured across the slot at depth y, and a depth measured beside
// it at x, from y0 to y1; in slot coordinates.
Dimension Across(const char* name, double width, double y) {
  return {{-width / 2, y}, {width / 2, y}, Label(name, width)};
}
Dimension Down(const char* name, double x, double y0, double y1) {
  return {{x, y0}, {x, y1}, Label(name, y1 - y0)};
}

// Tapered lip height: the lip widens from the opening to the body under the angle.
double LipHeight(double body, double opening, double angle_degrees) {
  return (body - opening) * std::tan(angle_degrees * pi / 180) / 2;
}

// How a slot sits in the machine: on a circle of `radius`, one of `count`
// slots, opening outwards (stator) or inwards (rotor).
struct Placement {
  double radius;
  double count;
  double into_iron;  // +1: depth grows outwards (stator); −1: inwards (rotor)

  double Pitch() const { return 2 * pi / count; }

  // Slot coordinates of slot `k` (0 the middle one, on the +y axis) to
  // machine coordinates.
  Point Place(Point local, int k) const {
    const double turn = -k * Pitch();
    const double x = local.x;
    const double y = radius + into_iron * local.y;
    return {x * std::cos(turn) - y * std::sin(turn), x * std::sin(turn) + y * std::cos(turn)};
  }
};

// The gap circle from one and a half pitches left of the middle slot to one
// and a half pitches right of it, broken by the three slots.
std::vector<Point> IronEdge(const Polygon& outline, const Placement& place) {
  std::vector<Point> edge;
  const double half_opening = std::atan2(-outline.front().x, place.radius);
  double angle = pi / 2 + 1.5 * place.Pitch();
  for (int k = -1; k <= 1; ++k) {
    const double axis = pi / 2 - k * place.Pitch();
    AppendArc(edge, {0, 0}, place.radius, angle, axis + half_opening);
    for (const Point& point : outline) edge.push_back(place.Place(point, k));
    angle = axis - half_opening;
  }
  AppendArc(edge, {0, 0}, place.radius, angle, pi / 2 - 1.5 * place.Pitch());
  return edge;
}

SlotOutline PlaceSlot(Polygon outline, std::vector<Dimension> local_dimensions,
                      const Placement& place) {
  SlotOutline slot;
  slot.iron_edge = IronEdge(outline, place);
  slot.outline = std::move(outline);
  slot.radius = place.radius;
  for (Dimension& dimension : local_dimensions) {
    dimension.from = place.Place(dimension.from, 0);
    dimension.to = place.Place(dimension.to, 0);
    slot.dimensions.push_back(std::move(dimension));
  }
  return slot;
}

// Opening B01 × HS0, lip from B01 to BS1, body from BS1 to BS2 down to HS12
// below the opening, and a round bottom of diameter BS2.
SlotOutline StatorSlot(InputReader& read) {
  const double B01 = read(field::B01), HS0 = read(field::HS0);
  const double ZS1 = read(field::ZS1, Need::Any);
  const double BS1 = read(field::BS1), BS2 = read(field::BS2), HS12 = read(field::HS12);
  const double DI1 = read(field::DI1, Need::Positive), Q1 = read(field::Q1, Need::Positive);
  if (read.Refused()) return {};

  const double HS1 = LipHeight(BS1, B01, ZS1);
  std::vector<Point> half = {{-B01 / 2, 0}, {-B01 / 2, HS0}, {-BS1 / 2, HS0 + HS1}};
  half.push_back({-BS2 / 2, HS0 + HS12});
  AppendRoundBottom(half, BS2, HS0 + HS12);

  const double side = std::max({B01, BS1, BS2}) / 2 + 1;
  std::vector<Dimension> dimensions = {Across("B01", B01, 0), Across("BS1", BS1, HS0 + HS1),
                                       Across("BS2", BS2, HS0 + HS12), Down("HS0", side, 0, HS0),
                                       Down("HS12", side, HS0, HS0 + HS12)};
  return PlaceSlot(Mirrored(std::move(half)), std::move(dimensions), {DI1 / 2, Q1, 1});
}

// Opening B02 × HR0, then by ZC: a lip from B02 to BR1 (1, 2, 4) or a round
// top of diameter BR1 (3); the body from BR1 to BR2 down to HR12 below the
// opening; and a flat bottom (1), a round one of diameter BR2 (2, 3) or a
// lower section from BR3 to BR4 of height HR3 (4).
SlotOutline RotorSlot(InputReader& read) {
  const double B02 = read(field::B02), HR0 = read(field::HR0);
  const double ZS2 = read(field::ZS2, Need::Any);
  const double BR1 = read(field::BR1), BR2 = read(field::BR2), HR12 = read(field::HR12);
  const int ZC = read.Shape();
  const double BR3 = ZC == 4 ? read(field::BR3) : 0, BR4 = ZC == 4 ? read(field::BR4) : 0;
  const double HR3 = ZC == 4 ? read(field::HR3) : 0;
  const double DI1 = read(field::DI1, Need::Positive), G = read(field::G);
  const double Q2 = read(field::Q2, Need::Positive);
  const double D2 = DI1 - 2 * G;
  if (!(D2 > 0)) read.Refuse(SlotRefusal::Why::GapTooWide, field::G);
  if (read.Refused()) return {};

  const double bottom = HR0 + HR12;
  std::vector<Point> half = {{-B02 / 2, 0}};
  std::vector<Dimension> dimensions = {Across("B02", B02, 0), Across("BR1", BR1, 0),
                                       Across("BR2", BR2, bottom)};
  if (ZC == 3) {
    // The neck runs down until it meets the round top.
    const double r = BR1 / 2;
    const double meet = std::acos(-std::min(B02 / 2, r) / std::max(r, 1e-300));
    half.push_back({-B02 / 2, HR0 + r - r * std::sin(meet)});
    AppendArc(half, {0, HR0 + r}, r, -meet, -pi);
    dimensions[1].from.y = dimensions[1].to.y = HR0 + r;
  } else {
    half.push_back({-B02 / 2, HR0});
    half.push_back({-BR1 / 2, HR0 + LipHeight(BR1, B02, std::fabs(ZS2))});
    dimensions[1].from.y = dimensions[1].to.y = half.back().y;
  }
  half.push_back({-BR2 / 2, bottom});
  if (ZC == 2 || ZC == 3) AppendRoundBottom(half, BR2, bottom);
  if (ZC == 4) {
    half.push_back({-BR3 / 2, bottom});
    half.push_back({-BR4 / 2, bottom + HR3});
    dimensions.push_back(Across("BR3", BR3, bottom));
    dimensions.push_back(Across("BR4", BR4, bottom + HR3));
  }
  if (ZC == 1 || ZC == 4) half.push_back({0, half.back().y});

  const double side = std::max({B02, BR1, BR2, BR3, BR4}) / 2 + 1;
  dimensions.push_back(Down("HR0", side, 0, HR0));
  dimensions.push_back(Down("HR12", side, HR0, bottom));
  if (ZC == 4) dimensions.push_back(Down("HR3", side, bottom, bottom + HR3));
  return PlaceSlot(Mirrored(std::move(half)), std::move(dimensions), {D2 / 2, Q2, -1});
}

}  // namespace

SlotDrawing DrawSlots(const design::DesignInput& input) {
  InputReader read(input);
  SlotDrawing drawing;
  drawing.stator = StatorSlot(read);
  drawing.rotor = RotorSlot(read);
  drawing.refusal = read.refusal();
  if (!drawing.Drawn()) drawing.stator = drawing.rotor = {};
  return drawing;
}

double PolygonArea(const Polygon& polygon) {
  double twice = 0;
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const Point& a = polygon[i];
    const Point& b = polygon[(i + 1) % polygon.size()];
    twice += a.x * b.y - b.x * a.y;
  }
  return twice / 2;
}

}  // namespace velmora::studies
