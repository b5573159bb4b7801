#pragma once

#include <cstdint>
#include <memory>

#include "General/KsColor.h"
#include "General/KsSize.h"
#include "General/WeakRef.h"
#include "View/HcView.h"

class KsData;

namespace hc::text {
struct StyledText;
}

// A block of styled text given as RTF: rasterised into an image, uploaded
// as a rectangle texture of exactly the image's pixel size and drawn as one
// quad placed in the frame by an alignment code (bits 0-1: 0 left, 1 right,
// 2 centre; bits 2-3: 0 top, 4 bottom, 8 middle). With ScaleText the text
// scales with the frame against StdDrawSize: re-rasterised at each new
// size, or with BitmapScaling the first image magnified. The text is
// rasterised once per size and content, never per refresh; a change of the
// RTF or of the colours is rasterised on the next draw. RTF that doesn't
// read draws nothing. Mouse events pass through.
class RTFTextView : public HcView {
  HC_CLASS_HEADER(RTFTextView)
 public:
  enum : int32_t {
    kRTFDataId = 300,
    kTextColorId = 301,
    kBackgroundColorId = 302,
    kScaleTextId = 303,
    kStdDrawSizeId = 304,
    kAlignmentId = 305,
    kBitmapScalingId = 306,
  };
  enum : uint32_t {
    kAlignLeft = 0,
    kAlignRight = 1,
    kAlignCentre = 2,
    kAlignTop = 0,
    kAlignBottom = 4,
    kAlignMiddle = 8,
  };

  RTFTextView();
  ~RTFTextView() override;

  // Needs an OpenGL renderer with its context current.
  eAppErr Draw(const KsRef<PanoRenderer>& renderer) override;
  // Rasterises the RTF at the current scale into a new texture, giving up
  // the old one. 0 also when the RTF doesn't read (no texture then) and
  // when no OpenGL context is current (logged; no texture either).
  virtual eAppErr StringTexture(const KsRef<PanoRenderer>& renderer);

  KsRef<KsData> GetRTFData() const;
  eAppErr SetRTFData(const KsRef<KsData>& data);
  KsColorF GetTextColor() const { return m_textColor; }
  eAppErr SetTextColor(const KsColorF& color);
  KsColorF GetBackgroundColor() const { return m_backgroundColor; }
  eAppErr SetBackgroundColor(const KsColorF& color);
  bool GetScaleText() const { return m_scaleText; }
  eAppErr SetScaleText(bool scale);
  KsSizeF GetStdDrawSize() const { return m_stdDrawSize; }
  eAppErr SetStdDrawSize(const KsSizeF& size);
  uint32_t GetAlignment() const { return m_alignment; }
  eAppErr SetAlignment(uint32_t alignment);
  bool GetBitmapScaling() const { return m_bitmapScaling; }
  eAppErr SetBitmapScaling(bool bitmapScaling);

  // The texture as last built: its OpenGL name (0 for none) and pixel size,
  // the scale it was rasterised at, and how many times the text was.
  uint32_t GetTextureName() const { return m_textureName; }
  int32_t GetTextureWidth() const { return m_textureWidth; }
  int32_t GetTextureHeight() const { return m_textureHeight; }
  float GetScale() const { return m_scale; }
  uint64_t GetRasterizeCount() const { return m_rasterizeCount; }
  // Where the text quad lies in a drawing rectangle of that size.
  KsRectF PlaceQuad(float width, float height) const;

 private:
  // The RTF read into runs, once per RTFData; null when it doesn't read.
  const hc::text::StyledText* ParsedText();
  void GiveUpTexture();
  eAppErr Upload(const KsRef<PanoRenderer>& renderer, const void* pixels);
  void DrawQuad(const KsRectF& quad) const;

  KsRef<KsData> m_rtfData;
  KsColorF m_textColor{1.0f, 1.0f, 1.0f, 1.0f};
  KsColorF m_backgroundColor{0.0f, 0.0f, 0.0f, 0.0f};
  bool m_scaleText = false;
  bool m_bitmapScaling = false;
  uint32_t m_alignment = kAlignCentre | kAlignMiddle;
  KsSizeF m_stdDrawSize{0.0f, 0.0f};
  KsSizeF m_lastDrawnSize{0.0f, 0.0f};
  uint32_t m_textureName = 0;
  int32_t m_textureWidth = 0;
  int32_t m_textureHeight = 0;
  float m_scale = 1.0f;
  // The renderer whose context holds the texture.
  WeakRef::Ref m_textureOwner;
  bool m_built = false;
  bool m_contentChanged = false;
  std::unique_ptr<hc::text::StyledText> m_parsed;
  bool m_parsedValid = false;
  uint64_t m_rasterizeCount = 0;
};
HC_CLASS_OBJECT(RTFTextView, HcView)
