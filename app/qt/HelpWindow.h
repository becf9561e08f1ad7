// The help window: topics of the help file by context number, shown in a
// text browser, with links between them.
#pragma once

#include <QDialog>
#include <map>
#include <string>

#include "app/HelpFile.h"

class QTextBrowser;

namespace ql {

class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);
  // Reads the help file again and shows the topic (the contents when the
  // file has no such topic). Returns false when the file cannot be read.
  bool ShowTopic(int context);
  int CurrentTopic() const { return current_; }
  QString CurrentHtml() const;

  // The one help window of the program, made on first use.
  static HelpWindow* Instance(QWidget* parent);

 private:
  QTextBrowser* browser_;
  std::map<int, HelpTopic> topics_;
  int current_ = 0;
};

// The shortcut list of the help, made from the command table.
std::string ShortcutsHtml();

}  // namespace ql
