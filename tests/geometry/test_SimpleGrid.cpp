#include <gtest/gtest.h>

#include <tuple>

#include "GeometryTestSupport.h"
#include "geometry/cSM1VertexWriter.h"
#include "geometry/cSimpleGrid.h"

class SimpleGrid : public GeometryTest {
 protected:
  static inline const D3DXVECTOR2 kUnitUV{1.0f, 1.0f};
  static inline const D3DXVECTOR3 kOrigin{0.0f, 0.0f, 0.0f};
  std::vector<WaterVertex> Vertices() { return Read<WaterVertex>(grid.GetVertexBuffer()); }
  cSimpleGrid grid;
  NamedHeightmap heightmap{4};
};

TEST_F(SimpleGrid, CreateLaysVerticesRowByRowAndTwoTrianglesPerQuad) {
  EXPECT_FALSE(grid.Render(device, nullptr));  // not created
  ASSERT_TRUE(grid.Create(4.0f, 2.0f, 2, 1, D3DXVECTOR2(1.0f, 0.5f), D3DXVECTOR3(10.0f, 3.0f, 20.0f), device));
  EXPECT_EQ(std::tuple(grid.GetVertexCount(), grid.GetTriangleCount()), std::tuple(6, 4));
  const auto v = Vertices();
  ASSERT_EQ(v.size(), 6u);
  ExpectVertex(v[0], 8.0f, 3.0f, 19.0f, 0.0f, 0.0f);
  ExpectVertex(v[1], 10.0f, 3.0f, 19.0f, 0.5f, 0.0f);
  ExpectVertex(v[3], 8.0f, 3.0f, 21.0f, 0.0f, 0.5f);
  ExpectVertex(v[5], 12.0f, 3.0f, 21.0f, 1.0f, 0.5f);
  EXPECT_EQ(std::tuple(grid.GetBoxMin(), grid.GetBoxMax()), std::tuple(D3DXVECTOR3(8, 3, 19), D3DXVECTOR3(12, 3, 21)));
  ASSERT_TRUE(grid.Render(device, nullptr));
  EXPECT_EQ(BoundIndices(), (std::vector<WORD>{0, 3, 1, 1, 3, 4, 1, 4, 2, 2, 4, 5}));
  // Negative sizes, tessellations and uv scales are raised; a size of exactly 0 stays.
  ASSERT_TRUE(grid.Create(-5.0f, 0.0f, 0, -3, D3DXVECTOR2(0.0f, -2.0f), kOrigin, device));
  EXPECT_EQ(std::tuple(grid.GetVertexCount(), grid.GetUVScale()), std::tuple(4, kUnitUV));
  ExpectVertex(Vertices()[0], -0.5f, 0.0f, 0.0f, 0.0f, 0.0f);
  ExpectVertex(Vertices()[3], 0.5f, 0.0f, 0.0f, 1.0f, 1.0f);
}

TEST_F(SimpleGrid, RefusesGridsBeyondSixteenBitIndices) {
  EXPECT_TRUE(cSimpleGrid::WithinLimits(255, 255));  // 65,536 vertices
  EXPECT_FALSE(cSimpleGrid::WithinLimits(256, 255));
  EXPECT_FALSE(cSimpleGrid::WithinLimits(2000000000, 2000000000));
  ASSERT_TRUE(grid.Create(1.0f, 1.0f, 2, 2, kUnitUV, kOrigin, device));
  EXPECT_FALSE(grid.Create(1.0f, 1.0f, 300, 300, kUnitUV, kOrigin, device));
  EXPECT_EQ(grid.GetVertexCount(), 9);  // the previous grid stays
  ASSERT_TRUE(grid.Create(1.0f, 1.0f, 255, 255, kUnitUV, kOrigin, device));
  ASSERT_TRUE(grid.Render(device, nullptr));
  EXPECT_EQ(BoundIndices().back(), 65535);
}

