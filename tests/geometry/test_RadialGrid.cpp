#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "GeometryTestSupport.h"
#include "geometry/cRadialGrid.h"

class RadialGrid : public GeometryTest {
 protected:
  // Offsets 1, 2: two rings, radius 1 and the maximum 3, four vertices each.
  void CreateSmallDisc(const D3DXVECTOR2& uv, const D3DXVECTOR3& origin) {
    ASSERT_TRUE(grid.Create(3.0f, 4, 1.0f, 2.0f, 1.0f, uv, origin, device));
  }
  std::vector<WaterVertex> Vertices() { return Read<WaterVertex>(grid.GetVertexBuffer()); }
  cRadialGrid grid;
  NamedHeightmap heightmap{4};
};

TEST_F(RadialGrid, RingRadiusesGrowGeometricallyAndTheLastRingIsTheMaximum) {
  ASSERT_TRUE(grid.Create(100.0f, 4, 10.0f, 2.0f, 1.0f, D3DXVECTOR2(1, 1), D3DXVECTOR3(0, 0, 0), device));
  EXPECT_EQ(std::tuple(grid.GetVertexCount(), grid.GetTriangleCount()), std::tuple(33, 60));
  const auto v = Vertices();
  const float radii[] = {10, 11, 13, 17, 25, 41, 73, 100};
  for (int k = 0; k < 8; ++k) EXPECT_NEAR(std::hypot(v[1 + k * 4].x, v[1 + k * 4].z), radii[k], 1e-4f) << k;
}

TEST_F(RadialGrid, SmallDiscByHand) {
  CreateSmallDisc(D3DXVECTOR2(2.0f, 1.0f), D3DXVECTOR3(5.0f, 1.0f, 7.0f));
  const auto v = Vertices();
  ASSERT_EQ(v.size(), 9u);
  ExpectVertex(v[0], 5.0f, 1.0f, 7.0f, 0.5f, 0.5f);  // the centre's uv is not scaled
  // Rings at radius 1 and 3, the outer turned half a step (45 degrees) from the
  // inner; u and v run across the disc's width from 0 to the uv scale (2, 1).
  for (int k = 0; k < 8; ++k) {
    const float radius = k < 4 ? 1.0f : 3.0f, angle = (k % 4 + (k < 4 ? 0.0f : 0.5f)) * D3DX_PI / 2.0f;
    const float dx = radius * std::cos(angle), dz = radius * std::sin(angle);
    EXPECT_NEAR(v[1 + k].x, 5.0f + dx, 1e-5f) << k;
    EXPECT_NEAR(v[1 + k].z, 7.0f + dz, 1e-5f) << k;
    EXPECT_NEAR(v[1 + k].u, (dx / 3.0f + 1.0f) * 0.5f * 2.0f, 1e-5f) << k;
    EXPECT_NEAR(v[1 + k].v, (dz / 3.0f + 1.0f) * 0.5f, 1e-5f) << k;
  }
  ASSERT_TRUE(grid.Render(device, nullptr));
  EXPECT_EQ(BoundIndices(), (std::vector<WORD>{0, 2, 1, 0, 3, 2, 0, 4, 3, 0, 1, 4,  // fan
                                               5, 1, 2, 5, 2, 6, 6, 2, 3, 6, 3, 7,  // ring 1
                                               7, 3, 4, 7, 4, 8, 8, 4, 1, 8, 1, 5}));
  EXPECT_EQ(std::tuple(grid.GetBoxMin(), grid.GetBoxMax()), std::tuple(D3DXVECTOR3(2, 1, 4), D3DXVECTOR3(8, 1, 10)));
  ASSERT_EQ(Draws().size(), 1u);
  EXPECT_EQ(Draws()[0].primitiveCount, 12u);
}

