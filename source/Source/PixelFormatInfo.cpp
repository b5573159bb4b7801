#include "Source/PixelFormatInfo.h"

namespace {

using P = PixelFormatInfo;

// v408 keeps Cb, Y', Cr and alpha in that order.
constexpr PixelFormatInfo kTable[] = {
    {P::k8Grey, P::kModelGrey, 1, 1, 0, {P::kCompGrey, P::kCompNone, P::kCompNone, P::kCompNone}},
    {PixelFormatCode("L555"), P::kModelRGB, 1, 2, 0, {P::kCompPacked, P::kCompPacked, P::kCompNone, P::kCompNone}},
    {PixelFormatCode("5551"), P::kModelRGB, 1, 2, 0, {P::kCompPacked, P::kCompPacked, P::kCompNone, P::kCompNone}},
    {P::k16BE555, P::kModelRGB, 1, 2, 0, {P::kCompPacked, P::kCompPacked, P::kCompNone, P::kCompNone}},
    {PixelFormatCode("L565"), P::kModelRGB, 1, 2, 0, {P::kCompPacked, P::kCompPacked, P::kCompNone, P::kCompNone}},
    {PixelFormatCode("B565"), P::kModelRGB, 1, 2, 0, {P::kCompPacked, P::kCompPacked, P::kCompNone, P::kCompNone}},
    {P::kYuvu, P::kModelYUV, 1, 2, 0, {P::kCompY, P::kCompPacked, P::kCompNone, P::kCompNone}},
    {P::kYuvs, P::kModelYUV, 1, 2, 0, {P::kCompY, P::kCompPacked, P::kCompNone, P::kCompNone}},
    {P::k2vuy, P::kModelYUV, 1, 2, 0, {P::kCompY, P::kCompPacked, P::kCompNone, P::kCompNone}},
    {PixelFormatCode("v408"), P::kModelYUV, 1, 4, 0, {P::kCompCb, P::kCompY, P::kCompCr, P::kCompA}},
    {PixelFormatCode("v308"), P::kModelYUV, 1, 3, 0, {P::kCompY, P::kCompCb, P::kCompCr, P::kCompNone}},
    {PixelFormatCode("r408"), P::kModelYUV, 1, 4, 0, {P::kCompY, P::kCompCb, P::kCompCr, P::kCompA}},
    {P::k24RGB, P::kModelRGB, 1, 3, 0, {P::kCompR, P::kCompG, P::kCompB, P::kCompNone}},
    {PixelFormatCode("24BG"), P::kModelRGB, 1, 3, 0, {P::kCompB, P::kCompG, P::kCompR, P::kCompNone}},
    {P::k32ARGB, P::kModelRGB, 1, 4, 0, {P::kCompA, P::kCompR, P::kCompG, P::kCompB}},
    {PixelFormatCode("BGRA"), P::kModelRGB, 1, 4, 0, {P::kCompB, P::kCompG, P::kCompR, P::kCompA}},
    {PixelFormatCode("ABGR"), P::kModelRGB, 1, 4, 0, {P::kCompA, P::kCompB, P::kCompG, P::kCompR}},
    {PixelFormatCode("RGBA"), P::kModelRGB, 1, 4, 0, {P::kCompR, P::kCompG, P::kCompB, P::kCompA}},
    {PixelFormatCode("b48r"), P::kModelRGB, 2, 3, 0, {P::kCompR, P::kCompG, P::kCompB, P::kCompNone}},
    {PixelFormatCode("b64a"), P::kModelRGB, 2, 4, 0, {P::kCompA, P::kCompR, P::kCompG, P::kCompB}},
    {PixelFormatCode("b16g"), P::kModelGrey, 2, 1, 0, {P::kCompGrey, P::kCompNone, P::kCompNone, P::kCompNone}},
    {PixelFormatCode("f32g"), P::kModelGrey, 4, 1, 1, {P::kCompGrey, P::kCompNone, P::kCompNone, P::kCompNone}},
    {PixelFormatCode("f32r"), P::kModelRGB, 4, 3, 1, {P::kCompR, P::kCompG, P::kCompB, P::kCompNone}},
    {PixelFormatCode("f32a"), P::kModelRGB, 4, 4, 1, {P::kCompR, P::kCompG, P::kCompB, P::kCompA}},
    {0, 0, 0, 0, 0, {0, 0, 0, 0}},
};

}  // namespace

const PixelFormatInfo* PixelFormatInfo::Table() { return kTable; }

const PixelFormatInfo* PixelFormatInfo::Find(uint32_t code) {
  if (code == 0) return nullptr;
  for (const PixelFormatInfo* row = kTable; row->code != 0; ++row) {
    if (row->code == code) return row;
  }
  return nullptr;
}
