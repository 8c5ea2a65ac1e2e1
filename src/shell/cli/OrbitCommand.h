#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// quillory orbit: writes the Orbiter's song of one point without any window.
int RunOrbitCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
