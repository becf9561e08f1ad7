// Help topics by context number, from the help file beside the program.
#pragma once

#include <functional>
#include <string>

namespace ql {

// The help file: the program's directory + its base name + ".hlp", unless
// one was set (tests).
std::string HelpFileName();
void SetHelpFileName(const std::string& path);
// Who shows a topic: the program's help window. Without one, or without a
// help file, a box says what is missing.
void SetHelpHandler(std::function<void(int context)> handler);
// Context 0 shows nothing.
void ShowHelpTopic(int context);
// The information box with OK and Help; Help opens the given topic.
void InfoWithHelp(const std::string& text, int helpContext);

}  // namespace ql
