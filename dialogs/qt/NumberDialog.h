// "Number Converter v1.36": one 64-bit value in four boxes at once. Typing
// in a box converts into the other three; the typed box is never rewritten.
#pragma once

#include <QDialog>
#include <array>

#include "dialogs/Number.h"

class QLabel;
class QLineEdit;

namespace ql {

class TFormNumber : public QDialog {
  Q_OBJECT

 public:
  explicit TFormNumber(QWidget* owner);

  QLineEdit* Box(NumBase base) const { return edits_[static_cast<int>(base)]; }
  QLabel* Label(NumBase base) const { return labels_[static_cast<int>(base)]; }
  QLabel* Error_Label = nullptr;

  // The change handler of a box; convert: the user changed it.
  void Box_Change(NumBase base, bool convert);
  // Page Up (+1) / Page Down (-1) pressed in a box.
  void StepValue(NumBase pressedIn, int step);
  void Edits_LabelClick(NumBase base);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void WriteBox(NumBase base, const std::string& text);
  void ShowError(NumBase base, const std::string& text, std::optional<char> offending);
  void ShowSize();
  void SetBoxColor(int index, const QColor& color);

  std::array<QLineEdit*, kNumBoxes> edits_{};
  std::array<QLabel*, kNumBoxes> labels_{};
  int writing_ = 0;  // boxes written by the program only validate
};

}  // namespace ql
