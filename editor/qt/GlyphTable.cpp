#include "editor/qt/GlyphTable.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <cmath>

namespace ql {

char32_t GlyphTable::DisplayChar(Codepage cp, unsigned char byte) {
  if (cp == Codepage::Cp437) {
    // The OEM set's pictures for the control codes, as the old terminal font drew them.
    static const char16_t low[32] = {
        0x2400, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9,
        0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7,
        0x25AC, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC};
    if (byte < 32) return low[byte];
    if (byte == 0x7F) return 0x2302;
    return ByteToUnicode(cp, byte);
  }
  if (byte < 32) return 0x2400 + byte;  // control pictures
  if (byte == 0x7F) return 0x2421;
  const char16_t u = ByteToUnicode(cp, byte);
  if (u >= 0x80 && u < 0xA0) return 0xFFFD;  // a code Windows-1252 leaves undefined
  return u;
}

int GlyphTable::FontFor(char32_t ch, quint32& glyph) {
  const QString s = QString::fromUcs4(&ch, 1);
  for (std::size_t i = 0; i < fonts_.size(); ++i) {
    const QList<quint32> g = fonts_[i].glyphIndexesForString(s);
    if (g.size() == 1 && g[0] != 0) {
      glyph = g[0];
      return static_cast<int>(i);
    }
  }
  // Not in any font tried so far: look through the installed families once
  // for this character, keeping the one that has it.
  const qreal px = fonts_.front().pixelSize();
  QStringList families = {"DejaVu Sans Mono", "DejaVu Sans", "Noto Sans Mono", "Noto Sans Symbols2",
                          "Liberation Mono", "FreeMono", "Unifont"};
  families += QFontDatabase::families();
  for (const QString& family : families) {
    QFont f(family);
    f.setPixelSize(std::max(1, qRound(px)));
    QRawFont raw = QRawFont::fromFont(f);
    if (!raw.isValid() || !raw.supportsCharacter(ch)) continue;
    const QList<quint32> g = raw.glyphIndexesForString(s);
    if (g.size() != 1 || g[0] == 0) continue;
    glyph = g[0];
    fonts_.push_back(raw);
    return static_cast<int>(fonts_.size() - 1);
  }
  glyph = 0;
  return -1;
}

GlyphTable::GlyphTable(const QFont& font, Codepage cp, qreal tabStopPixels) : cp_(cp) {
  QFont f = font;
  f.setKerning(false);
  fonts_.push_back(QRawFont::fromFont(f));
  const QFontMetricsF metrics(f);
  ascent_ = std::ceil(metrics.ascent());
  lineHeight_ = std::ceil(metrics.ascent()) + std::ceil(metrics.descent()) + std::max<qreal>(0, metrics.leading());
  if (lineHeight_ < 1) lineHeight_ = 1;
  qreal xAdvance = metrics.horizontalAdvance('x');
  {
    const QList<quint32> g = fonts_[0].glyphIndexesForString(QStringLiteral("x"));
    if (g.size() == 1 && g[0] != 0) {
      const QList<QPointF> a = fonts_[0].advancesForGlyphIndexes(g, QRawFont::SeparateAdvances);
      if (!a.isEmpty() && a[0].x() > 0) xAdvance = a[0].x();
    }
  }
  const bool fixed = QFontInfo(f).fixedPitch();
  for (int b = 0; b < 256; ++b) {
    Entry& e = entries_[b];
    char32_t ch = DisplayChar(cp, static_cast<unsigned char>(b));
    e.font = FontFor(ch, e.glyph);
    if (e.font < 0) {  // nothing has it: show a question mark rather than an empty box
      ch = '?';
      e.font = FontFor(ch, e.glyph);
      if (e.font < 0) e.font = 0;
    }
    const QList<QPointF> adv =
        fonts_[e.font].advancesForGlyphIndexes(QList<quint32>{e.glyph}, QRawFont::SeparateAdvances);
    e.advance = adv.isEmpty() ? 0 : adv[0].x();
    // Glyphs from other fonts keep the chosen font's width where it is fixed-pitch.
    if (e.font != 0 && fixed) e.advance = xAdvance;
    if (e.advance <= 0) e.advance = xAdvance;
    advances_[b] = e.advance;
    widest_ = std::max(widest_, e.advance);
  }
  entries_['\t'].advance = advances_['\t'] = 0;  // measured by the tab rule
  tabStop_ = tabStopPixels > 1 ? tabStopPixels : 8 * AverageAdvance();
  for (int b = 0; b < 256; ++b) widths_.SetAdvance(static_cast<unsigned char>(b), advances_[b]);
  widths_.SetTabWidth(tabStop_);
}

}  // namespace ql
