#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/TrayModel.h"

using namespace ql;

namespace {

// Records every call the model makes on the desktop.
struct FakeShell : TrayShell {
  std::vector<std::string> calls;
  TrayRecord last;
  bool shown = false;
  void Add(const TrayRecord& r) override {
    calls.push_back("add");
    last = r;
    shown = true;
  }
  void Remove() override {
    calls.push_back("remove");
    shown = false;
  }
  void Modify(const TrayRecord& r) override {
    calls.push_back("modify");
    last = r;
  }
};

TEST(TrayModel, TooltipKeepsTheFirst63Characters) {
  const std::string e = "\xC3\xA9";  // é, two bytes
  struct Case {
    const char* name;
    std::string hint;
    std::string tip;
  };
  const Case cases[] = {
      {"empty", "", ""},
      {"short", "Quillora  <a.txt>", "Quillora  <a.txt>"},
      {"exactly 63", std::string(63, 'x'), std::string(63, 'x')},
      {"64 cut", std::string(64, 'x'), std::string(63, 'x')},
      {"long cut", std::string(200, 'y'), std::string(63, 'y')},
      // Characters, not bytes: 63 two-byte characters stay whole.
      {"63 multi-byte", [&] { std::string s; for (int i = 0; i < 70; ++i) s += e; return s; }(),
       [&] { std::string s; for (int i = 0; i < 63; ++i) s += e; return s; }()},
      {"sequence at the cut", std::string(62, 'x') + e + "zz", std::string(62, 'x') + e},
      {"broken bytes count one each", std::string(62, 'x') + "\xC3" + "ab",
       std::string(62, 'x') + "\xC3"},
  };
  for (const Case& c : cases) {
    FakeShell shell;
    TrayModel m(shell);
    m.SetHint(c.hint);
    EXPECT_EQ(m.Record().tip, c.tip) << c.name;
    EXPECT_EQ(shell.last.tip, c.tip) << c.name;
    EXPECT_EQ(m.Hint(), c.hint) << c.name;  // the property keeps the whole text
  }
}

TEST(TrayModel, SameHintTwiceDoesNothing) {
  FakeShell shell;
  TrayModel m(shell);
  EXPECT_TRUE(m.SetHint("Quillora  <Untitled>"));
  const auto calls = shell.calls.size();
  EXPECT_FALSE(m.SetHint("Quillora  <Untitled>"));
  EXPECT_EQ(shell.calls.size(), calls);
  EXPECT_TRUE(m.SetHint("Quillora  <a.txt>"));
  EXPECT_EQ(shell.calls.size(), calls + 1);
  // The empty hint it starts with counts too.
  FakeShell fresh;
  TrayModel n(fresh);
  EXPECT_FALSE(n.SetHint(""));
  EXPECT_EQ(fresh.calls.size(), 1u);
}

TEST(TrayModel, ShowHintDecidesWhetherTheTipShowsTheHint) {
  FakeShell shell;
  TrayModel m(shell);
  m.SetHint(std::string(70, 'h'));
  m.SetShowHint(false);
  EXPECT_EQ(shell.last.tip, "");
  // A new hint while hints are off stays out of the tip ...
  m.SetHint("other");
  EXPECT_EQ(shell.last.tip, "");
  // ... and shows, cut, once they are on again.
  m.SetHint(std::string(70, 'h'));
  m.SetShowHint(true);
  EXPECT_EQ(shell.last.tip, std::string(63, 'h'));
}

TEST(TrayModel, WhichIconShows) {
  struct Case {
    const char* name;
    int images;  // -1: no list
    bool useList, cycle, enabled;
    int index;
    TrayRecord::Source source;
  };
  const Case cases[] = {
      {"icon", -1, false, false, true, 0, TrayRecord::NormalIcon},
      {"disabled icon", -1, false, false, false, 0, TrayRecord::DisabledIcon},
      {"list asked for but none set", -1, true, false, true, 0, TrayRecord::NormalIcon},
      {"list image", 3, true, false, true, 2, TrayRecord::ListImage},
      {"list wins over disabled", 3, true, false, false, 1, TrayRecord::ListImage},
      {"list there but not used", 3, false, false, false, 1, TrayRecord::DisabledIcon},
  };
  for (const Case& c : cases) {
    FakeShell shell;
    TrayModel m(shell);
    m.SetImageCount(c.images);
    m.SetUseIconList(c.useList);
    m.SetEnabled(c.enabled);
    m.SetIconIndex(c.index);
    EXPECT_EQ(shell.last.source, c.source) << c.name;
    if (c.source == TrayRecord::ListImage) {
      EXPECT_EQ(shell.last.image, c.index) << c.name;
    }
  }
}

TEST(TrayModel, CyclingWrapsAroundTheList) {
  FakeShell shell;
  TrayModel m(shell);
  m.SetImageCount(3);
  m.SetCycleInterval(100);
  EXPECT_TRUE(m.SetCycleIcons(true));  // one step at once
  EXPECT_TRUE(m.TimerRunning());
  std::vector<int> seen = {shell.last.image};
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(m.CycleStep());
    seen.push_back(shell.last.image);
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 0, 1, 2, 0}));
  EXPECT_EQ(shell.last.source, TrayRecord::ListImage);

  // A negative or too large index starts over at 0.
  m.SetIconIndex(-5);
  m.CycleStep();
  EXPECT_EQ(m.IconIndex(), 0);
  m.SetIconIndex(7);
  m.CycleStep();
  EXPECT_EQ(m.IconIndex(), 0);
  // An empty list has nothing but image 0.
  m.SetImageCount(0);
  EXPECT_TRUE(m.CycleStep());
  EXPECT_EQ(m.IconIndex(), 0);

  // Without a list there is nothing to step through and nothing to show.
  FakeShell none;
  TrayModel n(none);
  EXPECT_FALSE(n.SetCycleIcons(true));
  EXPECT_FALSE(n.CycleStep());
  EXPECT_EQ(n.IconIndex(), 0);
  EXPECT_EQ(none.calls.size(), 1u);
}

