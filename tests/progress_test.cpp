#include <gtest/gtest.h>

#include <vector>

#include "functions/Progress.h"

namespace ql {
namespace {

TEST(ProgressTicker, ReportsEachWholePercentOnceAsTheLoopRuns) {
  for (std::uint64_t total : {1ull, 3ull, 7ull, 99ull, 100ull, 101ull, 1000ull, 123457ull}) {
    std::vector<int> seen;
    TProgressProc proc = [&](int p) { seen.push_back(p); };
    ProgressTicker ticker(proc, total);
    for (std::uint64_t done = 1; done <= total; ++done) {
      ticker.Step(done);
      const int expected = static_cast<int>(done * 100 / total);
      // The last report is always the current percentage, once it is above 0.
      if (expected > 0) {
        ASSERT_FALSE(seen.empty()) << total << " " << done;
        EXPECT_EQ(seen.back(), expected) << total << " " << done;
      }
    }
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 100);
    EXPECT_LE(seen.size(), 100u);
    for (size_t i = 1; i < seen.size(); ++i) EXPECT_LT(seen[i - 1], seen[i]);
  }
}

TEST(ProgressTicker, EmptyProcedureOrNothingToDoCallsNothing) {
  TProgressProc none;
  ProgressTicker a(none, 10);
  for (int i = 1; i <= 10; ++i) a.Step(i);  // must not call an empty function

  int calls = 0;
  TProgressProc count = [&](int) { ++calls; };
  ProgressTicker b(count, 0);
  b.Step(0);
  b.Step(5);
  EXPECT_EQ(calls, 0);
}

TEST(ProgressTicker, HugeTotalsDoNotOverflow) {
  std::vector<int> seen;
  TProgressProc proc = [&](int p) { seen.push_back(p); };
  const std::uint64_t total = 6000000000000000000ull;  // times 100 is far past 64 bits
  ProgressTicker ticker(proc, total);
  ticker.Step(total / 2);
  ticker.Step(total);
  EXPECT_EQ(seen, (std::vector<int>{50, 100}));
}

}  // namespace
}  // namespace ql
