// What each of the 256 byte values looks like in one font: the glyph, the
// font that has it and its advance. The document is 8-bit, so this table is
// the whole layout: no shaping, no kerning, no bidirectional text. Painting,
// the caret, selection and wrapping all measure through the same advances.
#pragma once

#include <QFont>
#include <QRawFont>
#include <array>
#include <vector>

#include "common/Codepage.h"
#include "editor/WidthTable.h"

namespace ql {

class GlyphTable {
 public:
  struct Entry {
    quint32 glyph = 0;
    int font = 0;  // index into Fonts(); 0 is the chosen font
    qreal advance = 0;
  };

  GlyphTable() = default;
  GlyphTable(const QFont& font, Codepage cp, qreal tabStopPixels);

  const Entry& operator[](unsigned char byte) const { return entries_[byte]; }
  const std::array<qreal, 256>& Advances() const { return advances_; }
  const std::vector<QRawFont>& Fonts() const { return fonts_; }
  Codepage CharacterSet() const { return cp_; }

  qreal Ascent() const { return ascent_; }
  qreal LineHeight() const { return lineHeight_; }
  qreal TabStop() const { return tabStop_; }
  qreal AverageAdvance() const { return entries_['x'].advance > 0 ? entries_['x'].advance : 8; }
  qreal WidestAdvance() const { return widest_; }

  // The x after a byte that starts at x: a tab goes to the next stop after
  // x, never stays where it is.
  qreal Next(qreal x, unsigned char byte) const { return widths_.After(byte, x); }
  // The same advances for the document model's layout (word wrap).
  const WidthTable& Widths() const { return widths_; }

  // The character a byte is drawn as: the character set's, with visible
  // stand-ins for control codes and codes the set leaves undefined.
  static char32_t DisplayChar(Codepage cp, unsigned char byte);

 private:
  int FontFor(char32_t ch, quint32& glyph);

  Codepage cp_ = Codepage::Cp1252;
  std::array<Entry, 256> entries_{};
  std::array<qreal, 256> advances_{};
  std::vector<QRawFont> fonts_;
  WidthTable widths_;
  qreal ascent_ = 10, lineHeight_ = 14, tabStop_ = 64, widest_ = 8;
};

}  // namespace ql
