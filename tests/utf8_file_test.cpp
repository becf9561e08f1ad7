// UTF-8 files: taken into the Windows-1252 document only when nothing is
// lost, and saved back byte for byte; everything else stays raw bytes.
#include "common/Utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "app/DocumentFile.h"
#include "common/Codepage.h"

namespace {

using ql::Utf8Fault;
using ql::Utf8Scan;

struct Case {
  const char* name;
  std::string bytes;
  Utf8Scan::Result result;
  std::string text;  // Converted: the Windows-1252 text
  Utf8Fault fault = Utf8Fault::None;
  std::size_t offset = 0;  // Invalid, Outside
};

const std::string kBom = "\xEF\xBB\xBF";
// é € “ ” in UTF-8 and in Windows-1252.
const std::string kAccentsUtf8 = "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D";
const std::string kAccents1252 = "caf\xE9 \x80 \x93q\x94";
// Long enough for the sixteen-byte steps before and after the accents.
const std::string kLong = "The quick brown fox jumps over the lazy dog; ";

std::vector<Case> Cases() {
  return {
      {"empty", "", Utf8Scan::Plain, ""},
      {"ascii", kLong + kLong, Utf8Scan::Plain, ""},
      {"bom only", kBom, Utf8Scan::Converted, ""},
      {"bom and ascii", kBom + "abc", Utf8Scan::Converted, "abc"},
      {"accents", kAccentsUtf8, Utf8Scan::Converted, kAccents1252},
      {"bom and accents", kBom + kAccentsUtf8, Utf8Scan::Converted, kAccents1252},
      {"accents amid long runs", kLong + kAccentsUtf8 + kLong + kLong + "\xC3\xBF",
       Utf8Scan::Converted, kLong + kAccents1252 + kLong + kLong + "\xFF"},
      {"every two-byte Latin-1 letter", "\xC2\xA0\xC3\x80\xC3\xBF", Utf8Scan::Converted, "\xA0\xC0\xFF"},
      {"the five open codes as C1 controls", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D",
       Utf8Scan::Converted, "\x81\x8D\x8F\x90\x9D"},
      {"trade mark and per mille", "\xE2\x84\xA2\xE2\x80\xB0", Utf8Scan::Converted, "\x99\x89"},
      // Characters Windows-1252 lacks.
      {"U+0080 (the euro's byte, not its character)", "a\xC2\x80", Utf8Scan::Outside, "", Utf8Fault::None, 1},
      {"cyrillic", kAccentsUtf8 + "\xD0\x96", Utf8Scan::Outside, "", Utf8Fault::None, kAccentsUtf8.size()},
      {"cjk", "\xE4\xB8\xAD", Utf8Scan::Outside, "", Utf8Fault::None, 0},
      {"emoji (four bytes)", kLong + "\xF0\x9F\x98\x80", Utf8Scan::Outside, "", Utf8Fault::None, kLong.size()},
      {"byte-order mark inside", "a" + kBom, Utf8Scan::Outside, "", Utf8Fault::None, 1},
      // Not UTF-8.
      {"latin-1 byte", "caf\xE9", Utf8Scan::Invalid, "", Utf8Fault::TruncatedEnd, 3},
      {"latin-1 byte before ascii", "caf\xE9 au lait", Utf8Scan::Invalid, "", Utf8Fault::CutShort, 3},
      {"stray continuation", "\xC3\xA9\xA9", Utf8Scan::Invalid, "", Utf8Fault::StrayByte, 2},
      {"byte FF", "\xC3\xA9\xFF", Utf8Scan::Invalid, "", Utf8Fault::StrayByte, 2},
      {"overlong two bytes", "\xC1\xA9", Utf8Scan::Invalid, "", Utf8Fault::Overlong, 0},
      {"overlong zero", "\xC0\x80", Utf8Scan::Invalid, "", Utf8Fault::Overlong, 0},
      {"overlong three bytes of e-acute", "\xE0\x83\xA9", Utf8Scan::Invalid, "", Utf8Fault::Overlong, 0},
      {"overlong three bytes of A", "x\xE0\x81\x81", Utf8Scan::Invalid, "", Utf8Fault::Overlong, 1},
      {"overlong four bytes of euro", "\xF0\x82\x82\xAC", Utf8Scan::Invalid, "", Utf8Fault::Overlong, 0},
      {"surrogate", "\xC3\xA9\xED\xA0\x80", Utf8Scan::Invalid, "", Utf8Fault::Surrogate, 2},
      {"low surrogate", "\xED\xBF\xBF", Utf8Scan::Invalid, "", Utf8Fault::Surrogate, 0},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", Utf8Scan::Invalid, "", Utf8Fault::TooLarge, 0},
      {"lead F5", "\xF5\x80\x80\x80", Utf8Scan::Invalid, "", Utf8Fault::TooLarge, 0},
      {"truncated at the end", kAccentsUtf8 + "\xE2\x82", Utf8Scan::Invalid, "", Utf8Fault::TruncatedEnd,
       kAccentsUtf8.size()},
      {"bom then truncated", kBom + "\xC3", Utf8Scan::Invalid, "", Utf8Fault::TruncatedEnd, 3},
      {"cut short by ascii", "\xE2\x82" "A", Utf8Scan::Invalid, "", Utf8Fault::CutShort, 0},
  };
}

TEST(Utf8Detect, EachFileIsConvertedExactlyOrLeftAsItCame) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    std::string bytes = c.bytes;
    const Utf8Scan scan = ql::Utf8ToCp1252InPlace(bytes);
    ASSERT_EQ(scan.result, c.result);
    if (c.result == Utf8Scan::Converted) {
      EXPECT_EQ(bytes, c.text);
      EXPECT_EQ(ql::Cp1252ToUtf8(bytes, scan.bom), c.bytes) << "saved back byte for byte";
      EXPECT_EQ(ql::Utf8ExtraBytes(bytes) + (scan.bom ? 3 : 0),
                static_cast<std::int64_t>(c.bytes.size() - bytes.size()));
    } else {
      EXPECT_EQ(bytes, c.bytes) << "nothing converted";
      EXPECT_EQ(scan.fault, c.fault);
      if (c.result != Utf8Scan::Plain) {
        EXPECT_EQ(scan.offset, c.offset);
      }
      EXPECT_EQ(ql::Utf8ScanReason(scan).empty(), c.result == Utf8Scan::Plain);
    }
  }
}

