// The stator and rotor slots as outlines in millimetres, for drawing: each
// slot in its own coordinates, and placed on its circle between its two
// neighbours so the teeth show. Pure geometry from the design inputs.
#pragma once

#include <string>
#include <vector>

#include "velmora/design/design_input.h"

namespace velmora::studies {

struct Point {
  double x = 0;
  double y = 0;
};

// A closed outline; the last point joins the first.
using Polygon = std::vector<Point>;

// A measured dimension: a line between two points and its label ("B01=3.5").
struct Dimension {
  Point from;
  Point to;
  std::string label;
};

// One slot. In slot coordinates x runs across the slot (0 on its axis) and y
// into the iron from the air gap (0 at the gap), so the outline starts at
// the left corner of the opening and goes round to the right corner.
struct SlotOutline {
  Polygon outline;  // slot coordinates
  // Machine coordinates (centre of the machine at the origin, the middle slot
  // on the +y axis): the iron edge along the gap circle, through the middle
  // slot and its two neighbours, as one open line.
  std::vector<Point> iron_edge;
  double radius = 0;                  // the gap circle the slots open on
  std::vector<Dimension> dimensions;  // of the middle slot, machine coordinates
};

// Why the slots could not be drawn: the first input box that cannot be used.
struct SlotRefusal {
  enum class Why { None, Empty, NotNumber, Negative, NotPositive, NotSlotShape, GapTooWide };
  Why why = Why::None;
  int field = -1;  // the box, by input index
};

struct SlotDrawing {
  SlotOutline stator;  // opens outwards from the bore DI1
  SlotOutline rotor;   // opens inwards from the rotor outer diameter DI1 − 2·G
  // Why::None when both slots could be drawn; otherwise the outlines are empty.
  SlotRefusal refusal;

  bool Drawn() const { return refusal.why == SlotRefusal::Why::None; }
};

// Straight pieces per whole turn of an arc: fine enough that a semicircle's
// area is within a few parts per million of the true one.
constexpr int kArcStepsPerTurn = 720;

// The slots of `input`: the stator slot from B01, HS0, ZS1, BS1, BS2, HS12 on
// DI1 with Q1 slots; the rotor slot of shape ZC from B02, HR0, ZS2, BR1 to
// BR4, HR12, HR3 on DI1 − 2·G with Q2 slots.
SlotDrawing DrawSlots(const design::DesignInput& input);

// Area of a closed outline (positive when it runs anticlockwise).
double PolygonArea(const Polygon& polygon);

}  // namespace velmora::studies
