#include "platform/MsgBoxCodes.h"

namespace ql {

MsgBoxLayout MsgBoxLayoutFor(unsigned flags) {
  using B = MsgButton;
  MsgBoxLayout layout;
  switch (flags & kMbButtonMask) {
    case 1: layout.buttons = {B::Ok, B::Cancel}; layout.escapeButton = B::Cancel; break;
    case 2: layout.buttons = {B::Abort, B::Retry, B::Ignore}; layout.escapeButton = B::Abort; break;
    case 3: layout.buttons = {B::Yes, B::No, B::Cancel}; layout.escapeButton = B::Cancel; break;
    case 4: layout.buttons = {B::Yes, B::No}; layout.escapeButton = B::No; break;
    case 5: layout.buttons = {B::Retry, B::Cancel}; layout.escapeButton = B::Cancel; break;
    default: layout.buttons = {B::Ok}; layout.escapeButton = B::Ok; break;
  }
  switch (flags & kMbIconMask) {
    case 0x10: layout.icon = MsgIcon::Stop; break;
    case 0x20: layout.icon = MsgIcon::Question; break;
    case 0x30: layout.icon = MsgIcon::Exclamation; break;
    case 0x40: layout.icon = MsgIcon::Information; break;
    default: layout.icon = MsgIcon::None; break;
  }
  // A default beyond the last button falls back to the first, as the
  // platform box does.
  const unsigned index = (flags & kMbDefaultMask) >> 8;
  layout.defaultButton = index < layout.buttons.size() ? layout.buttons[index] : layout.buttons[0];
  return layout;
}

int MsgBoxCode(MsgButton button) {
  switch (button) {
    case MsgButton::Ok: return IdOk;
    case MsgButton::Cancel: return IdCancel;
    case MsgButton::Abort: return IdAbort;
    case MsgButton::Retry: return IdRetry;
    case MsgButton::Ignore: return IdIgnore;
    case MsgButton::Yes: return IdYes;
    case MsgButton::No: return IdNo;
  }
  return IdCancel;
}

}  // namespace ql
