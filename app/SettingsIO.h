// Reading and writing the options, placement, lists and usage values in the
// per-user store. Everything the program keeps between runs goes through
// here; the window only applies what was read.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "app/Options.h"
#include "platform/Store.h"

namespace ql {

extern const char* const kBaseKey;     // "\Software\Norvane Productions\Quillora"
extern const char* const kOptionsKey;  // ...\Options
extern const char* const kRecentKey;   // ...\RecentList
extern const char* const kFindKey;     // ...\FindReplace
extern const char* const kRunKey;      // ...\Run

struct Placement {
  int top = 0, left = 0, width = 0, height = 0;
  bool operator==(const Placement& o) const {
    return top == o.top && left == o.left && width == o.width && height == o.height;
  }
};

// Decimal text of a signed 32-bit number; nothing else is a number.
std::optional<std::int32_t> ParseStoredInt(const std::string& text);
// The 8-byte little-endian double of a time value.
std::string EncodeTime(double days);
std::optional<double> DecodeTime(const std::string& bytes);

// An integer value, falling back to its default when missing, unparseable or
// outside [lo, hi].
std::int32_t ReadInt(const Store& store, const std::string& key, const std::string& name,
                     std::int32_t def, std::int32_t lo = INT32_MIN, std::int32_t hi = INT32_MAX);
bool ReadBool(const Store& store, const std::string& key, const std::string& name, bool def);

void LoadSettings(const Store& store, int screenWidth, int screenHeight, AppOptions& options,
                  AppLists& lists);

// normalPlacement is the window's placement when its state is normal, empty
// otherwise. Returns false when any option write or the final flush failed.
bool SaveSettings(Store& store, const AppOptions& options, const AppLists& lists,
                  const std::optional<Placement>& normalPlacement, bool saveOptions,
                  bool updateUsage, double elapsedDays);

// The stored placement, each part defaulting to the current one.
Placement ReadPlacement(const Store& store, const Placement& current);

// "/FirstRun": writes the three usage values when any is missing. Returns
// whether they were written.
bool WriteFirstRunValues(Store& store, const std::string& installDate);

// "DDDD, MMMM DD, YYYY, HH:NN AM/PM" with the locale's day and month names.
std::string FormatInstallDate(const std::tm& t, const std::string& dayName,
                              const std::string& monthName);

}  // namespace ql
