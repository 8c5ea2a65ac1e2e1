#pragma once

#include <QPoint>

class MidiService;
class QMenu;
class QWidget;

// The music windows' context menu: "MIDI Output" with the built-in
// synthesizer and every port, the current one checked. A choice applies to
// the service at once (every window opens its device through it) and is
// kept for the next run.
class MidiOutputMenu {
 public:
  static constexpr const char* kTitle = "MIDI Output";

  // The menu as it would pop up; each output is a checkable action whose
  // data is its index in ListMidiOutputs.
  static QMenu* Build(MidiService& service, QWidget* parent);
  // Pops the menu up at globalPosition; true when another output was chosen.
  static bool Run(MidiService& service, QWidget* parent, QPoint globalPosition);
  // What choosing the action at index does.
  static bool Choose(MidiService& service, int index);
};
