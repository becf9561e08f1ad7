// The HTML wizard's page skeleton: the META table, the hints and the text
// the wizard writes. Pure; the dialog in qt/ fills a WizardPage.
#pragma once

#include <array>
#include <string>

#include "common/FuncLib.h"

namespace ql {

constexpr int kMetaCount = 17;
constexpr std::size_t kMetaMax = 255;  // characters kept of a META value
extern const std::array<const char*, kMetaCount> kMetaNames;
enum MetaIndex { kMetaAuthor = 0, kMetaDate = 2, kMetaGenerator = 7 };

// The META values typed in the wizard, kept for the whole run of the program.
std::array<std::string, kMetaCount>& MetaValues();
void SetMetaValue(int index, const std::string& value);  // cut to kMetaMax

// The hint of a control by its help number ("" for numbers without one).
std::string WizardHint(int helpNumber);

struct WizardPage {
  std::string title, background;  // Windows-1252, as typed
  bool fixedBackground = false;
  bool meta = true, colors = true, margins = true;
  std::array<std::string, kMetaCount> metaValues;
  Color back = 0x000000, text = 0xFFFFFF, link = 0xFF0000, alink = 0x0000FF, vlink = 0x800080;
  std::string topMargin = "15", leftMargin = "10", rightMargin = "10";
};
// The page with CR LF line ends. Attribute values (META values, the
// background) have '"' written as &quot;; blanks in the background as %20.
std::string GenerateHtmlPage(const WizardPage& page);

// A picture's path as the page refers to it: relative to the document's
// folder with '/' (the full path when the document has none), '%' and
// blanks percent-encoded. Paths are the file system's bytes (UTF-8); the
// result is Windows-1252.
std::string PicturePath(const std::string& docFileName, const std::string& picture);

}  // namespace ql
