// "Text Analyzer": words, characters and lines of the document and of its
// selection, character classes and the frequency of every byte value. The
// figures come in ready; the dialog only shows them.
#pragma once

#include <QDialog>

#include "tools/TextStats.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace ql {

class TFormWordCount : public QDialog {
  Q_OBJECT

 public:
  TFormWordCount(QWidget* parent, const TextStats& stats);

  // The value shown beside a label, by the panel's name ("TotWord_Panel").
  QString Value(const char* panelName) const;
  QTabWidget* Pages() const { return PageCtrl1; }
  QListWidget* List() const { return ListView1; }

  void Close_Cmd() { close(); }

 private:
  void FormCreate(const TextStats& stats);

  QTabWidget* PageCtrl1 = nullptr;
  QListWidget* ListView1 = nullptr;
  QPushButton* Close_Btn = nullptr;
};

}  // namespace ql
