#include "platform/SoundNames.h"

namespace ql {

CompletionSound CompletionSoundFor(int index) {
  switch (index) {
    case 1: return {CompletionSound::Beep, ""};
    case 2: return {CompletionSound::Event, "dialog-information"};
    case 3: return {CompletionSound::Event, "dialog-warning"};
    case 4: return {CompletionSound::Event, "dialog-error"};
    case 5: return {CompletionSound::Event, "dialog-question"};
    case 6: return {CompletionSound::Event, "bell"};
    default: return {};
  }
}

}  // namespace ql
