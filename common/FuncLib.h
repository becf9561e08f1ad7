// The utility library every window uses: strings, search and replace with
// counts, case maps, numbers in other bases, colors, paths and block file
// access. Text is 8-bit Windows-1252 held in std::string; positions are
// 1-based with -1 for "not found". Pure C++: the message box, clipboard and
// shell live in platform/.
#pragma once

#include <bitset>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>

namespace ql {

using Pos = std::int64_t;
using CharSet = std::bitset<256>;
using Color = std::uint32_t;  // 0x00BBGGRR, or 0x80000000 + system color number

// Raised by OctToInt and HexToDecStr: "'%s' is not a valid integer value".
class ConvertError : public std::runtime_error {
 public:
  explicit ConvertError(const std::string& text);
};

// ---- letter set and case maps (Windows-1252) ----
bool IsLetter(unsigned char c);        // the `letter set` of whole-word search
bool IsUpperLetter(unsigned char c);
bool IsLowerLetter(unsigned char c);
unsigned char AnsiUpper(unsigned char c);
unsigned char AnsiLower(unsigned char c);
std::string AnsiUpperStr(std::string s);
std::string AnsiLowerStr(std::string s);

// ---- search scan ----
Pos ReplaceAll(std::string& s, const std::string& oldText, const std::string& newText, Pos startPos);
Pos ReplaceAllEx(std::string& s, const std::string& oldText, const std::string& newText, Pos startPos,
                 bool caseSensitive, bool wholeWord);
Pos CountMatches(const std::string& s, const std::string& sub, Pos startPos, bool caseSensitive,
                 bool wholeWord);
Pos FindMatch(const std::string& s, const std::string& sub, Pos startPos, bool caseSensitive,
              bool wholeWord);
Pos FindCharOf(const CharSet& chars, const std::string& s, Pos startPos);
Pos CountCharsOf(const CharSet& chars, const std::string& s, Pos startPos);

// ---- strings ----
std::string RepeatChar(char ch, Pos count);
std::string FitToWidth(const std::string& s, Pos width, char padChar);
std::string IntToStrPad(std::int64_t n, Pos width, char padChar);
std::string OrdinalSuffix(std::int64_t n, bool withNumber);
std::string CenterTrimmed(const std::string& s);
Pos CountWords(const std::string& s);
std::string ToggleCaseStr(std::string s);
// The same case maps in place on a run of bytes, and as 256-entry tables.
void AnsiUpperBytes(char* p, std::size_t n);
void AnsiLowerBytes(char* p, std::size_t n);
void ToggleCaseBytes(char* p, std::size_t n);
const unsigned char* AnsiUpperTable();
const unsigned char* AnsiLowerTable();
const unsigned char* ToggleCaseTable();
std::string TitleCaseStr(std::string s);
std::string CharsToLineBreaks(std::string s, const std::string& chars);
Pos FirstDifference(const std::string& a, const std::string& b);
std::string AddQuotes(const std::string& s);
// Every CR LF, lone CR and lone LF becomes lineBreak, in one pass.
std::string NormalizeLineBreaks(const std::string& text, const std::string& lineBreak = "\r\n");
double MSecsToDays(std::int64_t milliseconds);

// ---- numbers in other bases ----
std::string IntToBin(std::int64_t value, int digits);
std::int64_t BinToInt(const std::string& s);
std::string IntToOct(std::int64_t value);
std::int64_t OctToInt(const std::string& s);                     // throws ConvertError
std::string HexToDecStr(const std::string& hex, int minDigits);  // throws ConvertError

// ---- colors ----
std::string SwapHexRGB(const std::string& s);
bool ColorToHexParts(Color color, std::string& r, std::string& g, std::string& b);
bool ParseRGBTriplet(const std::string& s, std::string& r, std::string& g, std::string& b);
// "RRGGBB" (HTML order, '#' allowed in front) as 0x00BBGGRR; from
// minDigits to six hex digits, fewer digits filling from the right.
std::optional<Color> ParseHexRGB(const std::string& text, std::size_t minDigits);
Color InvertColor(Color color);
Color BlendColors(Color c1, Color c2, std::uint16_t amount);
Color GrayColor(Color color);

// ---- files and paths (POSIX: '/' separates, a colon is an ordinary character) ----
// Attribute bits as the rest of the program knows them.
enum FileAttr : std::uint32_t {
  faReadOnly = 1, faHidden = 2, faSysFile = 4, faDirectory = 16, faArchive = 32, faAnyFile = 63
};

bool IsExistingFile(const std::string& path);
bool IsExistingDir(const std::string& path);
bool IsReadOnlyFile(const std::string& path);
std::int64_t FileSizeOf(const std::string& path);
std::string FileNameNoExt(const std::string& path);
std::string ExtractFileName(const std::string& path);  // text after the last '/'
std::string ExtractFileDir(const std::string& path);   // through the last '/', without it
std::string SetTrailingBackslash(const std::string& path, bool include);  // '/' here
std::string LongFileName(const std::string& path);
bool CreateEmptyFile(const std::string& path, bool overwrite);
std::string LoadTextFile(const std::string& path);
std::string ListFiles(const std::string& directory, const std::string& mask, int attrFilter);

struct TFileInfo {
  std::string TypeName;
  std::int32_t Created = -1;
  std::int32_t Modified = -1;
  std::int32_t Accessed = -1;
  std::uint32_t Attributes = 0;
  std::int64_t Size = 0;
};
bool GetFileDetails(const std::string& path, TFileInfo& details);

// Block access with 1-byte records; the caller closes the file with CloseBinaryFile.
struct BinaryFile {
  std::FILE* handle = nullptr;
};
bool OpenBinaryFile(const std::string& path, BinaryFile& f, int openMode);  // 0 read, 1 write
void CloseBinaryFile(BinaryFile& f);
std::string ReadBlockStr(BinaryFile& f, std::int64_t offset, std::int64_t count);
std::int64_t WriteBlockStr(BinaryFile& f, std::int64_t offset, const std::string& s);
std::int64_t ReadBlockInt(BinaryFile& f, std::int64_t offset, int size);
std::int64_t WriteBlockInt(BinaryFile& f, std::int64_t offset, int size, std::int64_t value);

}  // namespace ql
