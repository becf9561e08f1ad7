// How wide each byte is drawn in one font: 256 advances in pixels plus the
// distance between tab stops. The view fills one per font; caret, selection,
// wrap and painting all measure through it, so they always agree.
//
// The tab rule: a tab advances to the next stop strictly after the x where
// it starts, so a tab that starts exactly on a stop is a whole stop wide and
// never zero. x is measured from the start of the line, or of the wrapped
// row, whichever the caller lays out.
#pragma once

#include <array>
#include <cstdint>

namespace ql {

class WidthTable {
 public:
  using Offset = std::int64_t;

  // Every byte one pixel wide, tab stops every eight.
  WidthTable();
  // Every byte (the tab too, until its own rule applies) the same width.
  static WidthTable Monospace(double advance, double tabWidth);

  double Advance(unsigned char c) const { return advance_[c]; }
  void SetAdvance(unsigned char c, double pixels);
  // The advance every byte but the tab shares, or -1 when they differ.
  double UniformAdvance() const { return uniform_; }
  // The advance nearly all printable ASCII shares (a monospace font whose
  // fallback glyphs differ), or -1 when there is none; Odd(c) tells the
  // bytes that do not have it, the tab always among them.
  double CommonAdvance() const { return common_; }
  bool Odd(unsigned char c) const { return odd_[c]; }
  double TabWidth() const { return tabWidth_; }
  // A tab width of zero or less would draw tabs with no width; the width of
  // a space (at least one pixel) takes its place.
  void SetTabWidth(double pixels);

  // Where a tab that starts at x ends.
  double TabEnd(double x) const;
  // x after the byte c drawn at x.
  double After(unsigned char c, double x) const { return c == '\t' ? TabEnd(x) : x + advance_[c]; }

  // x after the bytes [text, text + length) drawn from x0.
  double EndX(const char* text, Offset length, double x0 = 0) const;
  // x of the left edge of byte `column` (clamped to [0, length]).
  double XOfColumn(const char* text, Offset length, Offset column, double x0 = 0) const;
  // The column whose left edge is nearest to x, as a mouse click wants it:
  // a click on the right half of a character lands after it. Never beyond
  // length; x left of x0 gives 0.
  Offset ColumnAtX(const char* text, Offset length, double x, double x0 = 0) const;
  // The first column whose character reaches beyond x (its right edge > x),
  // or length: where to start painting a slice scrolled to x.
  Offset FirstColumnPast(const char* text, Offset length, double x, double x0, double* columnX) const;

 private:
  void FindUniform();

  std::array<double, 256> advance_;
  double tabWidth_ = 8;
  double uniform_ = 1;
  double common_ = 1;
  std::array<bool, 256> odd_{};
};

}  // namespace ql
