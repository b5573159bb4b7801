#include <gtest/gtest.h>

#include "Renderer/GLVertexBuffer.h"

namespace {

KsRef<GLVertexBuffer> Shaped(uint32_t perStrip, uint32_t strips) {
  auto buffer = KsMakeRef<GLVertexBuffer>();
  EXPECT_EQ(0, buffer->SetVerticesPerStrip(perStrip));
  EXPECT_EQ(0, buffer->SetStripCount(strips));
  EXPECT_EQ(0, buffer->AllocateVertices());
  return buffer;
}

TEST(VertexBuffer, ShapeIsFixedOnceAllocated) {
  auto buffer = KsMakeRef<GLVertexBuffer>();
  EXPECT_EQ(-2, buffer->SetVerticesPerStrip(0));
  EXPECT_EQ(-2, buffer->SetStripCount(0));
  ASSERT_EQ(0, buffer->SetVerticesPerStrip(4));
  ASSERT_EQ(0, buffer->SetStripCount(3));
  ASSERT_EQ(0, buffer->AllocateVertices());
  EXPECT_EQ(12u, buffer->GetMaxIndex());
  EXPECT_EQ(-903, buffer->SetStripCount(5));
  EXPECT_EQ(-903, buffer->SetVerticesPerStrip(2));
}

TEST(VertexBuffer, IndicesAreCheckedPerCoordinate) {
  auto buffer = Shaped(4, 3);
  struct Case {
    uint32_t strip, vertex;
    eAppErr expected;
  };
  // (0, 5) would land inside the grid as element 5 if only the product were checked.
  for (const Case& c : {Case{2, 3, 0}, Case{0, 0, 0}, Case{3, 0, -2}, Case{0, 4, -2}, Case{0, 5, -2},
                        Case{1, 0xFFFFFFFFu, -2}}) {
    EXPECT_EQ(c.expected, buffer->SetVertexXYZ(c.strip, c.vertex, 1, 2, 3)) << c.strip << "," << c.vertex;
    EXPECT_EQ(c.expected, buffer->SetVertexPanTiltDeg(c.strip, c.vertex, {1, 2}));
    EXPECT_EQ(c.expected, buffer->SetVertexTexCoords(c.strip, c.vertex, {1, 2}));
  }
  KsPointF panTilt{9, 9};
  EXPECT_EQ(-2, buffer->GetVertexPanTiltDeg(0, 4, &panTilt));
  EXPECT_EQ(9.0f, panTilt.x);
  ASSERT_EQ(0, buffer->SetVertexPanTiltDeg(2, 1, {30, -10}));
  ASSERT_EQ(0, buffer->GetVertexPanTiltDeg(2, 1, &panTilt));
  EXPECT_EQ(30.0f, panTilt.x);
  EXPECT_EQ(-10.0f, panTilt.y);
}

TEST(VertexBuffer, WithoutTextureCoordinatesRefusesThem) {
  auto buffer = KsMakeRef<GLVertexBuffer>();
  buffer->SetUseTexCoords(false);
  buffer->SetVerticesPerStrip(2);
  buffer->SetStripCount(2);
  ASSERT_EQ(0, buffer->AllocateVertices());
  EXPECT_EQ(-2, buffer->SetVertexTexCoords(0, 0, {0, 0}));
  EXPECT_EQ(0, buffer->SetVertexXYZ(1, 1, 0, 0, 0));
}

TEST(VertexBuffer, HugeMeshesAreRefused) {
  auto buffer = KsMakeRef<GLVertexBuffer>();
  buffer->SetVerticesPerStrip(1u << 16);
  buffer->SetStripCount(1u << 16);
  EXPECT_EQ(-2, buffer->AllocateVertices());
  EXPECT_FALSE(buffer->IsAllocated());
}

}  // namespace
