// Windows-1252 letter set and case maps, and the whole-string case tools
// built on them. Tables are built once; every lookup is one array read.
#include "common/FuncLib.h"

#include <array>

namespace ql {

namespace {

struct CaseTables {
  std::array<unsigned char, 256> upper{};
  std::array<unsigned char, 256> lower{};
  std::array<bool, 256> letter{};
  std::array<bool, 256> isUpper{};
  std::array<bool, 256> isLower{};

  CaseTables() {
    for (int c = 0; c < 256; ++c) {
      upper[c] = static_cast<unsigned char>(c);
      lower[c] = static_cast<unsigned char>(c);
    }
    auto pair = [this](int up, int low) {
      upper[low] = static_cast<unsigned char>(up);
      lower[up] = static_cast<unsigned char>(low);
      letter[up] = letter[low] = true;
      isUpper[up] = true;
      isLower[low] = true;
    };
    for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
    pair(138, 154);  // S caron
    pair(140, 156);  // OE ligature
    pair(159, 255);  // Y diaeresis
    for (int c = 192; c <= 214; ++c) pair(c, c + 32);
    for (int c = 216; c <= 222; ++c) pair(c, c + 32);
  }
};

const CaseTables& Tables() {
  static const CaseTables tables;
  return tables;
}

}  // namespace

bool IsLetter(unsigned char c) { return Tables().letter[c]; }
bool IsUpperLetter(unsigned char c) { return Tables().isUpper[c]; }
bool IsLowerLetter(unsigned char c) { return Tables().isLower[c]; }
unsigned char AnsiUpper(unsigned char c) { return Tables().upper[c]; }
unsigned char AnsiLower(unsigned char c) { return Tables().lower[c]; }

std::string AnsiUpperStr(std::string s) {
  const auto& map = Tables().upper;
  for (char& ch : s) ch = static_cast<char>(map[static_cast<unsigned char>(ch)]);
  return s;
}

std::string AnsiLowerStr(std::string s) {
  const auto& map = Tables().lower;
  for (char& ch : s) ch = static_cast<char>(map[static_cast<unsigned char>(ch)]);
  return s;
}

std::string ToggleCaseStr(std::string s) {
  const CaseTables& t = Tables();
  for (char& ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (t.isUpper[c])
      ch = static_cast<char>(t.lower[c]);
    else if (t.isLower[c])
      ch = static_cast<char>(t.upper[c]);
  }
  return s;
}

std::string TitleCaseStr(std::string s) {
  const CaseTables& t = Tables();
  s = AnsiLowerStr(std::move(s));
  bool wordStart = true;
  for (char& ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (!t.letter[c]) {
      wordStart = true;
    } else if (wordStart) {
      ch = static_cast<char>(t.upper[c]);
      wordStart = false;
    }
  }
  return s;
}

}  // namespace ql
