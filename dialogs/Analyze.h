// The page analyzer's findings: general figures of the document and, for
// HTML documents, every anchor with its target. Pure: the window lists
// what AnalyzePage returns and selects an anchor's source by its offsets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ql {

enum class PageKind { Other, Text, Html };
// Decided by the file name's extension alone: .TXT; .HTM or .HTML; else Other.
PageKind PageKindOf(const std::string& docFileName);

// One anchor as it stands in the text. Offsets are 0-based into the text
// (a line break counts two, as in the editor): start at its "<A", end just
// behind the ">" of its "</A>" (behind its own tag when that is missing).
struct PageAnchor {
  std::int64_t start = 0, end = 0;
  std::string name;      // between the opening tag and "</A>", tags and all
  std::string location;  // the HREF value, "" when the tag has none
};
// Anchors open with "<A" and white space (not <ABBR>, <AREA>), in any case.
// HREF= counts only inside the opening tag; a quoted value ends at its
// matching quote, a bare one at a blank or ">". Linear in the text.
std::vector<PageAnchor> FindAnchors(const std::string& text);

// The text behind the first "<TITLE>" up to the next "<"; nothing when there
// is no title tag.
std::optional<std::string> FindTitle(const std::string& text);

enum class LinkKind { Web, Mail, MissingFile, LocalFile, Anchor };
// mailto: is mail; "#..." or none (a named anchor) a place in this page; www. or any scheme
// (http:, https:, ftp: ...) the web; everything else a local path.
LinkKind LinkKindOf(const std::string& location);
// The local file a link names: the document's folder, then the location
// with its #fragment or ?query cut and %XX escapes decoded, as a file
// system path (UTF-8).
std::string LocalLinkPath(const std::string& docFileName, const std::string& location);
// Bytes as kilobytes with thousands separators and two decimals: "1,234.57 kb".
std::string KbText(std::int64_t bytes);

// Icons of the general rows, as the main window's image list numbers them.
enum GeneralIcon { kIconText = 8, kIconHtml = 34, kIconCount = 37, kIconTitle = 39, kIconType = 45 };
struct GeneralRow {
  std::string name, value;  // value: Windows-1252 for the title, else UTF-8
  int icon = 0;
};
struct LinkRow {
  PageAnchor anchor;
  LinkKind kind = LinkKind::MissingFile;
  std::string path;  // LocalFile: the file, for its icon
  std::string size;  // LocalFile: KbText of its size
};
struct PageAnalysis {
  std::vector<GeneralRow> general;
  std::vector<LinkRow> links;
};
// typeName: the file manager's name for the document's type, "" when the
// file is not on disk; lineCount as the editor counts lines.
PageAnalysis AnalyzePage(const std::string& docFileName, const std::string& typeName,
                         const std::string& text, std::int64_t lineCount);

}  // namespace ql
