#include "dialogs/HtmlWiz.h"

#include "common/Codepage.h"
#include "tools/Insertions.h"

namespace ql {

const std::array<const char*, kMetaCount> kMetaNames = {
    "Author",  "Copyright", "Date",  "Description", "Destgroup",  "Expires",
    "Formatter", "Generator", "Group", "KeyWords",    "ProgId",     "Originator",
    "Owner",   "Rating",    "Robots", "Template",   "Version"};

std::array<std::string, kMetaCount>& MetaValues() {
  static std::array<std::string, kMetaCount> values;
  return values;
}

void SetMetaValue(int index, const std::string& value) {
  if (index < 0 || index >= kMetaCount) return;
  MetaValues()[static_cast<std::size_t>(index)] = value.substr(0, kMetaMax);
}

std::string WizardHint(int helpNumber) {
  switch (helpNumber) {
    case 0: return "No help for this object!";
    case 1: return "Enter the title of the page here.";
    case 2:
      return "Enter the path to the background image.\nIf you don't wish to include an image, clear the edit.";
    case 3: return "Click to browse the background image.";
    case 4: return "Check to make the background image fixed.";
    case 10: return "Choose wheter the meta information should be included.";
    case 20: return "Choose wheter the body color information should be included.";
    case 30: return "Choose wheter the margin information should be included.";
    default: break;
  }
  if (helpNumber >= 21 && helpNumber <= 25) return "Select a color to the each property.";
  if (helpNumber >= 31 && helpNumber <= 34) return "Select a margin size for each property.";
  return "";
}

namespace {

// An attribute value between double quotes.
std::string Quoted(const std::string& value) {
  std::string out = "\"";
  for (char c : value) {
    if (c == '"') out += "&quot;";
    else out += c;
  }
  return out + "\"";
}

std::string BlanksEncoded(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == ' ') out += "%20";
    else out += c;
  }
  return out;
}

// The color in HTML order, RRGGBB; a system color (no RGB of its own) as black.
std::string HtmlColor(Color color) {
  return "#" + HexColorCode(color & 0x80000000u ? 0 : color);
}

}  // namespace

std::string GenerateHtmlPage(const WizardPage& page) {
  std::string out = "<HTML>\r\n<HEAD>\r\n  <TITLE>" + page.title + "</TITLE>\r\n";
  if (page.meta) {
    for (int i = 0; i < kMetaCount; ++i) {
      const std::string& value = page.metaValues[static_cast<std::size_t>(i)];
      if (value.empty()) continue;
      out += std::string("  <META NAME=\"") + kMetaNames[static_cast<std::size_t>(i)] + "\" CONTENT=" +
             Quoted(value) + ">\r\n";
    }
  }
  out += "</HEAD>\r\n<BODY";
  if (!page.background.empty()) {
    out += " BACKGROUND=" + Quoted(BlanksEncoded(page.background));
    if (page.fixedBackground) out += " BGPROPERTIES=fixed";
  }
  if (page.colors) {
    out += " BGCOLOR=" + HtmlColor(page.back) + " TEXT=" + HtmlColor(page.text) +
           " LINK=" + HtmlColor(page.link) + " ALINK=" + HtmlColor(page.alink) +
           " VLINK=" + HtmlColor(page.vlink);
  }
  if (page.margins) {
    out += " TOPMARGIN=" + page.topMargin + " LEFTMARGIN=" + page.leftMargin +
           " RIGHTMARGIN=" + page.rightMargin;
  }
  out += ">\r\n\r\n</BODY>\r\n</HTML>";
  return out;
}

std::string PicturePath(const std::string& docFileName, const std::string& picture) {
  const std::string relative = EncodeFromUtf8(Codepage::Cp1252, RelativeFileName(docFileName, picture));
  std::string out;
  for (char c : relative) {
    if (c == '%') out += "%25";
    else if (c == ' ') out += "%20";
    else out += c;
  }
  return out;
}

}  // namespace ql
