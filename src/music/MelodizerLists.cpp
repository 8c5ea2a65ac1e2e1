#include "MelodizerLists.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::array<std::string_view, 128> kPatchItems{
    "Piano 1",           "Piano 2",           "Piano 3",          "Honky-tonk Piano", "Electric Piano 1",
    "Electric Piano 2",  "Harpsichord",       "Clavinet",         "Celesta",          "Glockenspiel",
    "Music Box",         "Vibraphone",        "Marimba",          "Xylophone",        "Tubular Bell",
    "Dulcimer",          "Organ 1",           "Organ 2",          "Organ 3",          "Church Organ",
    "Reed Organ",        "Accordion",         "Harmonica",        "Tango Accordion",  "Nylon-String Guitar",
    "Steel-String Guitar", "Jazz Guitar",     "Clean Guitar",     "Muted Guitar",     "Overdrive Guitar",
    "Distortion Guitar", "Guitar Harmonics",  "Acoustic Bass",    "Fingered Bass",    "Picked Bass",
    "Fretless Bass",     "Slap Bass 1",       "Slap Bass 2",      "Synth Bass 1",     "Synth Bass 2",
    "Violin",            "Viola",             "Cello",            "Contrabass",       "Tremolo Strings",
    "Pizzicato Strings", "Harp",              "Timpani",          "Strings",          "Slow Strings",
    "Synth Strings 1",   "Synth Strings 2",   "Choir Aahs",       "Voice Oohs",       "SynVox",
    "Orchestra Hit",     "Trumpet",           "Trombone",         "Tuba",             "Muted Trumpet",
    "French Horn",       "Brass",             "Synth Brass 1",    "Synth Brass 2",    "Soprano Sax",
    "Alto Sax",          "Tenor Sax",         "Baritone Sax",     "Oboe",             "English Horn",
    "Bassoon",           "Clarinet",          "Piccolo",          "Flute",            "Recorder",
    "Pan Flute",         "Bottle Blow",       "Shakuhachi",       "Whistle",          "Ocarina",
    "Square Wave",       "Saw Wave",          "Synth Calliope",   "Chiffer Lead",     "Charang",
    "Solo Vox",          "5th Saw Wave",      "Bass & Lead",      "Fantasia",         "Warm Pad",
    "PolySynth",         "Space Voice",       "Bowed Glass",      "Metal Pad",        "Halo Pad",
    "Sweep Pad",         "Ice Rain",          "Sound Track",      "Crystal",          "Atmosphere",
    "Brightness",        "Goblin",            "Echo Drops",       "Star Theme",       "Sitar",
    "Banjo",             "Shamisen",          "Koto",             "Kalimba",          "Bag Pipe",
    "Fiddle",            "Shanai",            "Tinkle Bell",      "Agogo",            "Steel Drums",
    "Woodblock",         "Taiko",             "Mellow Tom 1",     "Synth Drum",       "Reverse Cymbal",
    "Guitar Fret Noise", "Breath Noise",      "Seashore",         "Bird",             "Telephone 1",
    "Helicopter",        "Applause",          "Gun Shot"};

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::span<const std::string_view> PatchItems() { return kPatchItems; }

int FindListItem(std::span<const std::string_view> items, std::string_view text) {
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i] == text) return static_cast<int>(i);
  const std::string_view wanted = Trimmed(text);
  if (wanted.empty()) return -1;
  for (std::size_t i = 0; i < items.size(); ++i)
    if (SameIgnoringCase(Trimmed(items[i]), wanted)) return static_cast<int>(i);
  return -1;
}
