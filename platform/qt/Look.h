// Colors, fonts and screen geometry as the editor stores them, turned into
// what Qt draws with.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QRect>
#include <cstdint>
#include <string>

namespace ql {

// 0x00BBGGRR, or 0x80000000 + n for the system colors (5 window, 8 window text).
QColor ToQColor(std::uint32_t color, const QPalette& system);

// Registers close installed faces for the stored font names that rarely
// exist here ("Courier New", "Fixedsys", "Terminal").
void InstallFontSubstitutes();
QFont EditorFont(const std::string& name, int pointSize);

// The program's icon in every size it comes in (built into the program;
// the desktop's icon theme otherwise).
QIcon ProgramIcon();

// The rectangle moved and shrunk so that it lies on a visible screen.
QRect ClampToScreens(const QRect& wanted);
QRect ClampToArea(const QRect& wanted, const QRect& area);

}  // namespace ql
