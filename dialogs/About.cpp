#include "dialogs/About.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/Store.h"

namespace ql {

const char* const kAboutCaption = "About Norvane Quillora v1.81";

namespace {

const char* const kProgramKey = "\\Software\\Norvane Productions\\Quillora";

// The store's integer encoding: decimal text of a signed 32-bit number.
std::optional<long> StoredInt(const std::string& text) {
  if (text.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < INT32_MIN || v > INT32_MAX || text[0] == ' ') return std::nullopt;
  return v;
}

// The store's time encoding: 8 bytes, one little-endian double of days.
std::optional<double> StoredDays(const std::string& bytes) {
  if (bytes.size() != 8) return std::nullopt;
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
  double d = 0;
  std::memcpy(&d, &bits, sizeof d);
  if (!std::isfinite(d)) return std::nullopt;
  return d;
}

std::string TwoDigits(long long n) { return (n < 10 ? "0" : "") + std::to_string(n); }

}  // namespace

std::string FormatOpenTime(double days) {
  long long seconds = 0;
  if (std::isfinite(days) && days > 0) seconds = std::llround(std::min(days, 1e9) * 86400.0);
  return std::to_string(seconds / 3600) + " hours,\n" + std::to_string(seconds % 3600 / 60) + " minutes and " +
         TwoDigits(seconds % 60) + " seconds";
}

UsageBox UsageStatistics(const Store& store, double runDays) {
  const auto counter = store.ReadValue(kProgramKey, "OpenCounter");
  const auto date = store.ReadValue(kProgramKey, "InstallDate");
  if (!counter || !date)
    return {"The Quillora open information, stored in the registry, is missing!", "Registry Information Missing!", 16};
  long n = -1;
  if (counter->kind == StoreValue::String)
    if (auto v = StoredInt(counter->data)) n = *v;
  const std::string d = date->kind == StoreValue::String ? date->data : "** ERROR!";
  std::string text = "\"Quillora has been opened " + std::to_string(n) + " times,\nsince " + d + ",\n";
  const auto timer = store.ReadValue(kProgramKey, "OpenTimer");
  const auto total = timer && timer->kind == StoreValue::Binary ? StoredDays(timer->data) : std::nullopt;
  if (total)
    text += "it has in total been opened for " + FormatOpenTime(*total + runDays) + ".\"";
  else
    text += "its total open time is not recorded; this run has lasted " + FormatOpenTime(runDays) + ".\"";
  return {text, "Quillora information", 64};
}

bool IsHiddenMenuGesture(const GestureState& s) {
  return s.ctrl && s.shift && s.alt && !s.meta && s.left && !s.otherButtons;
}

}  // namespace ql
