#pragma once
// Alignment flags of labels and placed rectangles (y grows upwards: Top is the upper edge).
namespace vek {

struct cAlign {
  enum : int { None = 0, Left = 1, Center = 2, Right = 4, Top = 8, Middle = 16, Bottom = 32 };
};

}  // namespace vek
