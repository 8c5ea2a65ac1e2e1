#pragma once

#include <QImage>
#include <QString>
#include <optional>
#include <string>

#include "ViewState.h"

// A PNG picture that remembers the view it shows: centre, width, cap,
// fractal type and Julia constant travel in the file's text chunks, so
// opening or dropping the picture brings that view back.
class PictureView {
 public:
  // Writes the picture as PNG with the view (when one is given), replacing the file only once
  // it is complete. Gives the platform's description of a failure.
  static std::optional<std::string> SavePng(const QImage& picture, const std::string& path, const ViewState* view);
  // The view a picture file carries; nothing for a file that is no picture,
  // has no view, or whose view is damaged.
  static std::optional<ViewState> Read(const QString& path);
  // Whether a chosen name asks for PNG (by its extension, in any case).
  static bool IsPngName(const std::string& path);
};
