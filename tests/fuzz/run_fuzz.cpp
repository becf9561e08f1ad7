// libFuzzer target for the run dialog's rules. The input is the parameters,
// a zero byte, the folder, a zero byte and the document's file name.
// Splitting agrees with QProcess::splitCommand on UTF-8 text; arguments
// quoted and joined split back to themselves; placeholders are filled in
// one scan that never reads what it put in; the save-first check knows
// every run that names the file; the history keeps its rules.
#include <QProcess>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialogs/Run.h"

namespace {

bool ValidUtf8(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())).toUtf8() ==
         QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

std::vector<std::string> QtSplit(const std::string& s) {
  std::vector<std::string> out;
  for (const QString& a : QProcess::splitCommand(QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()))))
    out.push_back(a.toStdString());
  return out;
}

// Each argument in double quotes, a double quote inside written three times.
std::string QuoteJoin(const std::vector<std::string>& args) {
  std::string out;
  for (const std::string& a : args) {
    if (!out.empty()) out += ' ';
    out += '"';
    for (char c : a) out += c == '"' ? std::string("\"\"\"") : std::string(1, c);
    out += '"';
  }
  return out;
}

// %F%, %D% and %% in any letter case, one scan from the left.
std::string SlowExpand(const std::string& t, const std::string& doc, bool* usesFile) {
  std::string out;
  for (std::size_t i = 0; i < t.size();) {
    if (t.compare(i, 2, "%%") == 0) {
      out += '%';
      i += 2;
    } else if (t[i] == '%' && i + 2 < t.size() && t[i + 2] == '%' && (t[i + 1] == 'F' || t[i + 1] == 'f')) {
      out += doc;
      if (usesFile) *usesFile = true;
      i += 3;
    } else if (t[i] == '%' && i + 2 < t.size() && t[i + 2] == '%' && (t[i + 1] == 'D' || t[i + 1] == 'd')) {
      out += ql::DocumentFolder(doc);
      i += 3;
    } else {
      out += t[i++];
    }
  }
  return out;
}

std::string Part(const std::string& s, std::size_t& at) {
  const std::size_t zero = s.find('\0', at);
  const std::string part = s.substr(at, zero == std::string::npos ? std::string::npos : zero - at);
  at = zero == std::string::npos ? s.size() : zero + 1;
  return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t at = 0;
  const std::string params = Part(input, at);
  const std::string folder = Part(input, at);
  const std::string doc = Part(input, at);

  // Splitting.
  const std::vector<std::string> args = ql::SplitArguments(params);
  for (const std::string& a : args)
    if (a.empty()) std::abort();
  if (ValidUtf8(params) && args != QtSplit(params)) std::abort();
  if (ql::SplitArguments(QuoteJoin(args)) != args) std::abort();
  if (ql::BlankText(params) && !args.empty()) std::abort();
  if (ValidUtf8(params) &&
      ql::BlankText(params) != QString::fromUtf8(params.data(), static_cast<qsizetype>(params.size())).trimmed().isEmpty())
    std::abort();

  // Placeholders.
  for (const std::string* t : {&params, &folder}) {
    bool uses = false;
    if (ql::ExpandPlaceholders(*t, doc) != SlowExpand(*t, doc, &uses)) std::abort();
    if (ql::UsesFileName(*t) != uses) std::abort();
  }
  const std::string docFolder = ql::DocumentFolder(doc);
  if (doc == "Untitled" ? !docFolder.empty()
                        : docFolder != doc.substr(0, doc.rfind('/') == std::string::npos ? 0 : doc.rfind('/') + 1))
    std::abort();

  // What is started: the file as typed, each argument filled in on its own.
  const ql::RunFields typed{doc, params, folder};
  const ql::RunCommand command = ql::PlanRun(typed, doc);
  if (command.file != doc || command.folder != ql::ExpandPlaceholders(folder, doc)) std::abort();
  if (command.args.size() != args.size()) std::abort();
  for (std::size_t i = 0; i < args.size(); ++i)
    if (command.args[i] != ql::ExpandPlaceholders(args[i], doc)) std::abort();
  // An Untitled document is saved first whenever the run would name it.
  const std::string marker = "\x01\x02\x03";
  if (params.find('\x01') == std::string::npos && folder.find('\x01') == std::string::npos) {
    const ql::RunCommand named = ql::PlanRun(typed, marker);
    bool names = named.folder.find(marker) != std::string::npos;
    for (const std::string& a : named.args) names = names || a.find(marker) != std::string::npos;
    if (names != ql::RunUsesFileName(typed)) std::abort();
  }

  // The history.
  const bool plain = std::none_of(input.begin(), input.end(), [](char c) { return c == ql::kRunSeparator; });
  const std::string entry = ql::RunEntry(typed);
  if (plain && ql::RunEntryFields(entry) != std::vector<std::string>{doc, params, folder}) std::abort();
  std::vector<std::string> list;
  for (std::size_t i = 0; i < input.size() % 20; ++i) list.push_back(i % 3 ? doc : entry);
  ql::AddRunHistory(list, input);
  if (list.empty() || list.size() > ql::kRunHistoryMax) std::abort();
  if (list[0].find("\r\n") != std::string::npos) std::abort();
  if (std::count(list.begin(), list.end(), list[0]) != 1) std::abort();
  const std::vector<std::string> items = ql::RunComboItems(list);
  if (items.size() != list.size()) std::abort();
  for (std::size_t i = 0; i < list.size(); ++i) {
    const auto fields = ql::RunEntryFields(list[i]);
    if (fields.size() > 3 || items[i] != (fields.empty() ? std::string() : fields[0])) std::abort();
    if (list[i].compare(0, items[i].size(), items[i]) != 0) std::abort();
  }
  return 0;
}
