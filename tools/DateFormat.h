// Our own date-time formatter for the insertion pattern language: d, dd,
// ddd, dddd, ddddd, dddddd, m, mm (minutes straight after h or hh), mmm,
// mmmm, yy, yyyy, h, hh, n, nn, s, ss, z, zzz, t, tt, c, am/pm, a/p, ampm,
// '/' and ':' (the locale's separators), quoted literals. Letters are
// case-insensitive; everything else is copied. Texts are Windows-1252.
#pragma once

#include <array>
#include <string>

namespace ql {

struct DateTimeParts {
  int year = 2000, month = 1, day = 1;  // month 1..12
  int hour = 0, minute = 0, second = 0, msec = 0;
  int dayOfWeek = 6;  // 0 Sunday .. 6 Saturday
};

// The user's regional settings; the four formats are in the pattern language.
struct DateLocale {
  std::array<std::string, 7> shortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<std::string, 7> longDayNames{"Sunday", "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};
  std::array<std::string, 12> shortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<std::string, 12> longMonthNames{"January", "February", "March", "April",
                                             "May", "June", "July", "August",
                                             "September", "October", "November", "December"};
  std::string shortDateFormat = "m/d/yyyy";
  std::string longDateFormat = "dddd, mmmm d, yyyy";
  std::string shortTimeFormat = "h:nn ampm";
  std::string longTimeFormat = "h:nn:ss ampm";
  std::string amText = "AM", pmText = "PM";
  std::string dateSeparator = "/", timeSeparator = ":";
};

std::string FormatDateTime(const std::string& pattern, const DateTimeParts& when,
                           const DateLocale& locale);

// The custom pattern the date/time dialog offers on day `day` of a month,
// with the English ordinal suffix as a quoted literal.
std::string DefaultCustomPattern(int day);

// A Qt-style locale format ("dddd, MMMM d, yyyy", "h:mm:ss AP") in our
// pattern language.
std::string PatternFromQtFormat(const std::string& qtFormat);

}  // namespace ql
