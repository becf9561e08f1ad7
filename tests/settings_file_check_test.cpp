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

TEST(SettingsFileCheck, VerdictsAndOddLines) {
  const struct {
    const char* what;
    std::string text;
    V verdict;
    std::size_t odd;
    std::string kept;  // when odd lines were left out
  } table[] = {
      {"as written", kWritten, V::Ok, 0, ""},
      {"no final line break", kWritten.substr(0, kWritten.size() - 1), V::Ok, 0, ""},
      {"CR LF lines", "[Software]\r\na=1\r\n", V::Ok, 0, ""},
      {"byte order mark", "\xEF\xBB\xBF[Software]\na=1\n", V::Ok, 0, ""},
      {"comments and blank lines", "; note\n# note\n\n  \n[Software]\na=1\n", V::Ok, 0, ""},
      {"continued line", "[Software]\na=\"x\\\n y\"\n", V::Ok, 0, ""},
      {"only comments", "; nothing yet\n", V::Ok, 0, ""},
      // Unreadable as a whole: moved aside.
      {"empty", "", V::Empty, 0, ""},
      {"NUL byte", std::string("[Software]\na=\0\n", 15), V::NotText, 0, ""},
      {"prose", "hello world\nthis is not it\n", V::NotText, 2, ""},
      {"another program's file", "[Window]\nwidth=300\n", V::NotOurs, 2, ""},
      // A few odd lines: left out, the rest kept.
      {"line without =", "[Software]\na=1\nstray words\nb=2\n", V::Ok, 1, "[Software]\na=1\nb=2\n"},
      {"Latin-1 byte", "[Software]\na=\xE9t\xE9\nb=2\n", V::Ok, 1, "[Software]\nb=2\n"},
      {"overlong UTF-8", "[Software]\na=\xC0\xAF\nb=2\n", V::Ok, 1, "[Software]\nb=2\n"},
      {"UTF-16 surrogate", "[Software]\na=\xED\xA0\x80\nb=2\n", V::Ok, 1, "[Software]\nb=2\n"},
      {"cut inside a character", "[Software]\nb=2\na=\xC3", V::Ok, 1, "[Software]\nb=2\n"},
      {"cut inside a section", "[General]\nFormat=1\n\n[Softw", V::Ok, 1, "[General]\nFormat=1\n\n"},
      {"cut inside a key", "[Software]\na=1\nFontNa", V::Ok, 1, "[Software]\na=1\n"},
      {"cut inside quotes", "[Software]\nb=2\na=\"abc, de", V::Ok, 1, "[Software]\nb=2\n"},
      {"cut after an escaped quote", "[Software]\nb=2\na=\"abc\\\"", V::Ok, 1, "[Software]\nb=2\n"},
      {"cut inside a byte array", "[Software]\nb=2\na=@ByteArray(\\0\\x1", V::Ok, 1, "[Software]\nb=2\n"},
      {"cut inside a quoted string", "[Software]\nb=2\na=\"@String(\\0", V::Ok, 1, "[Software]\nb=2\n"},
      {"cut after a continuation", "[Software]\nb=2\na=x\\\n", V::Ok, 1, "[Software]\nb=2\n"},
      {"damaged section and its values", "[Software]\na=1\n[Softw\nx=1\ny=2\n[Software]\nb=2\n", V::Ok, 3,
       "[Software]\na=1\n[Software]\nb=2\n"},
      {"section with a bad byte", "[Software]\na=1\n[So\xFF]\nx=1\n", V::Ok, 2, "[Software]\na=1\n"},
      {"another program's section", "[Window]\nwidth=300\n[Software]\na=1\n", V::Ok, 2, "[Software]\na=1\n"},
      {"top-level values", "width=300\n[Software]\na=1\n", V::Ok, 1, "[Software]\na=1\n"},
      {"our top-level values", "Format=x\nSoftware\\a=1\n", V::Ok, 0, ""},
      {"Control Panel is ours", "[Control%20Panel]\nAppearance\\CustomColors=1\nodd\n", V::Ok, 1,
       "[Control%20Panel]\nAppearance\\CustomColors=1\n"},
      {"CR LF kept as it was", "[Software]\r\nodd\r\na=1\r\n", V::Ok, 1, "[Software]\r\na=1\r\n"},
  };
  for (const auto& row : table) {
    const SettingsFileScan scan = ScanSettingsText(row.text);
    EXPECT_EQ(scan.verdict, row.verdict) << row.what;
    EXPECT_EQ(scan.oddLines, row.odd) << row.what;
    EXPECT_EQ(scan.kept, row.kept) << row.what;
  }
}

// A file written by the store and cut anywhere: what is left is always
// usable, every whole line before the cut is kept, and the kept text is
// clean on a second look.
TEST(SettingsFileCheck, EveryCutOfAWrittenFileKeepsTheWholeLines) {
  // From the first line of ours on; a cut before it leaves nothing to keep.
  for (std::size_t cut = kWritten.find("Format=") + 8; cut < kWritten.size(); ++cut) {
    const std::string text = kWritten.substr(0, cut);
    const SettingsFileScan scan = ScanSettingsText(text);
    ASSERT_EQ(scan.verdict, V::Ok) << cut;
    const std::string kept = scan.oddLines ? scan.kept : text;
    const std::size_t lastBreak = text.rfind('\n');
    if (lastBreak != std::string::npos) {
      EXPECT_EQ(kept.compare(0, lastBreak + 1, text, 0, lastBreak + 1), 0) << cut;
    }
    const SettingsFileScan again = ScanSettingsText(kept);
    EXPECT_EQ(again.oddLines, 0u) << cut;
  }
}

}  // namespace
