// The completion sound the text tools play when they finish.
#pragma once

namespace ql {

// 0 plays nothing, 1 beeps, 2..6 play the desktop sound-theme event of the
// table in platform/SoundNames.h through canberra-gtk-play where it is
// installed and beep otherwise. Other indexes play nothing. Never waits.
void PlayCompletionSound(int index);

}  // namespace ql