TEST_F(SimpleGrid, ExtrudeSamplesTheNearestTexelAndWrapsAtOne) {
  EXPECT_FALSE(grid.Extrude(&heightmap, 1.0f, 1.0f, 1.0f));  // not created
  ASSERT_TRUE(grid.Create(8.0f, 8.0f, 4, 4, kUnitUV, D3DXVECTOR3(0.0f, 1.0f, 0.0f), device));
  ASSERT_TRUE(grid.Extrude(&heightmap, 2.0f, 1.0f, 1.0f));
  const auto v = Vertices();
  for (int j = 0; j <= 4; ++j)
    for (int i = 0; i <= 4; ++i) EXPECT_FLOAT_EQ(v[j * 5 + i].y, 2.0f * Sample(j % 4, i % 4) + 1.0f) << i << "," << j;
  EXPECT_EQ(std::tuple(grid.GetBoxMin().y, grid.GetBoxMax().y), std::tuple(1.0f, 3.0f));
  // A uv scale of 2 repeats the tile twice across the grid and is written into the vertices.
  ASSERT_TRUE(grid.Extrude(&heightmap, 1.0f, 2.0f, 0.5f));
  const auto w = Vertices();
  EXPECT_FLOAT_EQ(w[1 * 5 + 3].y, Sample(0, 2) + 1.0f);  // v = 0.125, u = 1.5
  ExpectVertex(w[4 * 5 + 3], 2.0f, Sample(2, 2) + 1.0f, 4.0f, 1.5f, 0.5f);
  // Without heights extrusion fails and leaves the vertices.
  EXPECT_FALSE(grid.Extrude(nullptr, 1.0f, 1.0f, 1.0f));
  heightmap.heights.clear();
  EXPECT_FALSE(grid.Extrude(&heightmap, 5.0f, 1.0f, 1.0f));
  for (size_t k = 0; k < w.size(); ++k) EXPECT_EQ(Vertices()[k].y, w[k].y) << k;
}

TEST_F(SimpleGrid, SetOriginMovesTheBoxAtOnceAndTheVerticesAtTheNextExtrude) {
  ASSERT_TRUE(grid.Create(2.0f, 2.0f, 1, 1, kUnitUV, kOrigin, device));
  ASSERT_TRUE(grid.SetOrigin(D3DXVECTOR3(5.0f, 2.0f, -3.0f)));
  EXPECT_EQ(std::tuple(grid.GetBoxMin(), grid.GetBoxMax()), std::tuple(D3DXVECTOR3(4, 2, -4), D3DXVECTOR3(6, 2, -2)));
  EXPECT_EQ(Vertices()[3].x, 1.0f);
  for (int pass = 0; pass < 2; ++pass) {  // moved once only
    ASSERT_TRUE(grid.Extrude(&heightmap, 0.0f, 1.0f, 1.0f));
    ExpectVertex(Vertices()[0], 4.0f, 2.0f, -4.0f, 0.0f, 0.0f);
    ExpectVertex(Vertices()[3], 6.0f, 2.0f, -2.0f, 1.0f, 1.0f);
  }
}

TEST_F(SimpleGrid, RenderDrawsTheWholeGridOnceUnlessTheBoxIsOutOfView) {
  ASSERT_TRUE(grid.Create(10.0f, 10.0f, 3, 2, kUnitUV, D3DXVECTOR3(0, 0, 20.0f), device));
  EXPECT_FALSE(grid.Render(nullptr, nullptr));
  const D3DXMATRIX towards = LookAt(D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, 1, 1));
  ASSERT_TRUE(grid.Render(device, &towards));
  ASSERT_EQ(Draws().size(), 1u);
  const platform::DrawRecord& draw = Draws()[0];
  EXPECT_EQ(std::tuple(draw.type, draw.indexed, draw.primitiveCount, draw.vertexCount, BoundDeclarationLength()),
            std::tuple(D3DPT_TRIANGLELIST, true, 12u, 12u, 3u));
  UINT stride = 0;
  EXPECT_EQ(BoundStream(0, &stride), grid.GetVertexBuffer());
  EXPECT_EQ(std::tuple(stride, BoundStream(1)), std::tuple(20u, nullptr));
  const D3DXMATRIX away = LookAt(D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, 1, -1));
  EXPECT_TRUE(grid.Render(device, &away));
  EXPECT_EQ(Draws().size(), 1u);
}

