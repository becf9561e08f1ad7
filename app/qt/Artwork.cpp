#include "app/qt/Artwork.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ql {

namespace {

constexpr int kSize = 24;

void Page(QPainter& p, QRectF r) {
  QPainterPath path;
  path.moveTo(r.left(), r.top());
  path.lineTo(r.right() - 5, r.top());
  path.lineTo(r.right(), r.top() + 5);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.setBrush(Qt::white);
  p.drawPath(path);
  p.drawLine(QPointF(r.right() - 5, r.top()), QPointF(r.right() - 5, r.top() + 5));
  p.drawLine(QPointF(r.right() - 5, r.top() + 5), QPointF(r.right(), r.top() + 5));
}

void Lines(QPainter& p, QRectF r, int count) {
  for (int i = 0; i < count; ++i) {
    const double y = r.top() + 8 + i * 3;
    p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
  }
}

void Glyph(QPainter& p, const QString& text, const QColor& color) {
  QFont f("DejaVu Sans");
  f.setPixelSize(15);
  f.setBold(true);
  p.setFont(f);
  p.setPen(color);
  p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, text);
}

}  // namespace

QIcon FallbackIcon(const std::string& name) {
  QPixmap pix(kSize, kSize);
  pix.fill(Qt::transparent);
  QPainter p(&pix);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(60, 60, 70), 1.2));
  const QRectF page(5.5, 2.5, 13, 19);
  if (name == "document-new") {
    Page(p, page);
    p.setBrush(QColor(250, 200, 40));
    p.drawEllipse(QRectF(13, 13, 8, 8));
  } else if (name == "document-open") {
    p.setBrush(QColor(235, 190, 80));
    p.drawRect(QRectF(2.5, 7.5, 19, 13));
    p.drawRect(QRectF(2.5, 5.5, 8, 3));
  } else if (name == "document-save" || name == "document-save-as") {
    p.setBrush(QColor(70, 110, 190));
    p.drawRect(QRectF(3.5, 3.5, 17, 17));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7.5, 3.5, 9, 6));
    if (name == "document-save-as") Glyph(p, "…", Qt::white);
  } else if (name == "document-properties") {
    Page(p, page);
    Glyph(p, "i", QColor(40, 90, 180));
  } else if (name == "edit-copy") {
    Page(p, QRectF(3.5, 2.5, 11, 15));
    Page(p, QRectF(9.5, 6.5, 11, 15));
  } else if (name == "edit-paste") {
    p.setBrush(QColor(190, 150, 90));
    p.drawRect(QRectF(4.5, 4.5, 15, 17));
    Page(p, QRectF(8.5, 8.5, 10, 12));
  } else if (name == "edit-cut") {
    Glyph(p, QString(QChar(0x2702)), QColor(60, 60, 70));
  } else if (name == "edit-undo") {
    Glyph(p, QString(QChar(0x21B6)), QColor(40, 90, 180));
  } else if (name == "edit-find" || name == "go-down-search") {
    p.setBrush(QColor(220, 235, 255));
    p.drawEllipse(QRectF(3.5, 3.5, 11, 11));
    p.setPen(QPen(QColor(60, 60, 70), 3));
    p.drawLine(QPointF(13, 13), QPointF(20, 20));
  } else if (name == "accessories-text-editor") {
    Page(p, page);
    Lines(p, page, 4);
  } else if (name == "go-jump") {
    Glyph(p, QString(QChar(0x21E5)), QColor(40, 120, 60));
  } else if (name == "system-run") {
    Glyph(p, "f", QColor(150, 60, 150));
  } else if (name == "preferences-system") {
    Glyph(p, QString(QChar(0x2699)), QColor(60, 60, 70));
  } else if (name == "preferences-desktop-font") {
    Glyph(p, "A", QColor(40, 40, 40));
  } else if (name == "help-about") {
    Glyph(p, "i", QColor(40, 90, 180));
  } else if (name == "help-contents") {
    Glyph(p, "?", QColor(40, 90, 180));
  } else {
    Page(p, page);
  }
  p.end();
  return QIcon(pix);
}

QIcon ThemeIcon(const std::string& name) {
  return QIcon::fromTheme(QString::fromStdString(name), FallbackIcon(name));
}

QIcon AppIcon() {
  const QIcon own = QGuiApplication::windowIcon();
  return own.isNull() ? ThemeIcon("accessories-text-editor") : own;
}

}  // namespace ql
