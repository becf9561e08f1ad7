// The color picker's arithmetic and custom colors.
#include <gtest/gtest.h>

#include "dialogs/ColorPick.h"
#include "platform/Store.h"

using namespace ql;

namespace {

TEST(ColorPick, StartColorIsClamped) {
  EXPECT_EQ(ClampStartColor(0x80000005), 0u);  // a system color starts at black
  EXPECT_EQ(ClampStartColor(-1), 0u);
  EXPECT_EQ(ClampStartColor(0x123456), 0x123456u);
  EXPECT_EQ(ClampStartColor(0x7FFFFFFF), 0xFFFFFFu);
}

TEST(ColorPick, HexBox) {
  EXPECT_EQ(ParseHexBox("F"), std::optional<Color>(0x0F0000));  // 00000F: blue 15
  EXPECT_EQ(ParseHexBox("FF8000"), std::optional<Color>(0x0080FF));
  EXPECT_EQ(ParseHexBox("#ff8000"), std::optional<Color>(0x0080FF));  // pasted from the web
  EXPECT_FALSE(ParseHexBox("").has_value());
  EXPECT_FALSE(ParseHexBox("#").has_value());
  EXPECT_FALSE(ParseHexBox("12G456").has_value());
  EXPECT_FALSE(ParseHexBox("1234567").has_value());
}

TEST(ColorPick, ChannelsAndNegative) {
  EXPECT_EQ(ChannelValue("300"), std::optional<int>(255));
  EXPECT_EQ(ChannelValue("7"), std::optional<int>(7));
  EXPECT_FALSE(ChannelValue("").has_value());
  EXPECT_FALSE(ChannelValue("1a").has_value());
  EXPECT_EQ(ChannelColor(0, 200), 0x0000C8u);
  EXPECT_EQ(ChannelColor(2, 15), 0x0F0000u);
  // Negative of 123456 is EDCBA9 (RRGGBB).
  const Color c = *ParseHexBox("123456");
  std::string r, g, b;
  ColorToHexParts(InvertColor(c), r, g, b);
  EXPECT_EQ(r + g + b, "EDCBA9");
}

TEST(ColorPick, BlendTruncatesTowardZero) {
  EXPECT_EQ(BlendColors(0x000000, 0xFFFFFF, 128), 0x7F7F7Fu);
  EXPECT_EQ(BlendColors(0x000000, 0x0000FF, 128), 0x00007Fu);
  EXPECT_EQ(BlendColors(0x0000FF, 0x000000, 128), 0x000080u);  // 255 + trunc(-127.5)
  EXPECT_EQ(BlendColors(0x102030, 0xFFFFFF, 0), 0x102030u);
  EXPECT_EQ(BlendColors(0x102030, 0xFFFFFF, 256), 0xFFFFFFu);
}

TEST(ColorPick, BarRatios) {
  EXPECT_EQ(BarRatio(0, 184), 0);
  EXPECT_EQ(BarRatio(184, 184), 256);
  EXPECT_EQ(BarRatio(92, 184), 128);
  EXPECT_EQ(HoverRatio(183, 184), 256);
  EXPECT_EQ(HoverRatio(400, 184), 256);  // past the end: clamped
  EXPECT_EQ(HoverRatio(-5, 184), 0);
  EXPECT_EQ(BarRatio(3, 0), 0);  // no width, no division
  EXPECT_EQ(HoverRatio(3, 0), 0);
  EXPECT_EQ(BlendLabel(0, 0), "Blend = 0.0% / #000000");
  EXPECT_EQ(BlendLabel(128, 0x7F7F7F), "Blend = 50.0% / #7F7F7F");
}

TEST(ColorPick, PaletteAndSystemNames) {
  const auto& p = PaletteSwatches();
  ASSERT_EQ(p.size(), 29u);
  EXPECT_EQ(p[1].name, "Red2_Panel");
  EXPECT_EQ(SwatchHint(p[1]), "75% / #C00000");
  EXPECT_EQ(p[12].name, "Aqua1_Label");
  EXPECT_EQ(SwatchHint(p.back()), "0% / #000000");
  EXPECT_EQ(p.back().name, "Gray1_Label");
  EXPECT_EQ(std::string(SystemColorNames()[25]), "Hot light");
}

TEST(ColorPick, CustomColorsRoundTripThroughOurSettings) {
  MemoryStore store;
  EXPECT_TRUE(LoadCustomColors(store).empty());
  const std::vector<std::string> lines = CustomColorLines({0x0080FF, 0x123456});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "ColorA=0080FF");  // digits blue, green, red
  std::array<Color, 16> colors{};
  ASSERT_TRUE(ColorsFromLines(lines, colors));
  EXPECT_EQ(colors[1], 0x123456u);
  EXPECT_EQ(colors[15], 0xFFFFFFu);  // slots without a line: white
  ASSERT_TRUE(SaveCustomColors(store, colors));  // saved although nothing was there
  const std::vector<Color> back = LoadCustomColors(store);
  ASSERT_EQ(back.size(), 16u);
  EXPECT_EQ(back[0], 0x0080FFu);
  EXPECT_FALSE(ColorsFromLines({"ColorA=12345G"}, colors));
  // Oversized values are left alone.
  store.WriteBinary(kCustomColorsKey, kCustomColorsValue, std::string(68, '\1'));
  EXPECT_TRUE(LoadCustomColors(store).empty());
}

}  // namespace
