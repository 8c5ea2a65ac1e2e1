#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// quillory midi-info FILE: the header of a Standard MIDI File, after walking
// every track with the program's own reader, then each track's event count,
// the tempo and the length in seconds.
int RunMidiInfoCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
