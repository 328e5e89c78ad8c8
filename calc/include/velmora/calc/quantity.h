// A named quantity of a calculation run: unset until assigned, 0 while unset.
#pragma once

namespace velmora::calc {

// A double-precision quantity.
struct Quantity {
  double value = 0;
  bool set = false;

  Quantity& operator=(double v) {
    value = v;
    set = true;
    return *this;
  }
  operator double() const { return value; }
};

// A single-precision quantity: the result of a steel-curve lookup or of a
// curve function. It only takes floats, so a double can never slip in unnarrowed.
struct SingleQuantity {
  float value = 0;
  bool set = false;

  SingleQuantity& operator=(float v) {
    value = v;
    set = true;
    return *this;
  }
  SingleQuantity& operator=(double) = delete;
  operator double() const { return value; }
};

}  // namespace velmora::calc
