// Pieces the window tests share: scripted answers for message boxes,
// writing and reading a file in one line, and a stand-in xdg-open.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "platform/qt/MessageBox.h"

namespace ql {

struct Box {
  std::string text, caption;
  unsigned flags = 0;
};

inline bool operator==(const Box& a, const Box& b) {
  return a.text == b.text && a.caption == b.caption && a.flags == b.flags;
}

// What QCOMPARE prints when the boxes seen are not the ones expected.
inline QByteArray BoxLine(const Box& b) {
  return "[" + QByteArray::fromStdString(b.caption) + " | " + QByteArray::number(b.flags) + " | " +
         QByteArray::fromStdString(b.text) + "]";
}
inline char* toString(const Box& box) { return qstrdup(BoxLine(box).constData()); }
inline char* toString(const std::vector<Box>& boxes) {
  QByteArray out;
  for (const Box& b : boxes) out += BoxLine(b) + " ";
  return qstrdup(out.constData());
}

// While alive, answers every message box from `answers` in turn, then with
// `otherwise`, and records what was asked.
class ScriptedBoxes {
 public:
  explicit ScriptedBoxes(std::vector<int> answers = {}, int otherwise = 1)
      : answers_(std::move(answers)), otherwise_(otherwise) {
    SetMsgBoxHook([this](const std::string& t, const std::string& c, unsigned f) {
      seen.push_back({t, c, f});
      if (next_ < answers_.size()) return answers_[next_++];
      return otherwise_;
    });
  }
  ~ScriptedBoxes() { SetMsgBoxHook(nullptr); }
  ScriptedBoxes(const ScriptedBoxes&) = delete;
  ScriptedBoxes& operator=(const ScriptedBoxes&) = delete;

  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (const Box& b : seen) out.push_back(b.caption);
    return out;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const Box& b : seen) out.push_back(b.text);
    return out;
  }

  std::vector<Box> seen;

 private:
  std::vector<int> answers_;
  std::size_t next_ = 0;
  int otherwise_;
};

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// 200000 lines, about 4.6 MB: enough that a file of it loads in the background.
inline QByteArray BigText() {
  QByteArray big;
  for (int i = 0; i < 200000; ++i) big += "line of some text here\n";
  return big;
}

inline QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// A stand-in xdg-open in `bin`: argv_dump records its arguments in $QL_OUT,
// then it ends with $QL_EXIT.
inline bool InstallOpener(const QString& bin) {
  const QString opener = bin + "/xdg-open";
  const QByteArray script = "#!/bin/sh\n\"" QL_TEST_HELPER_DIR "/argv_dump\" \"$QL_OUT\" \"$@\"\nexit $QL_EXIT\n";
  return QDir().mkpath(bin) && WriteFile(opener, script) &&
         QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The stand-in opener alone on PATH, recording into a fresh `dump`.
inline void UseOpener(const QString& bin, const QString& dump, int code) {
  QFile::remove(dump);
  qputenv("QL_OUT", QFile::encodeName(dump));
  qputenv("QL_EXIT", QByteArray::number(code));
  qputenv("PATH", QFile::encodeName(bin));
}

// What argv_dump wrote: the working folder, then the arguments.
inline QStringList Dumped(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  QStringList parts;
  for (const QByteArray& p : f.readAll().split('\0')) parts << QString::fromUtf8(p);
  parts.removeLast();
  return parts;
}

}  // namespace ql
