// Note names to frequencies: "A", "C#", ">A", "O5A", "B-", "N48". Notes count in semitones
// from A (an octave runs from A up to G sharp); N48 is the A of 440 Hz in octave 4.
#pragma once

#include <cstdint>
#include <string_view>

// The frequency in hertz (20..50000), or 0 when Text is no valid note. Octave is where the text
// starts from; it takes the note's octave only on success.
int32_t NoteToFrequency(std::string_view Text, int32_t& Octave);
