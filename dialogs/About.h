// The about box's usage statistics: how often and how long the program has
// been open, read from our settings without creating anything there.
#pragma once

#include <string>

namespace ql {

class Store;

extern const char* const kAboutCaption;  // "About Norvane Quillora v1.81"

// "H hours,\nN minutes and SS seconds" with H the total hours, so a total
// of a day or more reads as hours too. Negative or unreadable: zero.
std::string FormatOpenTime(double days);

struct UsageBox {
  std::string text, caption;
  unsigned flags = 0;
};
// runDays: how long this run has lasted so far (a monotonic measure).
UsageBox UsageStatistics(const Store& store, double runDays);

// The hidden menu opens with the left button and exactly Ctrl, Shift and Alt.
struct GestureState {
  bool ctrl = false, shift = false, alt = false, meta = false;
  bool left = false, otherButtons = false;
};
bool IsHiddenMenuGesture(const GestureState& s);

// What the about box needs from the main window.
class AboutHost {
 public:
  virtual ~AboutHost() = default;
  virtual const Store& Settings() const = 0;
  virtual double RunDays() const = 0;  // this run so far, from a monotonic clock
  virtual void RevealHiddenMenu() = 0;
};

}  // namespace ql
