// Help topics by context number, from the help file beside the program.
#pragma once

#include <string>

namespace ql {

// The help file: the program's directory + its base name + ".hlp".
std::string HelpFileName();
// Context 0 shows nothing. A missing help file is said so in a box.
void ShowHelpTopic(int context);
// The information box with OK and Help; Help opens the given topic.
void InfoWithHelp(const std::string& text, int helpContext);

}  // namespace ql
