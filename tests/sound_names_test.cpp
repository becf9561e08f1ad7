#include <gtest/gtest.h>

#include "platform/SoundNames.h"

using namespace ql;

// Which index plays which desktop event is checked through the player in the
// sound test; here what plays no event at all.
TEST(SoundNames, OnlyTwoToSixPlayEvents) {
  const std::pair<int, CompletionSound::Kind> table[] = {
      {0, CompletionSound::None},   {1, CompletionSound::Beep},  {2, CompletionSound::Event},
      {6, CompletionSound::Event},  {-1, CompletionSound::None}, {7, CompletionSound::None},
      {-2147483647 - 1, CompletionSound::None}, {2147483647, CompletionSound::None},
  };
  for (const auto& [index, kind] : table) {
    EXPECT_EQ(CompletionSoundFor(index).kind, kind) << index;
    if (kind != CompletionSound::Event) {
      EXPECT_EQ(CompletionSoundFor(index).eventId, "") << index;
    }
  }
}
