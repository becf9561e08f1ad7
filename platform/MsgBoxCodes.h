// What a message box flag word asks for: which buttons, which icon, which
// button starts focused and which answer Esc or the close box gives; and the
// code each button returns. Kept apart from the toolkit so it can be tested.
#pragma once

#include <vector>

namespace ql {

enum class MsgButton { Ok, Cancel, Abort, Retry, Ignore, Yes, No };
enum class MsgIcon { None, Stop, Question, Exclamation, Information };

// Flag word fields.
constexpr unsigned kMbButtonMask = 0x0F;   // 0 OK ... 5 Retry/Cancel
constexpr unsigned kMbIconMask = 0x70;     // 16 stop, 32 question, 48 exclamation, 64 information
constexpr unsigned kMbDefaultMask = 0x300; // 0x100 second button, 0x200 third, 0x300 fourth

// Answer codes.
enum MsgCode { IdOk = 1, IdCancel = 2, IdAbort = 3, IdRetry = 4, IdIgnore = 5, IdYes = 6, IdNo = 7 };

struct MsgBoxLayout {
  std::vector<MsgButton> buttons;  // left to right
  MsgIcon icon = MsgIcon::None;
  MsgButton defaultButton = MsgButton::Ok;
  // The answer when the box is dismissed without a button: Cancel where the
  // set has one, OK for a lone OK, No for Yes/No, Abort for Abort/Retry/Ignore.
  MsgButton escapeButton = MsgButton::Ok;
};

// An unknown button set shows OK alone; an unknown icon value shows none.
MsgBoxLayout MsgBoxLayoutFor(unsigned flags);
int MsgBoxCode(MsgButton button);

}  // namespace ql
