#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// quillory melody: writes the Melodizer's song of a line without any window.
int RunMelodyCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
