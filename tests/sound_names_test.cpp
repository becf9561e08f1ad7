#include <gtest/gtest.h>

#include "platform/SoundNames.h"

using namespace ql;

TEST(SoundNames, TableIndexes) {
  const struct {
    int index;
    CompletionSound::Kind kind;
    const char* event;
  } table[] = {
      {0, CompletionSound::None, ""},
      {1, CompletionSound::Beep, ""},
      {2, CompletionSound::Event, "dialog-information"},
      {3, CompletionSound::Event, "dialog-warning"},
      {4, CompletionSound::Event, "dialog-error"},
      {5, CompletionSound::Event, "dialog-question"},
      {6, CompletionSound::Event, "bell"},
  };
  for (const auto& row : table) {
    const CompletionSound s = CompletionSoundFor(row.index);
    EXPECT_EQ(s.kind, row.kind) << row.index;
    EXPECT_EQ(s.eventId, row.event) << row.index;
  }
}

TEST(SoundNames, OutOfRangePlaysNothing) {
  for (int index : {-1, 7, 100, -2147483647 - 1, 2147483647})
    EXPECT_EQ(CompletionSoundFor(index).kind, CompletionSound::None) << index;
}