// Through the document rules: every case in every line-end style opens and
// saves back identical, and the length check agrees with the file size.
TEST(Utf8Detect, DocumentsRoundTripInEveryLineEndStyle) {
  for (const Case& c : Cases()) {
    for (const char* brk : {"\r\n", "\n", "\r"}) {
      SCOPED_TRACE(std::string(c.name) + " / " + (brk[0] == '\n' ? "LF" : brk[1] ? "CR LF" : "CR"));
      std::string file = c.bytes;
      // Insert a break after the byte-order mark or at the start, and at the end.
      const std::size_t at = file.compare(0, 3, kBom) == 0 ? 3 : 0;
      file.insert(at, std::string("line") + brk);
      file += brk;
      const ql::LoadedDocument doc = ql::DecodeDocument(file, ql::EncodingChoice::Detect);
      EXPECT_EQ(doc.encoding.kind == ql::TextEncoding::Utf8, c.result == Utf8Scan::Converted);
      EXPECT_EQ(ql::FileBytes(doc.text, doc.style, doc.encoding), file);
      EXPECT_EQ(ql::LengthInFile(doc.text, doc.style, doc.encoding), doc.fileSize);
      EXPECT_EQ(doc.fileSize, static_cast<std::int64_t>(file.size()));
      // Asked for raw bytes, every file is its bytes.
      const ql::LoadedDocument raw = ql::DecodeDocument(file, ql::EncodingChoice::Bytes);
      EXPECT_EQ(raw.encoding.kind, ql::TextEncoding::Bytes);
      EXPECT_EQ(ql::FileBytes(raw.text, raw.style, raw.encoding), file);
    }
  }
}

