// The color picker's arithmetic and its custom colors, without a window:
// hex and channel texts, the blend bar, the palette and system color
// tables, and the 16 custom colors kept in our settings.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/FuncLib.h"

namespace ql {

class Store;

// The starting color as a signed number clamped to 0..0xFFFFFF: a system
// color constant (top bit set) starts at black.
Color ClampStartColor(std::int64_t color);

// The hex box: padded on the left to six digits and read as RRGGBB; a
// leading '#' (codes pasted from the web) is accepted.
std::optional<Color> ParseHexBox(const std::string& text);

// A channel box's text clamped to 0..255; nothing when it cannot be read.
std::optional<int> ChannelValue(const std::string& text);
Color ChannelColor(int channel, int value);  // 0 red, 1 green, 2 blue alone
Color ColorFromChannels(int r, int g, int b);
int Channel(Color color, int channel);

// Blend ratio (0..256) for column x of a bar w pixels wide; drawing uses x,
// the mouse x + 1. A bar without width gives 0.
int BarRatio(std::int64_t x, std::int64_t w);
int HoverRatio(std::int64_t x, std::int64_t w);
// "Blend = 50.0% / #7F7F7F"
std::string BlendLabel(int ratio, Color color);

struct Swatch {
  std::string name;
  Color color;  // 0x00BBGGRR
  int percent;
};
const std::vector<Swatch>& PaletteSwatches();  // the 29 swatches
std::string SwatchHint(const Swatch& s);       // "75% / #C00000"

// The 28 system color names in list order.
const std::array<const char*, 28>& SystemColorNames();

// Custom colors as the standard dialog's lines "ColorA=BBGGRR" .. "ColorP=".
std::vector<std::string> CustomColorLines(const std::vector<Color>& colors);
// The 16 colors of such lines; false when a line cannot be read.
bool ColorsFromLines(const std::vector<std::string>& lines, std::array<Color, 16>& colors);

extern const char* const kCustomColorsKey;
extern const char* const kCustomColorsValue;
// Up to 16 colors from our settings (none when missing or oversized).
std::vector<Color> LoadCustomColors(const Store& store);
// Always writes all 16 slots (64 bytes); false when the store refused.
bool SaveCustomColors(Store& store, const std::array<Color, 16>& colors);

}  // namespace ql
