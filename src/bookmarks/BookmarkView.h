#pragma once

#include <string>

#include "Bookmark.h"
#include "FractalRenderer.h"

// Between a renderer's view and a bookmark. The viewport's height is not
// kept: it follows from the width and the aspect of the surface shown on.
class BookmarkView {
 public:
  // Whether applying a bookmark also sets the renderer's Julia constant: the
  // preview sets it only for a Julia bookmark, the main window always (so a
  // Mandelbrot bookmark leaves it at 0, 0).
  enum class JuliaPoint { OnlyForJulia, Always };

  static Bookmark Capture(const FractalRenderer& renderer, std::string name);
  // Iteration cap first (it may raise ChangeIterations), then the window, the
  // fractal type and the Julia constant. The caller starts the redraw.
  static void Apply(const Bookmark& bookmark, FractalRenderer& renderer, JuliaPoint juliaPoint);
};
