#pragma once

#include <cstdint>

// Four-character pixel-format codes as 32-bit numbers, first character in the
// high byte.
constexpr uint32_t PixelFormatCode(const char (&text)[5]) {
  return static_cast<uint32_t>(static_cast<unsigned char>(text[0])) << 24 |
         static_cast<uint32_t>(static_cast<unsigned char>(text[1])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(text[2])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(text[3]));
}

// One row of the fixed table of pixel formats a source may hand frames in.
struct PixelFormatInfo {
  enum ColorModel : uint32_t { kModelRGB = 0, kModelYUV = 1, kModelGrey = 2 };
  // What each byte position of a pixel holds, in memory order.
  enum Component : uint32_t {
    kCompR = 1,
    kCompG = 2,
    kCompB = 3,
    kCompA = 4,
    kCompY = 5,
    kCompCb = 6,
    kCompCr = 7,
    kCompGrey = 8,
    kCompPacked = 9,
    kCompNone = 10,
  };

  // Codes that are plain numbers: bits per pixel of the classic formats.
  static constexpr uint32_t k8Grey = 40;
  static constexpr uint32_t k16BE555 = 16;
  static constexpr uint32_t k24RGB = 24;
  static constexpr uint32_t k32ARGB = 32;
  static constexpr uint32_t k2vuy = PixelFormatCode("2vuy");
  static constexpr uint32_t kYuvs = PixelFormatCode("yuvs");
  static constexpr uint32_t kYuvu = PixelFormatCode("yuvu");

  uint32_t code;
  uint32_t colorModel;
  uint32_t bytesPerComponent;
  uint32_t componentCount;
  uint32_t isFloat;
  uint32_t components[4];

  uint32_t BytesPerPixel() const { return bytesPerComponent * componentCount; }
  bool IsYUV() const { return colorModel == kModelYUV; }

  // The row of a code; null for 0 and codes not in the table.
  static const PixelFormatInfo* Find(uint32_t code);
  // The table, ended by a row whose code is 0.
  static const PixelFormatInfo* Table();
};
