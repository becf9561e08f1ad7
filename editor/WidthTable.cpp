#include "editor/WidthTable.h"

#include <algorithm>
#include <cmath>

namespace ql {

WidthTable::WidthTable() { advance_.fill(1.0); }

WidthTable WidthTable::Monospace(double advance, double tabWidth) {
  WidthTable t;
  t.advance_.fill(advance > 0 ? advance : 0);
  t.SetTabWidth(tabWidth);
  return t;
}

void WidthTable::SetTabWidth(double pixels) {
  tabWidth_ = pixels > 0 ? pixels : std::max(1.0, advance_[' ']);
}

double WidthTable::TabEnd(double x) const {
  // Sums of advances carry rounding: x a hair below a stop counts as on it,
  // so the tab still gets (about) a whole stop instead of a sliver.
  const double stops = std::floor(x / tabWidth_ + 1e-9);
  return (stops + 1) * tabWidth_;
}

double WidthTable::EndX(const char* text, Offset length, double x) const {
  for (Offset i = 0; i < length; ++i) x = After(static_cast<unsigned char>(text[i]), x);
  return x;
}

double WidthTable::XOfColumn(const char* text, Offset length, Offset column, double x0) const {
  return EndX(text, std::clamp<Offset>(column, 0, length), x0);
}

WidthTable::Offset WidthTable::ColumnAtX(const char* text, Offset length, double x, double x0) const {
  double left = x0;
  for (Offset i = 0; i < length; ++i) {
    const double right = After(static_cast<unsigned char>(text[i]), left);
    if (x < right) return x < (left + right) / 2 ? i : i + 1;
    left = right;
  }
  return length;
}

WidthTable::Offset WidthTable::FirstColumnPast(const char* text, Offset length, double x, double x0,
                                               double* columnX) const {
  double left = x0;
  Offset i = 0;
  for (; i < length; ++i) {
    const double right = After(static_cast<unsigned char>(text[i]), left);
    if (right > x) break;
    left = right;
  }
  if (columnX) *columnX = left;
  return i;
}

}  // namespace ql
