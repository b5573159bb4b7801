#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "RegisterAllClasses.h"
#include "Renderer/HcVertexBuffer.h"
#include "RendererTestSupport.h"
#include "View/PerspectiveGrid.h"
#include "ViewTestSupport.h"

namespace {

constexpr float kDeg = 0.017453292f;

// A texture that only counts its activations and maps image points to
// themselves.
class CountingTexture : public HcTexture {
 public:
  explicit CountingTexture(uint32_t quadrants) {
    PanoProjection::ProjectionTile tile;
    tile.QuadrantMask = quadrants;
    SetProjectionTile(tile);
  }
  eAppErr GetCanCreate() override { return 0; }
  eAppErr Activate() override {
    ++activations;
    return 0;
  }
  eAppErr Deactivate() override { return 0; }
  eAppErr GetFullCoordRange(KsPointF* out) override {
    *out = {1, 1};
    return 0;
  }
  eAppErr ImagePointToTexture(const KsPointF& point, KsPointF* out) override {
    *out = point;
    return 0;
  }
  int activations = 0;
};

// A set of counting textures, or one that answers a chosen status.
class CountingSet : public HcTextureSet {
 public:
  eAppErr GetCanCreate() override { return 0; }
  eAppErr GetTextureForQuadrant(uint32_t mask, KsRef<HcTexture>& out) override {
    if (status != 0) return status;
    for (const auto& texture : textures) {
      if (texture->GetProjectionTile().QuadrantMask & mask) {
        out = texture;
        return 0;
      }
    }
    // A set that breaks its promise: the first texture whatever it covers.
    out = textures.empty() ? KsRef<HcTexture>() : KsRef<HcTexture>(textures[0]);
    return 0;
  }
  uint64_t GetUpdateSeed() override { return seed; }
  uint32_t GetTextureCount() override { return static_cast<uint32_t>(textures.size()); }
  KsRef<HcTexture> GetTextureByIndex(uint32_t index) override {
    return index < textures.size() ? KsRef<HcTexture>(textures[index]) : KsRef<HcTexture>();
  }
  std::vector<KsRef<CountingTexture>> textures;
  uint64_t seed = 1;
  eAppErr status = 0;
};

class Grid : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(drawing.Make(64, 64));
    source->SetProjection(KsMakeRef<CylindricalProj>());  // tilt -50 to 50
    set->SetProjection(source->GetProjection());
    set->textures.push_back(KsMakeRef<CountingTexture>(15));
    ASSERT_EQ(0, drawing.renderer->BeginUpdate());
  }
  void TearDown() override { drawing.renderer->EndUpdate(); }

  KsPointF DirectionDeg(uint32_t quadrant, uint32_t strip, uint32_t vertex) {
    KsPointF direction;
    EXPECT_EQ(0, grid->GetQuadrantBuffer(quadrant)->GetVertexPanTiltDeg(strip, vertex, &direction));
    return {direction.x / kDeg, direction.y / kDeg};
  }

  DrawingRenderer drawing;
  KsRef<PerspectiveGrid> grid = KsMakeRef<PerspectiveGrid>();
  KsRef<StubSource> source = KsMakeRef<StubSource>();
  KsRef<CountingSet> set = KsMakeRef<CountingSet>();
};

TEST_F(Grid, TableRowsRunOverTheTiltRange) {
  ASSERT_EQ(0, grid->DrawGrid(15, drawing.renderer, source, set));
  EXPECT_EQ(30u, grid->GetStripsPerQuadrant());
  EXPECT_EQ(70u, grid->GetVerticesPerStrip());
  EXPECT_NEAR(-50.0f, DirectionDeg(0, 0, 0).y, 1e-3);
  EXPECT_NEAR(-47.0f, DirectionDeg(0, 0, 2).y, 1e-3);
  EXPECT_NEAR(49.0f, DirectionDeg(0, 0, 66).y, 1e-3);
  EXPECT_NEAR(50.0f, DirectionDeg(0, 0, 68).y, 1e-3);
  EXPECT_NEAR(93.0f, DirectionDeg(1, 1, 0).x, 1e-3);
  EXPECT_NEAR(96.0f, DirectionDeg(1, 1, 1).x, 1e-3);
  EXPECT_NEAR(360.0f, DirectionDeg(3, 29, 1).x, 1e-3);
}

