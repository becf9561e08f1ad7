#include "editor/WidthTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ql {

WidthTable::WidthTable() { advance_.fill(1.0); }

WidthTable WidthTable::Monospace(double advance, double tabWidth) {
  WidthTable t;
  t.advance_.fill(advance > 0 ? advance : 0);
  t.FindUniform();
  t.SetTabWidth(tabWidth);
  return t;
}

void WidthTable::SetAdvance(unsigned char c, double pixels) {
  advance_[c] = pixels > 0 ? pixels : 0;
  FindUniform();
}

void WidthTable::FindUniform() {
  uniform_ = advance_[0];
  for (int c = 1; c < 256; ++c)
    if (c != '\t' && advance_[c] != uniform_) {
      uniform_ = -1;
      break;
    }
  // The advance of 'x' counts as common when at most a few printable ASCII
  // bytes differ from it: then rows are measured run by run.
  common_ = advance_['x'];
  int differ = 0;
  for (int c = 32; c < 127; ++c) differ += advance_[c] != common_;
  if (differ > 4 || common_ <= 0) common_ = -1;
  for (int c = 0; c < 256; ++c) odd_[c] = c == '\t' || advance_[c] != common_;
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
  if (uniform_ > 0) {  // from tab to tab
    const char* p = text;
    const char* const end = text + length;
    while (p < end) {
      const char* tab = static_cast<const char*>(std::memchr(p, '\t', static_cast<std::size_t>(end - p)));
      if (!tab) return x + static_cast<double>(end - p) * uniform_;
      x = TabEnd(x + static_cast<double>(tab - p) * uniform_);
      p = tab + 1;
    }
    return x;
  }
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
