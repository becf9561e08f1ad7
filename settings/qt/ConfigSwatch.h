// A color swatch of the configuration dialog: holds a color as the options
// do (system colors included), shows its value in its hint, and can be
// dragged onto another swatch: the two colors swap, or with Ctrl held the
// target takes a copy.
#pragma once

#include <QFrame>
#include <cstdint>

namespace ql {

class ConfigSwatch : public QFrame {
  Q_OBJECT

 public:
  ConfigSwatch(const QString& name, QWidget* parent = nullptr);
  std::uint32_t ColorValue() const { return color_; }
  void SetColor(std::uint32_t color);
  // The color as it shows now, 0x00BBGGRR.
  std::uint32_t Rgb() const;
  // What a drop of `source` on this swatch does; copy: Ctrl was held.
  void DropFrom(ConfigSwatch* source, bool copy);

 signals:
  void dropped();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  std::uint32_t color_ = 0;
};

// 0x00BBGGRR of a stored color, system colors as they look now.
std::uint32_t ResolveColor(std::uint32_t color);

}  // namespace ql
