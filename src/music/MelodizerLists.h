#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

// The items of the Melodizer's five lists, in the order the window shows them;
// an item's position is the value it stands for (key offset, octave, scale
// index, top level, General MIDI program).
inline constexpr std::array<std::string_view, 4> kComplexityItems{"1", "2", "3", "4"};
inline constexpr std::array<std::string_view, 12> kKeyItems{"C",     "C#/Db", "D",     "D#/Eb", "E",     "F",
                                                            "F#/Gb", "G",     "G#/Ab", "A",     "A#/Bb", "B"};
inline constexpr std::array<std::string_view, 12> kOctaveItems{"1", "2", "3", "4",  "5",  "6",
                                                               "7", "8", "9", "10", "11", "12"};
// The trailing blank of the fourth item has always been part of its text.
inline constexpr std::array<std::string_view, 7> kScaleTypeItems{
    "Major", "Minor", "Chromatic", "Major Pentatonic ", "Minor Pentatonic", "Major Triad", "Minor Triad"};
std::span<const std::string_view> PatchItems();

// The index of the item a typed text stands for, or -1. An exact match wins;
// otherwise the text matches an item that differs only in case or in blanks
// around it, so "major pentatonic" still finds "Major Pentatonic ".
int FindListItem(std::span<const std::string_view> items, std::string_view text);
