#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// quillory render: draws one view into a picture file without any window.
int RunRenderCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