TEST(Utf8Detect, WhatTheStatusBarSays) {
  struct Row {
    std::string bytes;
    ql::EncodingChoice choice;
    std::string note;
  } rows[] = {
      {"plain", ql::EncodingChoice::Detect, ""},
      {"plain", ql::EncodingChoice::Bytes, "8-bit bytes"},
      {"plain", ql::EncodingChoice::Utf8, "UTF-8"},
      {kAccentsUtf8, ql::EncodingChoice::Detect, "UTF-8"},
      {kBom + "x", ql::EncodingChoice::Detect, "UTF-8 with byte-order mark"},
      {kAccentsUtf8, ql::EncodingChoice::Bytes, "8-bit bytes"},
      {"ab\xC0\x80", ql::EncodingChoice::Detect, "8-bit bytes: invalid UTF-8 at byte 3: an overlong form"},
      {"ab\xC3", ql::EncodingChoice::Utf8, "8-bit bytes: invalid UTF-8: the file ends inside a character"},
      {"\xD0\x96!", ql::EncodingChoice::Detect,
       "8-bit bytes: UTF-8 with \"\xD0\x96\" (U+0416) at byte 1, which Windows-1252 lacks"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.bytes);
    const ql::LoadedDocument doc = ql::DecodeDocument(r.bytes, r.choice);
    EXPECT_EQ(ql::OpenedEncodingNote(doc, r.choice), r.note);
  }
}

TEST(Utf8Detect, ZeroByteCutIsMeasuredInTheFilesEncoding) {
  // "é" then byte 0: the text keeps "é", which is 2 bytes of a 6-byte file.
  const std::string file = std::string("\xC3\xA9\0abc", 6);
  const ql::LoadedDocument doc = ql::DecodeDocument(file, ql::EncodingChoice::Detect);
  ASSERT_EQ(doc.encoding.kind, ql::TextEncoding::Utf8);
  EXPECT_TRUE(doc.cut);
  EXPECT_EQ(doc.text, "\xE9");
  EXPECT_EQ(ql::LengthInFile(doc.text, doc.style, doc.encoding), 2);
  EXPECT_EQ(doc.fileSize, 6);
}

TEST(Utf8Detect, CharactersForMessages) {
  EXPECT_EQ(ql::DescribeCharacter(0x20AC), "\"\xE2\x82\xAC\" (U+20AC)");
  EXPECT_EQ(ql::DescribeCharacter(0x1F600), "\"\xF0\x9F\x98\x80\" (U+01F600)");
  EXPECT_EQ(ql::DescribeCharacter(0x80), "(U+0080)");
  char32_t ch = 0;
  EXPECT_FALSE(ql::FirstOutsideCp1252(u"caf\u00E9 \u20AC \u201Cq\u201D", ch));
  ASSERT_TRUE(ql::FirstOutsideCp1252(u"ab\u0416c", ch));
  EXPECT_EQ(ch, char32_t(0x416));
  ASSERT_TRUE(ql::FirstOutsideCp1252(u"a\U0001F600", ch));
  EXPECT_EQ(ch, char32_t(0x1F600));
  ASSERT_TRUE(ql::FirstOutsideCp1252(std::u16string(1, char16_t(0xDC00)), ch));
  EXPECT_EQ(ch, char32_t(0xDC00));
}

// ---- random input against a plain reference decoder ----