TEST(TrayModel, TimerRunsOnlyWhileCyclingWithAnInterval) {
  struct Case {
    const char* name;
    bool cycle;
    std::uint32_t interval;
    bool running;
  };
  const Case cases[] = {
      {"cycling", true, 500, true},
      {"interval 0 means no cycling", true, 0, false},
      {"not cycling", false, 500, false},
      {"longest interval", true, 0xFFFFFFFFu, true},
  };
  for (const Case& c : cases) {
    FakeShell shell;
    TrayModel m(shell);
    m.SetImageCount(2);
    m.SetCycleInterval(c.interval);
    m.SetCycleIcons(c.cycle);
    EXPECT_EQ(m.TimerRunning(), c.running) << c.name;
  }
}

TEST(TrayModel, VisibleAddsAndRemovesOnce) {
  FakeShell shell;
  {
    TrayModel m(shell);
    m.SetHint("tip");
    shell.calls.clear();
    m.SetVisible(true);
    m.SetVisible(true);
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"add", "modify", "modify"}));
    EXPECT_TRUE(shell.shown);
    EXPECT_EQ(shell.last.tip, "tip");
    m.SetVisible(false);
    EXPECT_FALSE(shell.shown);
    m.SetVisible(true);
    shell.calls.clear();
  }
  // Going away takes the icon out of the area.
  EXPECT_EQ(shell.calls, std::vector<std::string>{"remove"});
  EXPECT_FALSE(shell.shown);
}

TEST(TrayModel, NoticesRaiseEventsOnlyWhileEnabled) {
  using E = TrayEvent;
  struct Case {
    TrayNotice notice;
    std::vector<E> events;
  };
  const Case cases[] = {
      {TrayNotice::Click, {E::MouseUpLeft, E::Click}},
      {TrayNotice::DoubleClick, {E::DblClick}},
      {TrayNotice::Context, {E::MouseUpRight}},
      {TrayNotice::MiddleClick, {E::MouseUpMiddle}},
  };
  FakeShell shell;
  TrayModel m(shell);
  for (const Case& c : cases) {
    m.SetEnabled(true);
    EXPECT_EQ(m.Notify(c.notice), c.events) << static_cast<int>(c.notice);
    m.SetEnabled(false);
    EXPECT_TRUE(m.Notify(c.notice).empty()) << static_cast<int>(c.notice);
  }
}

}  // namespace
