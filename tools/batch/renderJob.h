// The render job: hands a field to the flow view as the window's own data set, switches on
// what was asked for through the view's slots, and saves the view's 600 x 600 frame.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace RenderJob
{
// words: the command's arguments after "render". Needs a display.
void run(const std::vector<std::string>& words, std::ostream& err);
} // namespace RenderJob
