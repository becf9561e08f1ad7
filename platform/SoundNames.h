// The completion sound table: index 0 "None!", 1 "PC Speaker", 2 "Asterisk",
// 3 "Exclamation", 4 "Hand", 5 "Question", 6 "Default". On the desktop the
// named sounds are freedesktop sound-theme events.
#pragma once

#include <string>

namespace ql {

struct CompletionSound {
  enum Kind { None, Beep, Event };
  Kind kind = None;
  std::string eventId;  // sound-theme event name for Kind Event
};

// Indexes outside 0..6 play nothing.
CompletionSound CompletionSoundFor(int index);

}  // namespace ql
