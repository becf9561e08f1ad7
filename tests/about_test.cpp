// The about box's usage statistics and its hidden gesture.
#include <gtest/gtest.h>

#include <cstring>

#include "dialogs/About.h"
#include "platform/Store.h"

namespace ql {
namespace {

const char* const kBase = "\\Software\\Norvane Productions\\Quillora";

std::string Days(double d) {
  std::string bytes(8, '\0');
  std::uint64_t bits = 0;
  std::memcpy(&bits, &d, sizeof d);
  for (int i = 0; i < 8; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  return bytes;
}

TEST(About, OpenTimeShowsTotalHours) {
  struct Case {
    double days;
    const char* want;
  } cases[] = {
      {0.0, "0 hours,\n0 minutes and 00 seconds"},
      {(3 * 3600 + 7 * 60 + 5) / 86400.0, "3 hours,\n7 minutes and 05 seconds"},
      {1.0, "24 hours,\n0 minutes and 00 seconds"},                          // a day is 24 hours, not 0
      {2.5 + 59.0 / 86400, "60 hours,\n0 minutes and 59 seconds"},
      {(59.6) / 86400.0, "0 hours,\n1 minutes and 00 seconds"},              // rounds to the second
      {-1.0, "0 hours,\n0 minutes and 00 seconds"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatOpenTime(c.days), c.want) << c.days;
}

TEST(About, UsageStatistics) {
  const double run = 65.0 / 86400;  // this run: 1 minute 5 seconds
  struct Case {
    const char* name;
    const char* counter;   // nullptr: absent
    const char* date;
    double timer;          // < 0: absent
    const char* text;
    const char* caption;
    unsigned flags;
  } cases[] = {
      {"fresh install", "1", "Monday, March 05, 2001, 09:41 PM", 0.0,
       "\"Quillora has been opened 1 times,\nsince Monday, March 05, 2001, 09:41 PM,\n"
       "it has in total been opened for 0 hours,\n1 minutes and 05 seconds.\"",
       "Quillora information", 64},
      {"more than a day", "12", "X", 1.5,
       "\"Quillora has been opened 12 times,\nsince X,\nit has in total been opened for 36 hours,\n1 minutes and 05 seconds.\"",
       "Quillora information", 64},
      {"a counter that is no number", "12a", "X", 0.0,
       "\"Quillora has been opened -1 times,\nsince X,\nit has in total been opened for 0 hours,\n1 minutes and 05 seconds.\"",
       "Quillora information", 64},
      {"no timer", "7", "X", -1,
       "\"Quillora has been opened 7 times,\nsince X,\nits total open time is not recorded; this run has lasted 0 hours,\n"
       "1 minutes and 05 seconds.\"",
       "Quillora information", 64},
      {"no counter", nullptr, "X", 0.0, "The Quillora open information, stored in the registry, is missing!",
       "Registry Information Missing!", 16},
      {"no date", "3", nullptr, 0.0, "The Quillora open information, stored in the registry, is missing!",
       "Registry Information Missing!", 16},
  };
  for (const Case& c : cases) {
    MemoryStore store;
    if (c.counter) store.WriteString(kBase, "OpenCounter", c.counter);
    if (c.date) store.WriteString(kBase, "InstallDate", c.date);
    if (c.timer >= 0) store.WriteBinary(kBase, "OpenTimer", Days(c.timer));
    const UsageBox box = UsageStatistics(store, run);
    EXPECT_EQ(box.text, c.text) << c.name;
    EXPECT_EQ(box.caption, c.caption) << c.name;
    EXPECT_EQ(box.flags, c.flags) << c.name;
  }
  // Reading creates nothing.
  MemoryStore empty;
  UsageStatistics(empty, run);
  EXPECT_FALSE(empty.KeyExists(kBase));
}

TEST(About, HiddenMenuGesture) {
  struct Case {
    GestureState s;
    bool want;
  } cases[] = {
      {{true, true, true, false, true, false}, true},
      {{true, true, false, false, true, false}, false},  // Ctrl and Shift only
      {{true, true, true, true, true, false}, false},    // and the logo key
      {{true, true, true, false, false, false}, false},  // another button
      {{true, true, true, false, true, true}, false},    // left with another held
  };
  for (const Case& c : cases) EXPECT_EQ(IsHiddenMenuGesture(c.s), c.want);
}

}  // namespace
}  // namespace ql
