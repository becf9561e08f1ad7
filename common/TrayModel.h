// The tray icon's properties and their rules, without the desktop: which
// image shows, the tooltip, whether the cycling timer runs, and what a
// click on the icon raises. The window side (common/qt/TrayCtrl) owns the
// icons and the timer and applies every record the model hands its shell.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ql {

// The tooltip holds at most this many characters.
constexpr std::size_t kTrayTipLength = 63;

// The first `count` characters of UTF-8 text; a sequence is never split, a
// byte that starts none counts as one character.
std::string FirstCharacters(const std::string& text, std::size_t count);

// What the desktop is asked to show.
struct TrayRecord {
  enum Source { NormalIcon, DisabledIcon, ListImage };
  Source source = NormalIcon;
  int image = 0;        // ListImage: the image of the list
  std::string tip;      // at most kTrayTipLength characters
  bool operator==(const TrayRecord& o) const {
    return source == o.source && image == o.image && tip == o.tip;
  }
};

// The desktop's notification area as the model sees it.
class TrayShell {
 public:
  virtual ~TrayShell() = default;
  virtual void Add(const TrayRecord& record) = 0;
  virtual void Remove() = 0;
  virtual void Modify(const TrayRecord& record) = 0;
};

// What the desktop tells about the icon.
enum class TrayNotice { Click, DoubleClick, MiddleClick, Context };
// The component's events, in the order they fire.
enum class TrayEvent { MouseUpLeft, Click, DblClick, MouseUpRight, MouseUpMiddle };

class TrayModel {
 public:
  explicit TrayModel(TrayShell& shell);
  ~TrayModel();  // takes the icon out of the area
  TrayModel(const TrayModel&) = delete;
  TrayModel& operator=(const TrayModel&) = delete;

  // Icon, IconDisabled and IconList changed (their pictures live outside):
  // show the change. imageCount < 0: no list.
  void IconsChanged();
  void SetImageCount(int imageCount);
  void SetUseIconList(bool on);
  void SetIconIndex(int index);
  void SetEnabled(bool on);
  // Returns false when the text is the one already set (nothing happens).
  bool SetHint(const std::string& hint);
  void SetShowHint(bool on);
  void SetVisible(bool on);
  // Returns whether a cycling step took place (the caller raises OnCycle).
  bool SetCycleIcons(bool on);
  void SetCycleInterval(std::uint32_t ms);

  int ImageCount() const { return imageCount_; }
  bool UseIconList() const { return useIconList_; }
  int IconIndex() const { return iconIndex_; }
  bool Enabled() const { return enabled_; }
  const std::string& Hint() const { return hint_; }
  bool ShowHint() const { return showHint_; }
  bool Visible() const { return visible_; }
  bool CycleIcons() const { return cycleIcons_; }
  std::uint32_t CycleInterval() const { return cycleInterval_; }
  // The timer ticks only while cycling with a non-zero interval: a zero
  // interval would be a busy loop.
  bool TimerRunning() const { return cycleIcons_ && cycleInterval_ > 0; }
  const TrayRecord& Record() const { return record_; }

  // One timer tick: steps through the list (wrapping to 0). Returns whether
  // a step took place (there is a list).
  bool CycleStep();
  // The events a notice raises; none while not enabled.
  std::vector<TrayEvent> Notify(TrayNotice notice) const;

 private:
  void Refresh();

  TrayShell& shell_;
  TrayRecord record_;
  int imageCount_ = -1;
  bool useIconList_ = false;
  int iconIndex_ = 0;
  std::uint32_t cycleInterval_ = 500;
  bool cycleIcons_ = false;
  std::string hint_;
  bool showHint_ = true;
  bool enabled_ = true;
  bool visible_ = false;
};

}  // namespace ql
