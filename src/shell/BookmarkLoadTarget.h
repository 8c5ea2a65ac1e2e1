#pragma once

#include <QString>

class FractalRenderer;

// What the bookmarks dialog needs of the main window when the user loads a
// bookmark: the main view's renderer, which it sets and redraws (the redraw's
// event starts the main window's own render timer), and the caption of the
// fractal-type button (index 3), which must name the set now shown.
class BookmarkLoadTarget {
 public:
  virtual ~BookmarkLoadTarget() = default;

  virtual FractalRenderer& MainRenderer() = 0;
  // "Mandelbrot Set" or "Julia Set".
  virtual void SetFractalCaption(const QString& caption) = 0;
};
