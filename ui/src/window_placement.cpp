#include "velmora/ui/window_placement.h"

#include <algorithm>

namespace velmora::ui {

namespace {

constexpr int kShortest = 400;  // pixels: a chart and its controls still fit

}  // namespace

ScreenRect PlaceBesideMain(ScreenRect screen, ScreenRect main, int menu_bottom, ScreenRect wanted) {
  ScreenRect placed;
  placed.width = std::min(wanted.width, screen.width);
  if (screen.right() - main.right() >= placed.width) {
    placed.left = main.right();
    placed.top = std::max(screen.top, main.top);
  } else {
    placed.left = std::max(screen.left, screen.right() - placed.width);
    placed.top = std::clamp(menu_bottom, screen.top, screen.bottom());
    // An input window low on the screen leaves too little below its menu.
    if (screen.bottom() - placed.top < std::min(wanted.height, kShortest)) placed.top = screen.top;
  }
  placed.height = std::min(wanted.height, screen.bottom() - placed.top);
  return placed;
}

}  // namespace velmora::ui