TEST_F(RadialGrid, CreateClampsTheShapeAndRefusesDiscsBeyondSixteenBitIndices) {
  // Maximum below the first radius: a single ring, a fan of 3 (raised from 2) triangles.
  ASSERT_TRUE(grid.Create(5.0f, 2, 10.0f, 1.0f, 0.0f, D3DXVECTOR2(1, 1), D3DXVECTOR3(0, 0, 0), device));
  EXPECT_EQ(std::tuple(grid.GetMaxRadius(), grid.GetVertexCount(), grid.GetTriangleCount()), std::tuple(10.0f, 4, 3));
  // The maximum is raised to -1 first, then <= 0 becomes 1.
  const cRadialGrid::Shape clamped = cRadialGrid::Shape{-4.0f, 3, -1.0f, 3.0f, 2.0f}.Clamped();
  EXPECT_EQ(std::tuple(clamped.maxRadius, clamped.firstRadius), std::tuple(1.0f, 1.0f));
  const cRadialGrid::Shape standard{2000.0f, 192, 1.0f, 1.01f, 300.0f};  // the default: 192 x 192
  EXPECT_EQ(standard.RingCount(), 192);
  EXPECT_TRUE(cRadialGrid::WithinLimits(standard));
  EXPECT_FALSE(cRadialGrid::WithinLimits(cRadialGrid::Shape{2000.0f, 1000, 1.0f, 1.01f, 300.0f}));
  // A growth factor barely above 1 would take billions of rings; the count stops early.
  const cRadialGrid::Shape slow{1e30f, 3, 1.0f, 1.0000001f, 1.0f};
  EXPECT_EQ(slow.RingCount(), cRadialGrid::MAX_RINGS + 1);
  EXPECT_FALSE(cRadialGrid::WithinLimits(slow));
  cRadialGrid refused;
  EXPECT_FALSE(refused.Create(2000.0f, 1000, 1.0f, 1.01f, 300.0f, D3DXVECTOR2(1, 1), D3DXVECTOR3(0, 0, 0), device));
  EXPECT_EQ(refused.GetVertexCount(), -1);
  EXPECT_FALSE(refused.Render(device, nullptr));
}

TEST_F(RadialGrid, ExtrudeRescalesTexcoordsAndFadesHeightsWithDistance) {
  CreateSmallDisc(D3DXVECTOR2(1, 1), D3DXVECTOR3(0.0f, 2.0f, 0.0f));
  grid.SetHeightFalloffDistance(2.0f);
  ASSERT_TRUE(grid.Extrude(&heightmap, 3.0f, 2.0f, 2.0f));
  EXPECT_EQ(grid.GetUVScale(), D3DXVECTOR2(2.0f, 2.0f));
  const auto v = Vertices();
  // Centre: uv (1, 1) wraps to texel (0, 0); no falloff.
  EXPECT_EQ(std::tuple(v[0].u, v[0].y), std::tuple(1.0f, 3.0f * Sample(0, 0) + 2.0f));
  // Ring 0, j = 0: at (1, 0), uv (4/3, 1) reads row 0, column 5 mod 4; a quarter of the height fades.
  EXPECT_FLOAT_EQ(v[1].u, 4.0f / 3.0f);
  EXPECT_FLOAT_EQ(v[1].y, 0.75f * 3.0f * Sample(0, 1) + 2.0f);
  for (int k = 5; k < 9; ++k) EXPECT_EQ(v[k].y, 2.0f) << k;  // beyond the falloff distance
  EXPECT_EQ(grid.GetBoxMax().y, 5.0f);
  // The same scale again leaves the texture coordinates where they are.
  ASSERT_TRUE(grid.ExtrudeWithDefaultUV(&heightmap, 3.0f));
  EXPECT_FLOAT_EQ(Vertices()[1].u, 4.0f / 3.0f);
  grid.SetHeightFalloffDistance(0.0f);  // flattens the whole disc
  ASSERT_TRUE(grid.Extrude(&heightmap, 3.0f, 1.0f, 1.0f));
  for (const WaterVertex& vertex : Vertices()) EXPECT_EQ(vertex.y, 2.0f);
}

TEST_F(RadialGrid, SetOriginMovesTheSquareBoxAndTheVerticesFollowAtTheNextExtrude) {
  CreateSmallDisc(D3DXVECTOR2(1, 1), D3DXVECTOR3(0, 0, 0));
  ASSERT_TRUE(grid.SetOrigin(D3DXVECTOR3(10.0f, 1.0f, 20.0f)));
  EXPECT_EQ(std::tuple(grid.GetBoxMin(), grid.GetBoxMax()), std::tuple(D3DXVECTOR3(7, 1, 17), D3DXVECTOR3(13, 1, 23)));
  EXPECT_EQ(Vertices()[0].x, 0.0f);
  grid.SetHeightFalloffDistance(100.0f);
  ASSERT_TRUE(grid.Extrude(&heightmap, 0.0f, 1.0f, 1.0f));
  const auto v = Vertices();
  EXPECT_EQ(std::tuple(v[0].x, v[0].z), std::tuple(10.0f, 20.0f));
  EXPECT_NEAR(v[1].x, 11.0f, 1e-5f);
  EXPECT_EQ(grid.GetHeightAt(10.0f, 20.0f), -1.0f);
}
