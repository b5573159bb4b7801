#pragma once

#include <cstdint>
#include <span>
#include <string>

// The panorama metadata a still image may carry as text in its EXIF maker
// note: after the marker <lumisfera version="3">, the quoted fields
// "Projection", "PanMin", "PanMax", "TiltMin" and "TiltMax", each followed
// somewhere later by value= and one opening character, then its value.
// The text ends at the note's end or at its first zero byte, and nothing is
// read past it.
struct PanoramaMakerNote {
  std::string projection;  // the four characters of the code, fewer at the text's end
  float tiltMinDeg = 0.0f;
  float tiltMaxDeg = 0.0f;

  // True when the marker and all five fields are there.
  static bool Parse(std::span<const uint8_t> note, PanoramaMakerNote* out);
  // A decimal number as C's atof reads it (white space, sign, fraction,
  // exponent; 0 when there is none), in the C locale whatever the user's.
  static float ReadNumber(std::string_view text);
};
