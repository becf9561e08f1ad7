#include "app/WindowLogic.h"

#include "common/FuncLib.h"

namespace ql {

const char* const kUntitled = "Untitled";
const char* const kVersionStatus = "Quillora v1.81";
const char* const kFirstRunCaption = "Quillora Info";

const char* const kOpenFilter =
    "All files (*.*)|*.*|Plain text (*.txt;*.bat;*.html;*.htm;*.nfo;*.log;*.1st;*.diz;*.faq;*.me;"
    "*.now;*.ini;*.inf;*.tmp)|*.txt;*.bat;*.html;*.htm;*.nfo;*.log;*.1st;*.diz;*.faq;*.me;*.now;"
    "*.ini;*.inf;*.tmp|Text (*.txt)|*.txt|MS-DOS Batch (*.bat)|*.bat|Hyper Text Markup Language "
    "(*.html;*.htm)|*.html;*.htm|NFO (*.nfo)|*.nfo|LOG (*.log)|*.log|1st (*.1st)|*.1st|List "
    "(*.lst)|*.lst|File_id description (*.diz)|*.diz|Frequently Asked Questions (*.faq)|*.faq|"
    "Read.me (*.me)|*.me|Readme.now (*.now)|*.now|Configuration Settings (*.ini)|*.ini|Setup "
    "Information (*.inf)|*.inf|Temporary (*.tmp)|*.tmp|";
const char* const kSaveFilter =
    "All files (*.*)|*.*|Text (*.txt)|*.txt|MS-DOS Batch (*.bat)|*.bat|Hyper Text Markup Lanuage "
    "(*.html)|*.html|Hyper Text Markup Lanuage 8.3 (*.htm)|*.htm|NFO (*.nfo)|*.nfo|LOG "
    "(*.log)|*.log|1st (*.1st)|*.1st|List (*.lst)|*.lst|File_id description (*.diz)|*.diz|"
    "Frequently Asked Questions (*.faq)|*.faq|Read.me (*.me)|*.me|Readme.now (*.now)|*.now|"
    "Configuration Settings (*.ini)|*.ini|Setup Information (*.inf)|*.inf|Temporary (*.tmp)|*.tmp|";

std::vector<std::string> DialogFilters(const std::string& filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t bar; (bar = filter.find('|', start)) != std::string::npos; start = bar + 1)
    parts.push_back(filter.substr(start, bar - start));
  if (start < filter.size()) parts.push_back(filter.substr(start));
  std::vector<std::string> out;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string description = parts[i];
    const std::size_t paren = description.rfind(" (");
    if (paren != std::string::npos && description.back() == ')') description.resize(paren);
    std::string patterns;
    std::size_t from = 0;
    const std::string& list = parts[i + 1];
    while (from <= list.size()) {
      std::size_t semi = list.find(';', from);
      if (semi == std::string::npos) semi = list.size();
      std::string p = list.substr(from, semi - from);
      if (p == "*.*") p = "*";
      if (!p.empty()) patterns += (patterns.empty() ? "" : " ") + p;
      from = semi + 1;
    }
    out.push_back(description + " (" + patterns + ")");
  }
  return out;
}

bool DocumentHasFile(const std::string& docFileName) {
  return docFileName != kUntitled && IsExistingFile(docFileName);
}

std::string WithoutTimeZone(const std::string& format) {
  std::string out;
  bool quoted = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c == '\'') {
      quoted = !quoted;
      out += c;
      continue;
    }
    if (quoted || c != 't') {
      out += c;
      continue;
    }
    while (i + 1 < format.size() && format[i + 1] == 't') ++i;
    // "(t)": the brackets go too.
    if (!out.empty() && out.back() == '(' && i + 1 < format.size() && format[i + 1] == ')') {
      out.pop_back();
      ++i;
    }
    // The blank that joined the zone to the time goes with it.
    if (!out.empty() && out.back() == ' ')
      out.pop_back();
    else if (i + 1 < format.size() && format[i + 1] == ' ')
      ++i;
  }
  const std::size_t first = out.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

std::size_t BaseNameLength(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name.size() : dot;
}

std::string MakeCaption(const std::string& docFileName, bool fullPath, bool modified) {
  const std::string name = fullPath ? docFileName : ExtractFileName(docFileName);
  std::string caption = "Quillora  <" + name + ">";
  if (modified) caption += " *";
  return caption;
}

std::string ApplicationTitle(const std::string& caption) { return "Norvane " + caption; }

std::array<int, 5> StatusPanelWidths(int w) {
  return {w * 55 / 100, w * 11 / 100, w * 11 / 100, w * 11 / 100, w * 12 / 100};
}

CommandLineAction ClassifyCommandLine(const std::vector<std::string>& args) {
  CommandLineAction a;
  if (args.empty()) return a;
  if (args[0] == "/FirstRun") {
    a.kind = CommandLineAction::FirstRun;
  } else if (args[0] == "/?") {
    a.kind = CommandLineAction::Help;
  } else {
    a.kind = CommandLineAction::OpenFiles;
    a.first = args[0];
    a.others.assign(args.begin() + 1, args.end());
  }
  return a;
}

std::string FirstRunText() {
  return "You have just installed \"Quillora v1.81\"\n"
         "\n"
         "To make files open with Quillora just by\n"
         "double-clicking them, you must register them under\n"
         "the association options.\n"
         "Check out the \"Help\" menu, to get more help.";
}

std::string CommandLineHelpText() {
  return "Quillora doesn't support other\ncommand line parameters than filenames.";
}

std::int64_t HandleInstanceCommand(int command, InstanceTarget& t) {
  switch (command) {
    case 1:
      t.SaveSettingsCommand();
      return 1;
    case 2:
      if (t.DocumentFileExists()) t.QueueExecFileDef();
      return 1;
    case 3:
      if (t.Modified()) t.QueueSaveFile();
      return 1;
    case 10:
      return t.TextLength();
    case 11:
      return t.LineCount() - 1;
    case 12:
      return t.WordCount();
    default:
      return 0;
  }
}

std::string SaveQuestionText(const std::string& docFileName) {
  return "Do you want to save the file:\n\"" + docFileName +
         "\"\nPress cancel to keep working with the file.";
}

bool AskSaveChanges(const std::string& caption, bool modified, const std::string& docFileName,
                    const SavePrompt& prompt) {
  if (!modified) return true;
  switch (prompt.ask(SaveQuestionText(docFileName), caption, 35)) {
    case 6:
      // Going on after a save that did not happen would lose the text.
      return prompt.save();
    case 7:
      return true;
    default:
      return false;
  }
}

}  // namespace ql
