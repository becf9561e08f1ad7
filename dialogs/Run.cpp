#include "dialogs/Run.h"

#include <algorithm>

namespace ql {

const char* const kRunDefaultParams = "\"%F%\"";
const char* const kRunDefaultFolder = "%D%";
const char* const kRunErrorCaption = "An Error Occured!";

namespace {

// Length of the white space character starting at i (UTF-8), 0 if none:
// the characters QChar::isSpace accepts.
std::size_t SpaceAt(const std::string& s, std::size_t i) {
  const auto byte = [&](std::size_t k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u; };
  const unsigned c = byte(i);
  if (c == ' ' || (c >= 9 && c <= 13)) return 1;
  if (c == 0xC2 && (byte(i + 1) == 0x85 || byte(i + 1) == 0xA0)) return 2;
  if (c == 0xE1 && byte(i + 1) == 0x9A && byte(i + 2) == 0x80) return 3;  // U+1680
  if (c == 0xE2 && byte(i + 1) == 0x80) {
    const unsigned t = byte(i + 2);
    if ((t >= 0x80 && t <= 0x8A) || t == 0xA8 || t == 0xA9 || t == 0xAF) return 3;  // U+2000..200A, 2028, 2029, 202F
  }
  if (c == 0xE2 && byte(i + 1) == 0x81 && byte(i + 2) == 0x9F) return 3;  // U+205F
  if (c == 0xE3 && byte(i + 1) == 0x80 && byte(i + 2) == 0x80) return 3;  // U+3000
  return 0;
}

// The placeholder at text[i] ('%'): 'F', 'D', '%', or 0 for a lone '%'.
char PlaceholderAt(const std::string& text, std::size_t i) {
  if (i + 1 < text.size() && text[i + 1] == '%') return '%';
  if (i + 2 < text.size() && text[i + 2] == '%') {
    const char c = text[i + 1];
    if (c == 'F' || c == 'f') return 'F';
    if (c == 'D' || c == 'd') return 'D';
  }
  return 0;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

std::vector<std::string> SplitArguments(const std::string& text) {
  std::vector<std::string> args;
  std::string current;
  int quotes = 0;
  bool inQuote = false;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '"') {
      // Three in a row stand for the character itself.
      if (++quotes == 3) {
        quotes = 0;
        current += '"';
      }
      ++i;
      continue;
    }
    if (quotes) {
      if (quotes == 1) inQuote = !inQuote;
      quotes = 0;
    }
    const std::size_t space = inQuote ? 0 : SpaceAt(text, i);
    if (space) {
      if (!current.empty()) args.push_back(std::move(current));
      current.clear();
      i += space;
    } else {
      current += text[i++];
    }
  }
  if (!current.empty()) args.push_back(std::move(current));
  return args;
}

std::string DocumentFolder(const std::string& docFileName) {
  const std::size_t slash = docFileName.rfind('/');
  if (docFileName == "Untitled" || slash == std::string::npos) return "";
  return docFileName.substr(0, slash + 1);
}

std::string ExpandPlaceholders(const std::string& text, const std::string& docFileName) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '%') {
      out += text[i++];
      continue;
    }
    switch (PlaceholderAt(text, i)) {
      case '%':
        out += '%';
        i += 2;
        break;
      case 'F':
        out += docFileName;
        i += 3;
        break;
      case 'D':
        out += DocumentFolder(docFileName);
        i += 3;
        break;
      default:
        out += '%';
        ++i;
    }
  }
  return out;
}

bool UsesFileName(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    const char p = PlaceholderAt(text, i);
    if (p == 'F') return true;
    if (p) i += p == '%' ? 1 : 2;
  }
  return false;
}

std::string RunEntry(const RunFields& f) {
  return f.file + kRunSeparator + f.params + kRunSeparator + f.folder + kRunSeparator;
}

std::vector<std::string> RunEntryFields(const std::string& entry) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (fields.size() < 3 && start < entry.size()) {
    const std::size_t end = entry.find(kRunSeparator, start);
    if (end == std::string::npos) {
      fields.push_back(entry.substr(start));
      break;
    }
    fields.push_back(entry.substr(start, end - start));
    start = end + 1;
  }
  return fields;
}

void AddRunHistory(std::vector<std::string>& list, const std::string& entry) {
  std::string flat;
  flat.reserve(entry.size());
  for (char c : entry) {
    // A LF after a CR is dropped, also where dropping one made a new pair.
    if (c == '\n' && !flat.empty() && flat.back() == '\r') continue;
    flat += c;
  }
  list.erase(std::remove(list.begin(), list.end(), flat), list.end());
  list.insert(list.begin(), flat);
  if (list.size() > kRunHistoryMax) list.resize(kRunHistoryMax);
}

std::vector<std::string> RunComboItems(const std::vector<std::string>& list) {
  std::vector<std::string> items;
  items.reserve(list.size());
  for (const std::string& entry : list) {
    const std::vector<std::string> fields = RunEntryFields(entry);
    items.push_back(fields.empty() ? std::string() : fields.front());
  }
  return items;
}

bool BlankText(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t space = SpaceAt(text, i);
    if (!space) return false;
    i += space;
  }
  return true;
}

RunCommand PlanRun(const RunFields& typed, const std::string& docFileName) {
  RunCommand c;
  c.file = typed.file;
  // Split first: a file name with blanks or quotes stays one argument.
  for (const std::string& arg : SplitArguments(typed.params))
    c.args.push_back(ExpandPlaceholders(arg, docFileName));
  c.folder = ExpandPlaceholders(typed.folder, docFileName);
  return c;
}

bool RunUsesFileName(const RunFields& typed) {
  // Quotes are gone once split, so `%"F"%` names the file and `"%"%F%` does not.
  if (UsesFileName(typed.folder)) return true;
  for (const std::string& arg : SplitArguments(typed.params))
    if (UsesFileName(arg)) return true;
  return false;
}

RunMessage RunResultMessage(int result, const RunCommand& command) {
  RunMessage m{kRunErrorCaption, "", 16};
  switch (result) {
    case 0: m.text = "Out of memory or resources!"; break;
    case 2: m.text = "The file was not found!"; break;
    case 3: m.text = "The initial folder was not found!\n" + Quoted(command.folder); break;
    case 5: m.text = "File access denied!"; break;
    case 8: m.text = "Not enough memory!"; break;
    case 11: m.text = "Invalid file!"; break;
    case 26: m.text = "A sharing violation occurred!"; break;
    case 27: m.text = "File association incomplete!"; break;
    case 31: m.text = "File is not associated!"; break;
    default:
      if (result <= 32) m.text = "The file could not be run!";
  }
  return m;
}

RunMessage EmptyNameMessage() {
  return {kRunErrorCaption, "There is no program or file to run!\nType its name or choose it with Browse.", 16};
}

RunMessage ParamsRefusedMessage(const std::string& file) {
  return {kRunErrorCaption,
          Quoted(file) +
              "\nis not a program: it opens with its default program, which takes no parameters.\n"
              "Empty the parameters to open it.",
          16};
}

RunMessage SaveFirstMessage() {
  return {"Run!",
          "The document has never been saved, so %F% has no file to name.\n\nDo you want to save it first?",
          36};
}

RunMessage ClearListMessage() {
  return {"Clear RunList", "Are you sure you want to clear the entire run list?", 36};
}

}  // namespace ql
