// Icons for the tool bar and menus: the desktop's icon theme first, our
// own drawings where the theme has none, so the bar is never blank.
#pragma once

#include <QIcon>
#include <string>

namespace ql {

QIcon ThemeIcon(const std::string& name);
// Our own drawing for a theme icon name (any name gets a picture).
QIcon FallbackIcon(const std::string& name);
// The program's own icon: the application's window icon, else a text page.
QIcon AppIcon();

}  // namespace ql
