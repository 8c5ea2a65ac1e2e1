#pragma once

#include <cstdint>
#include <string>

// The main window's tool buttons, by their index in the button row; the
// index selects the command.
enum class Tool : int {
  ZoomIn = 0,
  ZoomOut = 1,
  Orbiter = 2,
  FractalToggle = 3,
  RedrawAbort = 4,
  SavePicture = 5,
  Melodizer = 6,
  LoadBookmarks = 7,
  AddBookmark = 8,
  HalveIterations = 9,
  DoubleIterations = 10,
};
inline constexpr int kToolCount = 11;

// What a drag or click in the viewport does. A pending mode's value is the
// index of the tool button that started it.
enum class MouseMode : std::int16_t { Normal = -1, JuliaPick = 3, Trace = 6 };

enum class ToolLook { Normal, ModePending };

// The hover text of a button, which the status line shows too. The
// Orbiter's is the Melodizer's text, as it always was.
std::string ToolTipText(Tool tool);
