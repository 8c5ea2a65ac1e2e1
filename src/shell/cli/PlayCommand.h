#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// quillory play FILE.mid [--out FILE.wav|.flac|.ogg]: plays any Standard
// MIDI File on the chosen MIDI output, or renders it to an audio file.
int RunPlayCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
