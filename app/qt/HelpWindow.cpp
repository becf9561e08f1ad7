#include "app/qt/HelpWindow.h"

#include <QKeySequence>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <fstream>
#include <sstream>

#include "app/qt/CommandTable.h"
#include "platform/qt/Help.h"

namespace ql {

namespace {

std::string PlainCaption(std::string caption) {
  const std::size_t tab = caption.find('\t');
  if (tab != std::string::npos) caption.resize(tab);
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size() && caption[i + 1] != '&') continue;
    out += caption[i];
  }
  return out;
}

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) out += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : std::string(1, c);
  return out;
}

}  // namespace

std::string ShortcutsHtml() {
  std::string html = "<table cellspacing=\"0\" cellpadding=\"2\">";
  for (const CommandDef& c : Commands()) {
    if (c.shortcut.empty() || c.twin || c.kind == CommandDef::Separator) continue;
    const std::string keys =
        QKeySequence(QString::fromStdString(c.shortcut)).toString(QKeySequence::NativeText).toStdString();
    std::string where = c.menu.rfind("NonVisable/", 0) == 0 ? "" : " (" + c.menu + ")";
    html += "<tr><td><b>" + Escape(keys) + "</b></td><td>" + Escape(PlainCaption(c.caption)) +
            Escape(where) + (c.Built() ? "" : " &mdash; not in this version") + "</td></tr>";
  }
  return html + "</table>";
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
  setObjectName("HelpWindow");
  setWindowTitle("Quillora help");
  resize(640, 520);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  browser_->setOpenLinks(false);
  connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
    if (url.scheme() == "help") ShowTopic(url.path().toInt());
  });
}

bool HelpWindow::ShowTopic(int context) {
  std::ifstream in(HelpFileName(), std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  topics_ = ParseHelpFile(text.str());
  auto topic = topics_.find(context);
  if (topic == topics_.end()) topic = topics_.find(1);
  if (topic == topics_.end()) return false;
  current_ = topic->first;
  browser_->setHtml(QString::fromUtf8(HelpTopicHtml(topic->second, topics_, ShortcutsHtml()).c_str()));
  return true;
}

QString HelpWindow::CurrentHtml() const { return browser_->toPlainText(); }

HelpWindow* HelpWindow::Instance(QWidget* parent) {
  static QPointer<HelpWindow> window;
  if (!window) window = new HelpWindow(parent);
  return window;
}

}  // namespace ql
