#include "settings/qt/ConfigSwatch.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

#include "platform/qt/Look.h"
#include "platform/qt/QtText.h"
#include "settings/Config.h"

namespace ql {

namespace {
constexpr char kSwatchFormat[] = "application/x-quillora-swatch";
}

std::uint32_t ResolveColor(std::uint32_t color) {
  const QColor c = ToQColor(color, QApplication::palette());
  return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
         static_cast<std::uint32_t>(c.blue()) << 16;
}

ConfigSwatch::ConfigSwatch(const QString& name, QWidget* parent) : QFrame(parent) {
  setObjectName(name);
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setAutoFillBackground(true);
  setAcceptDrops(true);
  setMouseTracking(true);
  setMinimumSize(40, 22);
  SetColor(0);
}

void ConfigSwatch::SetColor(std::uint32_t color) {
  color_ = color;
  QPalette p = palette();
  p.setColor(QPalette::Window, ToQColor(color, QApplication::palette()));
  setPalette(p);
  setToolTip(Utf8ToQ(SwatchHintText(Rgb())));
}

std::uint32_t ConfigSwatch::Rgb() const { return ResolveColor(color_); }

void ConfigSwatch::DropFrom(ConfigSwatch* source, bool copy) {
  if (!source || source == this) return;
  const std::uint32_t former = color_;
  SetColor(source->color_);
  if (!copy) source->SetColor(former);
  emit dropped();
}

void ConfigSwatch::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  auto* mime = new QMimeData;
  mime->setData(kSwatchFormat, QByteArray::number(color_));
  mime->setColorData(ToQColor(color_, QApplication::palette()));
  auto* drag = new QDrag(this);
  drag->setMimeData(mime);
  drag->exec(Qt::CopyAction | Qt::MoveAction);
}

void ConfigSwatch::mouseMoveEvent(QMouseEvent* event) {
  setToolTip(Utf8ToQ(SwatchHintText(Rgb())));
  QFrame::mouseMoveEvent(event);
}

void ConfigSwatch::dragEnterEvent(QDragEnterEvent* event) {
  // Only the dialog's swatches, and not onto themselves.
  auto* source = qobject_cast<ConfigSwatch*>(event->source());
  if (source && source != this && event->mimeData()->hasFormat(kSwatchFormat))
    event->acceptProposedAction();
}

void ConfigSwatch::dropEvent(QDropEvent* event) {
  auto* source = qobject_cast<ConfigSwatch*>(event->source());
  if (!source || source == this) return;
  DropFrom(source, event->modifiers() & Qt::ControlModifier);
  event->acceptProposedAction();
}

}  // namespace ql
