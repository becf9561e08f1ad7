// "Pick Color": the program's one color chooser. PickColor shows it modally
// and returns the chosen color (0x00BBGGRR) or -1 when cancelled.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/FuncLib.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;

namespace ql {

class Store;

std::int64_t PickColor(QWidget* owner, Store& store, std::int64_t color, const std::string& caption);

// A colored panel that can be dragged (application/x-color) and, when it is
// a target, takes a dropped color.
class ColorSwatch : public QFrame {
  Q_OBJECT

 public:
  enum DragButtons { AnyButton, RightButton };
  ColorSwatch(const QString& name, const QString& hint, QWidget* parent = nullptr);
  Color ColorValue() const { return color_; }
  void SetColor(Color color);
  void SetDragButtons(DragButtons b) { dragButtons_ = b; }
  void SetTarget(bool target);

 signals:
  void clicked();                                        // left or middle, target swatches
  void dropped(ColorSwatch* target, Color color, QObject* source, bool swap);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  Color color_ = 0;
  DragButtons dragButtons_ = AnyButton;
  bool target_ = false;
};

// The gradient between the two blend ends; tells where the mouse is.
class BlendBar : public QWidget {
  Q_OBJECT

 public:
  explicit BlendBar(QWidget* parent = nullptr);
  void SetEnds(Color from, Color to);
  Color ColorAt(int ratio) const;

 signals:
  void hovered(int x);
  void pressed(int x);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  Color from_ = 0, to_ = 0xFFFFFF;
};

class TFormColorPick : public QDialog {
  Q_OBJECT

 public:
  enum ViewMode { Full, FromHex, FromRgb };
  TFormColorPick(QWidget* owner, Store& store, std::int64_t color, const std::string& caption);

  Color Result() const { return result_; }
  // The standard color dialog; tests answer instead.
  using StandardDialog = std::function<std::optional<Color>(Color initial)>;
  void SetStandardDialog(StandardDialog d) { standard_ = std::move(d); }

  ColorSwatch* OldCol_Panel = nullptr;
  ColorSwatch* NewCol_Panel = nullptr;
  ColorSwatch* BlendA_Panel = nullptr;
  ColorSwatch* BlendB_Panel = nullptr;
  ColorSwatch* Hover_Panel = nullptr;
  ColorSwatch* SysCol_Panel = nullptr;
  std::array<ColorSwatch*, 3> channelPanels_{};
  std::array<QLineEdit*, 3> channelEdits_{};  // red, green, blue
  QLineEdit* Hex_Edit = nullptr;
  QLabel* Percent_Label = nullptr;
  QComboBox* SysCol_Combo = nullptr;
  BlendBar* Blend_Img = nullptr;
  std::vector<ColorSwatch*> palette_;
  ColorSwatch* CurrentPanel = nullptr;

  void UpdateColorViews(ViewMode mode);
  void RgbEdits_Change(int channel);
  void Hex_EditChange();
  void PickColor_Cmd();
  void BlendColor_Cmd();
  void Negative_Cmd();
  void BlendHover(int x);
  void SysCol_Combo_Change(int index);
  // A swatch dropped on a target; swap: the source takes the target's color.
  void DropOn(ColorSwatch* target, Color color, QObject* source, bool swap);
  bool Ok_Cmd();  // saves the custom colors; false when that failed (reported)

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowPopup(ColorSwatch* panel);
  std::optional<Color> AskStandard(Color initial);

  Store& store_;
  Color result_ = 0;
  bool updating_ = false;
  StandardDialog standard_;
  QMenu* PopupMenu1 = nullptr;
};

// The current value of system color n (the table of 28 names).
Color SystemColorValue(int listIndex);

}  // namespace ql
