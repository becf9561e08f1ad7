// "Page Analyzer": the document's general figures and, for HTML pages, its
// links; choosing a link selects its anchor's source in the editor.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/Analyze.h"

class QTabWidget;
class QTreeWidget;
class QPushButton;

namespace ql {

// What the analyzer reads from the main window and how it selects there.
struct AnalyzeInput {
  std::string docFileName;
  std::string text;  // the editor's whole text, CR LF breaks
  std::int64_t lineCount = 0;
  std::uint32_t boxBack = 0x80000005, boxText = 0x80000008;
  std::function<void(std::int64_t start, std::int64_t length)> select;
};

class TFormAnalyze : public QDialog {
  Q_OBJECT

 public:
  TFormAnalyze(QWidget* parent, AnalyzeInput input);

  const PageAnalysis& Analysis() const { return analysis_; }
  void Link_ListViewSelectItem();

  QTabWidget* PageControl1 = nullptr;
  QTreeWidget* Gen_ListView = nullptr;
  QTreeWidget* Link_ListView = nullptr;
  QPushButton* Close_Btn = nullptr;

 private:
  void Analyze();

  AnalyzeInput input_;
  PageAnalysis analysis_;
  std::vector<std::pair<std::int64_t, std::int64_t>> LinkPositions;
};

// The file manager's name for a file's type ("" when it is not on disk).
std::string FileTypeName(const std::string& path);

}  // namespace ql
