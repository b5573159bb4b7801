#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <memory>

#include "KsAppErr.h"

// A fragment program that turns luma/chroma texels into RGB while a texture
// is drawn with the fixed-function pipeline (texture unit 0 carries the
// texture coordinates; the result is modulated by the current colour).
// Needs the context it was made in current for every call.
//
// Layouts:
// - packed 4:2:2 ('2vuy' Cb Y0 Cr Y1, 'yuvs' Y0 Cb Y1 Cr, 'yuvu' as 'yuvs'
//   with signed chroma): one texture uploaded as GL_LUMINANCE_ALPHA at the
//   picture's own width (each texel one pixel: a luma byte and the pair's Cb
//   or Cr byte), filtered in the program; pairs start on even texels.
// - packed 4:4:4 ('v308' Cr Y Cb, 'v408' Cb Y Cr A): GL_RGB or GL_RGBA.
// - planar: Y, Cb and Cr planes on texture units 0, 1 and 2 (GL_LUMINANCE),
//   chroma planes of any subsampling; bi-planar: Y on unit 0 and interleaved
//   Cb Cr on unit 1 (GL_LUMINANCE_ALPHA).
class YuvToRgbProgram {
 public:
  enum class Layout : uint32_t {
    kPacked422CbYCrY,
    kPacked422YCbYCr,
    kPacked422YCbYCrSigned,
    kPacked444CrYCb,
    kPacked444CbYCrA,
    kPlanar,
    kBiPlanar,
  };
  static constexpr uint32_t kLayoutCount = 7;
  enum class Matrix : uint32_t { kBT601, kBT709 };

  // target is GL_TEXTURE_2D or GL_TEXTURE_RECTANGLE_ARB. -1 when the
  // context has no shading language or the program does not build.
  static eAppErr Create(Layout layout, GLenum target, std::unique_ptr<YuvToRgbProgram>* out);
  ~YuvToRgbProgram();
  YuvToRgbProgram(const YuvToRgbProgram&) = delete;
  YuvToRgbProgram& operator=(const YuvToRgbProgram&) = delete;

  // Makes the program current. textureSize is the size in texels of the
  // (luma) texture; wrap says whether it repeats across each axis. For a
  // rectangle target, chromaScale maps luma texel coordinates to those of the
  // chroma planes (0.5, 1 for 4:2:2, 0.5, 0.5 for 4:2:0).
  void Use(float textureWidth, float textureHeight, bool wrapX, bool wrapY, float chromaScaleX = 1.0f,
           float chromaScaleY = 1.0f) const;
  // Video range (16..235) or full range (0..255) luma and chroma.
  void SetColorimetry(Matrix matrix, bool fullRange);
  static void Unuse();

  Layout GetLayout() const { return m_layout; }
  GLenum GetTarget() const { return m_target; }
  GLuint GetProgram() const { return m_program; }
  // The layout of a packed pixel-format code; false for other codes.
  static bool LayoutForPixelFormat(uint32_t code, Layout* layout);

 private:
  YuvToRgbProgram(Layout layout, GLenum target, GLuint program);

  Layout m_layout;
  GLenum m_target;
  GLuint m_program;
  float m_matrix[9];
  float m_offset[3];
};