// True when the bytes are UTF-8 of Windows-1252 characters; written the
// slow, obvious way.
bool ReferenceConvertible(const std::string& s, std::string& text, bool& multi) {
  text.clear();
  multi = false;
  std::size_t i = 0;
  if (s.compare(0, 3, kBom) == 0) {
    i = 3;
    multi = true;
  }
  while (i < s.size()) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > s.size()) return false;
    char32_t ch = len == 1 ? b : b & (0xFF >> (len + 1));
    for (int k = 1; k < len; ++k) {
      const unsigned char c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      ch = (ch << 6) | (c & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (ch < smallest[len] || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) return false;
    const int byte = ql::UnicodeToByte(ql::Codepage::Cp1252, ch);
    if (byte < 0) return false;
    if (len > 1) multi = true;
    text += static_cast<char>(byte);
    i += len;
  }
  return true;
}

void CheckAgainstReference(const std::string& input) {
  std::string expected;
  bool multi = false;
  const bool convertible = ReferenceConvertible(input, expected, multi);
  std::string bytes = input;
  const Utf8Scan scan = ql::Utf8ToCp1252InPlace(bytes);
  if (convertible && multi) {
    ASSERT_EQ(scan.result, Utf8Scan::Converted);
    ASSERT_EQ(bytes, expected);
    ASSERT_EQ(ql::Cp1252ToUtf8(bytes, scan.bom), input);
  } else {
    ASSERT_NE(scan.result, Utf8Scan::Converted);
    ASSERT_EQ(scan.result == Utf8Scan::Plain, convertible);
    ASSERT_EQ(bytes, input);
  }
}

TEST(Utf8Detect, RandomBytesAreConvertedLikeTheReferenceOrLeftAlone) {
  std::mt19937 rng(1252);
  // Bytes drawn mostly from the ones UTF-8 is made of, so that long valid
  // stretches and every kind of fault occur.
  const unsigned char pool[] = {'a', ' ', '\n', 0x80, 0x82, 0x93, 0x9C, 0xA9, 0xAC, 0xBF, 0xC0, 0xC2,
                                0xC3, 0xC5, 0xCB, 0xD0, 0xE0, 0xE2, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
  for (int round = 0; round < 20000; ++round) {
    std::string s;
    const int length = static_cast<int>(rng() % 48);
    for (int i = 0; i < length; ++i)
      s += static_cast<char>(rng() % 4 == 0 ? rng() % 256 : pool[rng() % sizeof pool]);
    if (rng() % 8 == 0) s = kBom + s;
    SCOPED_TRACE(::testing::PrintToString(s));
    CheckAgainstReference(s);
  }
}

TEST(Utf8Detect, RandomWindows1252TextWrittenAsUtf8ComesBackExactly) {
  std::mt19937 rng(437);
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int length = static_cast<int>(rng() % 200);
    for (int i = 0; i < length; ++i) {
      // Runs of ASCII with Windows-1252 letters between them.
      const unsigned b = rng() % 3 == 0 ? 0x80 + rng() % 128 : 1 + rng() % 127;
      text += static_cast<char>(b);
    }
    const bool bom = rng() % 2 == 0;
    const std::string file = ql::Cp1252ToUtf8(text, bom);
    SCOPED_TRACE(::testing::PrintToString(file));
    CheckAgainstReference(file);
    std::string bytes = file;
    const Utf8Scan scan = ql::Utf8ToCp1252InPlace(bytes);
    const bool multi = bom || std::any_of(text.begin(), text.end(), [](char c) { return c & 0x80; });
    ASSERT_EQ(scan.result, multi ? Utf8Scan::Converted : Utf8Scan::Plain);
    ASSERT_EQ(bytes, text);
    ASSERT_EQ(scan.bom, bom);
    // One byte spoilt anywhere is raw, or still UTF-8 the reference agrees on.
    if (!file.empty()) {
      std::string spoilt = file;
      spoilt[rng() % spoilt.size()] = static_cast<char>(0x80 + rng() % 128);
      CheckAgainstReference(spoilt);
    }
  }
}

}  // namespace
