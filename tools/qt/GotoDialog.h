// "Goto...": a line number, a character offset or a percentage of the
// lines. Each edit belongs to the radio button with its tag; focusing an
// edit selects its kind, Up and Down walk the edits.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <string>

#include "tools/GotoTarget.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ql {

class TFormGoto : public QDialog {
  Q_OBJECT

 public:
  // Colors: the edit boxes' background and text (stored color values).
  TFormGoto(QWidget* parent, const GotoStart& start, std::uint32_t boxBack, std::uint32_t boxText);

  // The kind chosen and the text typed for it (Windows-1252).
  GotoKind Kind() const;
  std::string TargetText() const;

  QRadioButton* Radio(GotoKind kind) const { return radios_[Index(kind)]; }
  QLineEdit* Edit(GotoKind kind) const { return edits_[Index(kind)]; }
  QLabel* Label(GotoKind kind) const { return labels_[Index(kind)]; }
  QPushButton* OkButton() const { return Ok_Btn; }

  void Type_Change(int tag);
  void Edits_Change(int tag);
  void Edits_Enter(int tag);
  bool Edits_KeyDown(int tag, int key);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static int Index(GotoKind kind) { return static_cast<int>(kind) - 1; }
  int TagOf(QObject* object) const;

  std::array<QRadioButton*, 3> radios_{};
  std::array<QLineEdit*, 3> edits_{};
  std::array<QLabel*, 3> labels_{};
  QPushButton* Ok_Btn = nullptr;
  QPushButton* Cancel_Btn = nullptr;
};

}  // namespace ql
