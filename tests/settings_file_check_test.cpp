#include <gtest/gtest.h>

#include "platform/SettingsFileCheck.h"

using namespace ql;
using V = SettingsFileVerdict;

namespace {

// What QSettings writes for the store, escapes and all.
const std::string kWritten =
    "[General]\n"
    "Format=Quillora settings 1\n"
    "\n"
    "[Software]\n"
    "Norvane%20Productions\\Quillora\\Options\\%25key=\n"
    "Norvane%20Productions\\Quillora\\Options\\FontNameScreen=Courier New\n"
    "Norvane%20Productions\\Quillora\\all=\"@String(\\0\\x1 !\\\"#;=[\\\\]\xC3\xA9)\"\n"
    "Norvane%20Productions\\Quillora\\OpenTimer=@ByteArray(\\0\\0\\0\\0\\0\\0\\xf0?)\n"
    "Norvane%20Productions\\Quillora\\at=@@ByteArray(x\n"
    "Norvane%20Productions\\Quillora\\comma=\"a, b\"\n"
    "Norvane%20Productions\\Quillora\\slash=x\\\\\n";

TEST(SettingsFileCheck, Verdicts) {
  const struct {
    const char* what;
    std::string text;
    V verdict;
  } table[] = {
      {"as written", kWritten, V::Ok},
      {"no final line break", kWritten.substr(0, kWritten.size() - 1), V::Ok},
      {"CR LF lines", "[Software]\r\na=1\r\n", V::Ok},
      {"byte order mark", "\xEF\xBB\xBF[Software]\na=1\n", V::Ok},
      {"comments and blank lines", "; note\n# note\n\n  \n[Software]\na=1\n", V::Ok},
      {"continued line", "[Software]\na=\"x\\\n y\"\n", V::Ok},
      {"empty", "", V::Empty},
      {"NUL byte", std::string("[Software]\na=\0\n", 15), V::NotText},
      {"Latin-1 byte", "[Software]\na=\xE9t\xE9\n", V::NotText},
      {"overlong UTF-8", "[Software]\na=\xC0\xAF\n", V::NotText},
      {"UTF-16 surrogate", "[Software]\na=\xED\xA0\x80\n", V::NotText},
      {"cut inside a character", "[Software]\na=\xC3", V::Damaged},
      {"cut inside a section", "[General]\nFormat=1\n\n[Softw", V::Damaged},
      {"cut inside a key", "[Software]\na=1\nFontNa", V::Damaged},
      {"cut inside quotes", "[Software]\na=\"abc, de", V::Damaged},
      {"cut after an escaped quote", "[Software]\na=\"abc\\\"", V::Damaged},
      {"cut inside a byte array", "[Software]\na=@ByteArray(\\0\\x1", V::Damaged},
      {"cut inside a quoted string", "[Software]\na=\"@String(\\0", V::Damaged},
      {"cut after a continuation", "[Software]\na=x\\", V::Damaged},
      {"prose", "hello world\nthis is not it\n", V::Damaged},
  };
  for (const auto& row : table) EXPECT_EQ(CheckSettingsText(row.text), row.verdict) << row.what;
}

TEST(SettingsFileCheck, EveryCutOfAWrittenFileInsideALineOfQuotesOrArraysIsCaught) {
  // Cut right after "all=" the line is a whole empty value; any later cut
  // inside the quoted value must not pass.
  const std::size_t start = kWritten.find("all=");
  const std::size_t end = kWritten.find('\n', start);
  for (std::size_t cut = start + 5; cut < end; ++cut)
    EXPECT_NE(CheckSettingsText(kWritten.substr(0, cut)), V::Ok) << cut;
}

}  // namespace
