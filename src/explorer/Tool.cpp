#include "Tool.h"

std::string ToolTipText(Tool tool) {
  switch (tool) {
    case Tool::ZoomIn: return "Zoom in 2X";
    case Tool::ZoomOut: return "Zoom out 2X";
    case Tool::Orbiter:
    case Tool::Melodizer: return "Convert a linear cross-section of the fractal object into a melody";
    case Tool::FractalToggle: return "Toggle between the Mandelbrot and Julia sets";
    case Tool::RedrawAbort: return "Redraw the current viewport";
    case Tool::SavePicture: return "Export the image in the viewport to a bitmap file";
    case Tool::LoadBookmarks: return "Recall previously saved bookmarks";
    case Tool::AddBookmark: return "Bookmark the location of the viewport";
    case Tool::HalveIterations: return "Reduce the maximum iterations by half";
    case Tool::DoubleIterations: return "Double the maximum number of iterations";
  }
  return {};
}
