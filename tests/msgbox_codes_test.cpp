#include <gtest/gtest.h>

#include "platform/MsgBoxCodes.h"

using namespace ql;
using B = MsgButton;

namespace {

struct LayoutCase {
  unsigned flags;
  std::vector<MsgButton> buttons;
  MsgIcon icon;
  MsgButton defaultButton;
  MsgButton escapeButton;
};

class MsgBoxLayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(MsgBoxLayoutTest, ButtonsIconDefaultAndEscape) {
  const LayoutCase& c = GetParam();
  const MsgBoxLayout layout = MsgBoxLayoutFor(c.flags);
  EXPECT_EQ(layout.buttons, c.buttons);
  EXPECT_EQ(layout.icon, c.icon);
  EXPECT_EQ(layout.defaultButton, c.defaultButton);
  EXPECT_EQ(layout.escapeButton, c.escapeButton);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, MsgBoxLayoutTest,
    testing::Values(
        // the six button sets
        LayoutCase{0, {B::Ok}, MsgIcon::None, B::Ok, B::Ok},
        LayoutCase{1, {B::Ok, B::Cancel}, MsgIcon::None, B::Ok, B::Cancel},
        LayoutCase{2, {B::Abort, B::Retry, B::Ignore}, MsgIcon::None, B::Abort, B::Abort},
        LayoutCase{3, {B::Yes, B::No, B::Cancel}, MsgIcon::None, B::Yes, B::Cancel},
        LayoutCase{4, {B::Yes, B::No}, MsgIcon::None, B::Yes, B::No},
        LayoutCase{5, {B::Retry, B::Cancel}, MsgIcon::None, B::Retry, B::Cancel},
        // sets the platform does not know fall back to OK
        LayoutCase{6, {B::Ok}, MsgIcon::None, B::Ok, B::Ok},
        LayoutCase{15, {B::Ok}, MsgIcon::None, B::Ok, B::Ok},
        // the icons, and the combinations the program uses
        LayoutCase{16, {B::Ok}, MsgIcon::Stop, B::Ok, B::Ok},
        LayoutCase{35, {B::Yes, B::No, B::Cancel}, MsgIcon::Question, B::Yes, B::Cancel},
        LayoutCase{48, {B::Ok}, MsgIcon::Exclamation, B::Ok, B::Ok},
        LayoutCase{64, {B::Ok}, MsgIcon::Information, B::Ok, B::Ok},
        LayoutCase{36, {B::Yes, B::No}, MsgIcon::Question, B::Yes, B::No},
        LayoutCase{0x50, {B::Ok}, MsgIcon::None, B::Ok, B::Ok},
        LayoutCase{0x70, {B::Ok}, MsgIcon::None, B::Ok, B::Ok},
        // default button: second, third; beyond the set falls back to the first
        LayoutCase{0x104, {B::Yes, B::No}, MsgIcon::None, B::No, B::No},
        LayoutCase{0x203, {B::Yes, B::No, B::Cancel}, MsgIcon::None, B::Cancel, B::Cancel},
        LayoutCase{0x204, {B::Yes, B::No}, MsgIcon::None, B::Yes, B::No},
        LayoutCase{0x300, {B::Ok}, MsgIcon::None, B::Ok, B::Ok},
        // bits beyond these fields change nothing
        LayoutCase{0x1000 | 0x40 | 4, {B::Yes, B::No}, MsgIcon::Information, B::Yes, B::No}));

}  // namespace
