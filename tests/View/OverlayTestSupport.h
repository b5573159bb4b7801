#pragma once

// What the overlay suites share: a renderer that draws for real and records
// the calls the overlays make, vector objects that record how they are
// drawn, textures and panoramic views whose answers a test chooses, and
// RGBA read-back of the drawn frame.

#include <cstdint>
#include <string>
#include <vector>

#include "Renderer/GLVertexBuffer.h"
#include "Renderer/HcTexture.h"
#include "Renderer/HcTextureSet.h"
#include "RendererTestSupport.h"
#include "View/HcVectorObject.h"
#include "View/PanoView.h"

// A vertex buffer whose positions a test can read.
class InspectableBuffer : public GLVertexBuffer {
 public:
  using HcVertexBuffer::Positions;
};

struct TextCall {
  float x, y, z;
  std::string text;
};

// An OpenGL renderer that records what the overlays ask of it.
class RecordingRenderer : public AppleOpenGLRenderer {
 public:
  eAppErr RenderText(float x, float y, float z, const PWStringRef& text) override {
    texts.push_back({x, y, z, std::string(text.View())});
    return AppleOpenGLRenderer::RenderText(x, y, z, text);
  }
  eAppErr FillRectWithBackground(const KsRect<int32_t>& rect) override {
    fills.push_back(GetBackgroundColor());
    events.push_back("fill");
    return AppleOpenGLRenderer::FillRectWithBackground(rect);
  }
  eAppErr ClearDepthBuffer() override {
    events.push_back("clear-depth");
    return AppleOpenGLRenderer::ClearDepthBuffer();
  }
  eAppErr SetColor(float r, float g, float b, float a) override {
    colors.push_back({r, g, b, a});
    return AppleOpenGLRenderer::SetColor(r, g, b, a);
  }
  eAppErr Ortho2D(const KsRectF& rect, bool reset) override {
    orthos.push_back(rect);
    events.push_back("ortho");
    return AppleOpenGLRenderer::Ortho2D(rect, reset);
  }
  KsRef<HcVertexBuffer> CreateVertexBuffer(uint32_t perStrip, uint32_t strips) override {
    ++buffersMade;
    auto buffer = KsMakeRef<InspectableBuffer>();
    if (buffer->SetVerticesPerStrip(perStrip) || buffer->SetStripCount(strips) || buffer->AllocateVertices()) {
      return {};
    }
    return buffer;
  }
  void Forget() {
    texts.clear();
    fills.clear();
    colors.clear();
    orthos.clear();
    events.clear();
    buffersMade = 0;
  }

  std::vector<TextCall> texts;
  std::vector<KsColorF> fills;
  std::vector<KsColorF> colors;
  std::vector<KsRectF> orthos;
  std::vector<std::string> events;
  int buffersMade = 0;
};

// A recording renderer drawing into an off-screen drawable of its own.
struct OverlayScene {
  DrawingRenderer drawing;
  KsRef<RecordingRenderer> renderer;

  bool Make(int width, int height);
  // One frame: BeginUpdate, the draw, EndUpdate; the draw's result.
  template <class Fn>
  eAppErr Frame(Fn&& draw) {
    if (renderer->BeginUpdate() != 0) return -1;
    const eAppErr result = draw();
    renderer->EndUpdate();
    return result;
  }
  // The frame read back as bytes R, G, B, A, top row first.
  std::vector<uint8_t> ReadRGBA();
  int Width() const { return drawing.drawable->Width(); }
  int Height() const { return drawing.drawable->Height(); }
};

// Columns [x0, x1) and rows [y0, y1) of the pixels that differ from the
// background colour by more than a little, or an empty box.
struct PixelBox {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Empty() const { return x1 <= x0 || y1 <= y0; }
  float CentreX() const { return (x0 + x1) * 0.5f; }
  float CentreY() const { return (y0 + y1) * 0.5f; }
};
PixelBox InkBox(const std::vector<uint8_t>& rgba, int width, int height, const uint8_t background[3]);
// The summed difference from the background colour, a measure of ink.
double InkAmount(const std::vector<uint8_t>& rgba, const uint8_t background[3]);

// A vector object that records its draws and answers a chosen result.
class RecordingObject : public HcVectorObject {
 public:
  bool ContainsPoint(const KsRect<int32_t>& frame, const KsRef<PanoView>&, const KsPointF& point) override {
    return area.Contains(point);
  }
  eAppErr Draw(const KsRect<int32_t>& frame, const KsRef<PanoView>& context, const KsRef<PanoRenderer>&,
               float z) override {
    depths.push_back(z);
    frames.push_back(frame);
    contexts.push_back(context.Get());
    return result;
  }
  KsRectF area;
  eAppErr result = 0;
  std::vector<float> depths;
  std::vector<KsRect<int32_t>> frames;
  std::vector<PanoView*> contexts;
};

// A texture that holds a tile of an image and draws as a plain colour; its
// texture coordinates are the image point within the tile times the range.
class StubTexture : public HcTexture {
 public:
  eAppErr GetCanCreate() override { return 0; }
  eAppErr Activate() override {
    ++activations;
    return activateResult;
  }
  eAppErr Deactivate() override { return 0; }
  eAppErr GetFullCoordRange(KsPointF* out) override {
    *out = range;
    return 0;
  }
  eAppErr ImagePointToTexture(const KsPointF& p, KsPointF* out) override;
  KsPointF range{1.0f, 1.0f};
  eAppErr activateResult = 0;
  int activations = 0;
};

class StubTextureSet : public HcTextureSet {
 public:
  eAppErr GetCanCreate() override { return 0; }
  eAppErr GetTextureForQuadrant(uint32_t, KsRef<HcTexture>& out) override {
    if (textures.empty()) return -602;
    out = textures[0];
    return 0;
  }
  uint64_t GetUpdateSeed() override { return 1; }
  uint32_t GetTextureCount() override { return static_cast<uint32_t>(textures.size()); }
  KsRef<HcTexture> GetTextureByIndex(uint32_t index) override {
    return index < textures.size() ? textures[index] : KsRef<HcTexture>();
  }
  // A texture whose tile is the rectangle of the image.
  KsRef<StubTexture> Add(const KsRectF& tile);
  std::vector<KsRef<StubTexture>> textures;
};

// A panoramic view whose mappings are simple and chosen by the test:
// direction (pan, tilt) = (x / 2, -y / 2) of a point, and a direction's point
// in image i is (pan * 2 + 1000 i, tilt * -2), so each maps back to the other.
class StubPanoView : public PanoView {
 public:
  eAppErr DirectionAtPointDeg(const KsPointF& point, float* pan, float* tilt) override {
    *pan = point.x / 2.0f;
    *tilt = -point.y / 2.0f;
    return 0;
  }
  eAppErr PointAtDirectionDeg(float pan, float tilt, KsPointF* point, int32_t image) override {
    ++pointCalls;
    point->x = pan * 2.0f + 1000.0f * static_cast<float>(image);
    point->y = -tilt * 2.0f;
    return 0;
  }
  uint32_t GetNumberOfImages() override { return images; }
  eAppErr GetTiltLimitFlags(bool* upper, bool* lower) override {
    *upper = atUpper;
    *lower = atLower;
    return 0;
  }
  uint64_t GetLookGeneration() override { return generation; }
  uint32_t images = 1;
  bool atUpper = false;
  bool atLower = false;
  uint64_t generation = 1;
  int pointCalls = 0;
};
