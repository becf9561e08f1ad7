#include "dialogs/ColorPick.h"

#include <cstdio>

#include "platform/Store.h"

namespace ql {

const char* const kCustomColorsKey = "\\Software\\Norvane Productions\\Quillora\\Color Picker";
const char* const kCustomColorsValue = "CustomColors";

Color ClampStartColor(std::int64_t color) {
  const auto signedColor = static_cast<std::int32_t>(static_cast<std::uint32_t>(color));
  if (signedColor < 0) return 0;
  if (signedColor > 0xFFFFFF) return 0xFFFFFF;
  return static_cast<Color>(signedColor);
}

std::optional<Color> ParseHexBox(const std::string& text) { return ParseHexRGB(text, 1); }

std::optional<int> ChannelValue(const std::string& text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '-' && i == 0 && text.size() > 1) continue;
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (text[0] == '-') return 0;
  return value > 255 ? 255 : value;
}

Color ColorFromChannels(int r, int g, int b) {
  return static_cast<Color>(r & 0xFF) | static_cast<Color>(g & 0xFF) << 8 |
         static_cast<Color>(b & 0xFF) << 16;
}

int Channel(Color color, int channel) { return static_cast<int>(color >> (8 * channel) & 0xFF); }

Color ChannelColor(int channel, int value) {
  return static_cast<Color>(value & 0xFF) << (8 * channel);
}

namespace {
int ClampRatio(std::int64_t t) { return t < 0 ? 0 : t > 256 ? 256 : static_cast<int>(t); }
}  // namespace

int BarRatio(std::int64_t x, std::int64_t w) { return w <= 0 ? 0 : ClampRatio(x * 256 / w); }

int HoverRatio(std::int64_t x, std::int64_t w) {
  return w <= 0 ? 0 : ClampRatio((x + 1) * 256 / w);
}

std::string BlendLabel(int ratio, Color color) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "Blend = %.1f%% / #", ratio * 100.0 / 256);
  std::string r, g, b;
  ColorToHexParts(color, r, g, b);
  return buffer + r + g + b;
}

const std::vector<Swatch>& PaletteSwatches() {
  static const std::vector<Swatch> swatches = [] {
    std::vector<Swatch> s;
    struct Hue {
      const char* base;
      const char* suffix;
      int r, g, b;
    } hues[] = {{"Red", "_Panel", 1, 0, 0},   {"Yel", "_Panel", 1, 1, 0},
                {"Green", "_Panel", 0, 1, 0}, {"Aqua", "_Label", 0, 1, 1},
                {"Blue", "_Panel", 0, 0, 1},  {"Purple", "_Label", 1, 0, 1}};
    const int levels[4] = {0xFF, 0xC0, 0x80, 0x40};
    const int percents[4] = {100, 75, 50, 25};
    for (const Hue& h : hues)
      for (int i = 0; i < 4; ++i) {
        const int v = levels[i];
        s.push_back({std::string(h.base) + std::to_string(i + 1) + h.suffix,
                     ColorFromChannels(h.r * v, h.g * v, h.b * v), percents[i]});
      }
    const int grays[5] = {0xFF, 0xC0, 0x80, 0x40, 0};
    const int grayPercents[5] = {100, 75, 50, 25, 0};
    for (int i = 0; i < 5; ++i) {
      s.push_back({"Gray" + std::to_string(5 - i) + "_Label", ColorFromChannels(grays[i], grays[i], grays[i]), grayPercents[i]});
    }
    return s;
  }();
  return swatches;
}

std::string SwatchHint(const Swatch& s) {
  std::string r, g, b;
  ColorToHexParts(s.color, r, g, b);
  return std::to_string(s.percent) + "% / #" + r + g + b;
}

const std::array<const char*, 28>& SystemColorNames() {
  static const std::array<const char*, 28> names = {
      "Scrollbar", "Background", "Active caption", "Inactive caption", "Menu", "Window",
      "Window frame", "Menu text", "Window text", "Caption text", "Active border",
      "Inactive border", "Application working space", "Highlight", "Highlight text",
      "Button face", "Button shadow", "Gray text", "Button text", "Inactive caption text",
      "Button highlight", "3D Dark Shadow", "3D light", "Tool tip text", "Tool tip background",
      "Hot light", "Gradient active caption", "Gradient inactive caption"};
  return names;
}

std::vector<std::string> CustomColorLines(const std::vector<Color>& colors) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < colors.size() && i < 16; ++i) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "Color%c=%06X", static_cast<char>('A' + i),
                  static_cast<unsigned>(colors[i] & 0xFFFFFF));
    lines.push_back(buffer);
  }
  return lines;
}

bool ColorsFromLines(const std::vector<std::string>& lines, std::array<Color, 16>& colors) {
  // Slots the lines do not cover are white, as the standard dialog shows them.
  colors.fill(0xFFFFFF);
  for (std::size_t i = 0; i < lines.size() && i < 16; ++i) {
    const std::string& line = lines[i];
    if (line.size() < 13 || line.compare(0, 5, "Color") != 0 || line[6] != '=') return false;
    Color c = 0;
    for (std::size_t k = 7; k < 13; ++k) {
      const char ch = line[k];
      int v;
      if (ch >= '0' && ch <= '9') v = ch - '0';
      else if (ch >= 'A' && ch <= 'F') v = ch - 'A' + 10;
      else if (ch >= 'a' && ch <= 'f') v = ch - 'a' + 10;
      else return false;
      c = c << 4 | static_cast<Color>(v);
    }
    colors[i] = c;
  }
  return true;
}

std::vector<Color> LoadCustomColors(const Store& store) {
  std::vector<Color> colors;
  const auto value = store.ReadValue(kCustomColorsKey, kCustomColorsValue);
  if (!value || value->kind != StoreValue::Binary || value->data.size() > 64) return colors;
  const std::string& d = value->data;
  for (std::size_t i = 0; i + 4 <= d.size(); i += 4) {
    Color c = 0;
    for (int k = 3; k >= 0; --k) c = c << 8 | static_cast<unsigned char>(d[i + k]);
    colors.push_back(c & 0xFFFFFF);
  }
  return colors;
}

bool SaveCustomColors(Store& store, const std::array<Color, 16>& colors) {
  std::string bytes;
  for (Color c : colors)
    for (int k = 0; k < 4; ++k) bytes += static_cast<char>(c >> (8 * k) & 0xFF);
  return store.WriteBinary(kCustomColorsKey, kCustomColorsValue, bytes) && store.Flush();
}

}  // namespace ql
