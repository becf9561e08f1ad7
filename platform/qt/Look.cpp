#include "platform/qt/Look.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>

namespace ql {

QColor ToQColor(std::uint32_t color, const QPalette& system) {
  if (color & 0x80000000u) {
    switch (color & 0xFF) {
      case 5: return system.color(QPalette::Base);
      case 8: return system.color(QPalette::Text);
      case 15: return system.color(QPalette::Button);
      case 18: return system.color(QPalette::ButtonText);
      case 13: return system.color(QPalette::Highlight);
      case 14: return system.color(QPalette::HighlightedText);
      default: return system.color(QPalette::Window);
    }
  }
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

void InstallFontSubstitutes() {
  const QStringList mono = {"Liberation Mono", "DejaVu Sans Mono", "Noto Mono", "FreeMono",
                            "Monospace"};
  QFont::insertSubstitutions("Courier New", mono);
  QFont::insertSubstitutions("Fixedsys", {"Terminus", "Fixed", "DejaVu Sans Mono", "Monospace"});
  // NFO art needs the box-drawing characters; DejaVu Sans Mono has them all.
  QFont::insertSubstitutions("Terminal", {"Terminus", "DejaVu Sans Mono", "Unifont", "Monospace"});
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QString file = QString(":/icons/quillora-%1.png").arg(size);
    if (QFile::exists(file)) icon.addFile(file, QSize(size, size));
  }
  return icon.isNull() ? QIcon::fromTheme("quillora") : icon;
}

QFont EditorFont(const std::string& name, int pointSize) {
  QFont f(QString::fromStdString(name), pointSize > 0 ? pointSize : 10);
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  return f;
}

QRect ClampToArea(const QRect& wanted, const QRect& area) {
  QRect r = wanted;
  if (r.width() <= 0 || r.width() > area.width()) r.setWidth(area.width());
  if (r.height() <= 0 || r.height() > area.height()) r.setHeight(area.height());
  if (r.left() < area.left()) r.moveLeft(area.left());
  if (r.top() < area.top()) r.moveTop(area.top());
  if (r.right() > area.right()) r.moveRight(area.right());
  if (r.bottom() > area.bottom()) r.moveBottom(area.bottom());
  return r;
}

QRect ClampToScreens(const QRect& wanted) {
  // Keep it on the screen it overlaps most; a window stored on a monitor
  // that is gone comes back on the primary one.
  QScreen* best = QGuiApplication::primaryScreen();
  qint64 bestArea = 0;
  for (QScreen* s : QGuiApplication::screens()) {
    const QRect i = s->availableGeometry().intersected(wanted);
    const qint64 area = qint64(i.width()) * i.height();
    if (area > bestArea) {
      bestArea = area;
      best = s;
    }
  }
  if (!best) return wanted;
  return ClampToArea(wanted, best->availableGeometry());
}

}  // namespace ql
