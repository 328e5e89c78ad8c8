// Where a window opened from the input window goes on the screen: beside
// the input window when there is room, else at the right edge of the screen
// below the input window's menu bar, so its menu stays in reach; never
// larger than the screen leaves.
#pragma once

namespace velmora::ui {

// Screen rectangles in pixels; right and bottom are one past the last pixel.
struct ScreenRect {
  int left = 0, top = 0, width = 0, height = 0;

  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool operator==(const ScreenRect&) const = default;
};

// `screen`: the part of the screen windows may use; `main`: the input
// window with its frame; `menu_bottom`: the first row below its menu bar;
// `wanted`: the new window's size with its frame. The result is the new
// window's frame.
ScreenRect PlaceBesideMain(ScreenRect screen, ScreenRect main, int menu_bottom, ScreenRect wanted);

}  // namespace velmora::ui
