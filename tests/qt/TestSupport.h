// Pieces the window tests share: scripted answers for message boxes and
// writing a file in one line.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>
#include <vector>

#include "platform/qt/MessageBox.h"

namespace ql {

struct Box {
  std::string text, caption;
  unsigned flags = 0;
};

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

}  // namespace ql