TEST_F(Grid, DivisionsThatDontSplitAQuadrantLeaveNoGap) {
  ASSERT_EQ(-2, grid->SetLOD(3));
  ASSERT_EQ(-2, grid->SetLOD(3601));
  ASSERT_EQ(0, grid->SetLOD(10));
  ASSERT_EQ(0, grid->DrawGrid(15, drawing.renderer, source, set));
  EXPECT_EQ(3u, grid->GetStripsPerQuadrant());
  EXPECT_NEAR(72.0f, DirectionDeg(0, 2, 0).x, 1e-3);
  EXPECT_NEAR(90.0f, DirectionDeg(0, 2, 1).x, 1e-3);
  EXPECT_NEAR(180.0f, DirectionDeg(1, 2, 1).x, 1e-3);
  ASSERT_EQ(0, grid->SetLOD(4));
  ASSERT_EQ(0, grid->DrawGrid(15, drawing.renderer, source, set));
  EXPECT_EQ(1u, grid->GetStripsPerQuadrant());
  EXPECT_NEAR(0.0f, DirectionDeg(0, 0, 0).x, 1e-3);
  EXPECT_NEAR(90.0f, DirectionDeg(0, 0, 1).x, 1e-3);
}

TEST_F(Grid, ASteadyFrameBuildsAndTexturesNothing) {
  ASSERT_EQ(0, grid->DrawGrid(15, drawing.renderer, source, set));
  EXPECT_EQ(1u, grid->GetBuildCount());
  EXPECT_EQ(1u, grid->GetTexturePassCount());
  // One texture covering every quadrant is activated once a draw.
  EXPECT_EQ(1, set->textures[0]->activations);
  ASSERT_EQ(0, grid->DrawGrid(15, drawing.renderer, source, set));
  EXPECT_EQ(1u, grid->GetBuildCount());
  EXPECT_EQ(1u, grid->GetTexturePassCount());
  // The whole 64-bit seed counts.
  set->seed += uint64_t{1} << 32;
  ASSERT_EQ(0, grid->DrawGrid(15, drawing.renderer, source, set));
  EXPECT_EQ(2u, grid->GetTexturePassCount());
  // A new tilt range rebuilds the mesh.
  source->GetProjection()->SetTiltMaxDeg(40.0f);
  ASSERT_EQ(0, grid->DrawGrid(15, drawing.renderer, source, set));
  EXPECT_EQ(2u, grid->GetBuildCount());
  EXPECT_EQ(3u, grid->GetTexturePassCount());
}

TEST_F(Grid, ASetWithoutAnImageIsNotRememberedAsTextured) {
  set->status = -602;
  EXPECT_EQ(3000, grid->DrawGrid(15, drawing.renderer, source, set));
  EXPECT_EQ(0u, grid->GetTexturePassCount());
  set->status = 0;
  ASSERT_EQ(0, grid->DrawGrid(15, drawing.renderer, source, set));
  EXPECT_EQ(1u, grid->GetTexturePassCount());
}

TEST_F(Grid, ATextureThatDoesntCoverItsQuadrantEndsTheDraw) {
  set->textures[0] = KsMakeRef<CountingTexture>(2);
  EXPECT_EQ(-2, grid->DrawGrid(1, drawing.renderer, source, set));
  set->textures.push_back(KsMakeRef<CountingTexture>(1 | 4 | 8));
  EXPECT_EQ(0, grid->DrawGrid(15, drawing.renderer, source, set));
  EXPECT_EQ(1, set->textures[1]->activations);
  EXPECT_EQ(1, set->textures[0]->activations);
}

TEST_F(Grid, MissingPiecesAreRefused) {
  EXPECT_EQ(-2, grid->DrawGrid(15, nullptr, source, set));
  EXPECT_EQ(-2, grid->DrawGrid(15, drawing.renderer, nullptr, set));
  EXPECT_EQ(-2, grid->DrawGrid(15, drawing.renderer, source, nullptr));
  EXPECT_EQ(-903, grid->DrawGrid(15, drawing.renderer, KsMakeRef<StubSource>(), set));
  EXPECT_EQ(-2, grid->UpdateTextureCoordinates(drawing.renderer, 0, set));
  EXPECT_EQ(-903, grid->UpdateTextureCoordinates(drawing.renderer, 15, set));
}

}  // namespace
