#include "platform/qt/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/qt/QtText.h"

namespace ql {

namespace {

const std::string kNoText(1, '\0');

std::string UpToNul(const std::string& s) { return s.substr(0, s.find('\0')); }

// What the desktop hands over with LF breaks comes back with CR LF; a lone
// CR is the clipboard's own business and stays.
std::string LfToCrLf(const std::string& s) {
  std::string out;
  out.reserve(s.size() + s.size() / 16);
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) out += '\r';
    out += s[i];
  }
  return out;
}

std::string CrLfToLf(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i)
    if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out += s[i];
  return out;
}

}  // namespace

std::string ClipboardText(int mode, const std::string& text) {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return kNoText;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return kNoText;
  switch (mode) {
    case 0: {
      const QMimeData* data = clipboard->mimeData();
      if (!data || !data->hasText()) return kNoText;
      return LfToCrLf(UpToNul(FromQString(data->text())));
    }
    case 1:
      clipboard->setText(ToQString(CrLfToLf(UpToNul(text))));
      return std::string();
    default:
      return kNoText;
  }
}

}  // namespace ql