TEST_F(SimpleGrid, ExtrudedFlagReachesTheSettingsThroughTheNextRenderOnly) {
  ASSERT_TRUE(grid.Create(6.0f, 4.0f, 3, 2, D3DXVECTOR2(2.0f, 3.0f), D3DXVECTOR3(1.0f, 2.0f, 3.0f), device));
  cEngineSettings settings{};
  ASSERT_TRUE(grid.Extrude(&heightmap, 0.5f, 4.0f, 5.0f));
  EXPECT_FALSE(grid.FillSettings(&settings)->extrudeGeometry);
  ASSERT_TRUE(grid.Render(device, nullptr));
  EXPECT_TRUE(grid.FillSettings(&settings)->extrudeGeometry);
  const cEngineSettings& s = settings;
  EXPECT_EQ(std::tuple(s.geometryExtrusionUVScaleX, s.geometryDefaultUVScaleY, s.simpleGridTessellationZ),
            std::tuple(4.0f, 3.0f, 2));
  ASSERT_TRUE(grid.Render(device, nullptr));
  EXPECT_FALSE(grid.FillSettings(&settings)->extrudeGeometry);
  ASSERT_TRUE(grid.ExtrudeWithDefaultUV(&heightmap, 1.0f));
  EXPECT_EQ(grid.GetUVScale(), D3DXVECTOR2(2.0f, 3.0f));
}

TEST_F(SimpleGrid, GetHeightAtReadsTheSampleUnderThePoint) {
  ASSERT_TRUE(grid.Create(8.0f, 8.0f, 4, 4, kUnitUV, D3DXVECTOR3(0.0f, 7.0f, 0.0f), device));
  EXPECT_EQ(grid.GetHeightAt(0.0f, 0.0f), 7.0f);  // no heightmap yet
  ASSERT_TRUE(grid.Extrude(&heightmap, 3.0f, 1.0f, 1.0f));
  EXPECT_EQ(std::tuple(grid.GetHeightAt(-3.5f, 1.0f), grid.GetHeightAt(4.5f, 0.0f)), std::tuple(Sample(2, 0), -1.0f));
  heightmap.heights.clear();
  EXPECT_EQ(grid.GetHeightAt(0.0f, 0.0f), 0.0f);
}

// Stream 1 needs a second stream; a writer fills it for the whole grid.
TEST_F(SimpleGrid, ExtraStreamNeedsTwoStreamsAddsTheSecondLayoutAndIsWrittenWhole) {
  std::vector<D3DXVECTOR3> normals(4);
  for (int k = 0; k < 4; ++k) normals[k] = D3DXVECTOR3(static_cast<float>(k), 0.0f, 0.0f);
  const cSM1VertexWriter writer(normals.data(), 2);
  for (bool twoStreams : {true, false}) {
    SCOPED_TRACE(twoStreams);
    Start(twoStreams ? platform::HeadlessProfile::ShaderModel3() : platform::HeadlessProfile::OneStream());
    cSimpleGrid g;
    EXPECT_FALSE(g.CreateExtraStream(device));  // not created
    ASSERT_TRUE(g.Create(2.0f, 2.0f, 2, 2, kUnitUV, kOrigin, device));
    EXPECT_FALSE(WriteExtraStream(&g, writer));  // no stream 1 yet
    EXPECT_EQ(g.CreateExtraStream(device), twoStreams);
    ASSERT_TRUE(g.Render(device, nullptr));
    EXPECT_EQ(BoundDeclarationLength(), twoStreams ? 5u : 3u);
    UINT stride = 0;
    EXPECT_EQ(BoundStream(1, &stride), g.GetExtraStream());
    if (!twoStreams) continue;
    EXPECT_EQ(stride, 16u);
    ASSERT_TRUE(WriteExtraStream(&g, writer));
    const auto extra = Read<WaterVertexExtra>(g.GetExtraStream());
    ASSERT_EQ(extra.size(), 9u);
    // Vertex (column i, row j) has uv (i, j) / 2: texel (i mod 2, j mod 2) of the 2 x 2 map.
    for (int k = 0; k < 9; ++k) EXPECT_EQ(extra[k].s, static_cast<float>(k / 3 % 2 * 2 + k % 3 % 2)) << k;
  }
}
