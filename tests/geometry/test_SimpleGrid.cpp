#include <gtest/gtest.h>

#include "GeometryTestSupport.h"
#include "geometry/cSimpleGrid.h"

namespace {

void ExpectVertex(const WaterVertex& v, float x, float y, float z, float u, float tv) {
  EXPECT_FLOAT_EQ(v.x, x);
  EXPECT_FLOAT_EQ(v.y, y);
  EXPECT_FLOAT_EQ(v.z, z);
  EXPECT_FLOAT_EQ(v.u, u);
  EXPECT_FLOAT_EQ(v.v, tv);
}

// Looking along +z from `eye`, 90 degrees wide.
D3DXMATRIX LookAlongZ(const D3DXVECTOR3& eye, float direction) {
  D3DXMATRIX view, projection, result;
  const D3DXVECTOR3 at(eye.x, eye.y, eye.z + direction);
  const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2.0f, 1.0f, 1.0f, 1000.0f);
  return *D3DXMatrixMultiply(&result, &view, &projection);
}

}  // namespace

using SimpleGrid = GeometryTest;

TEST_F(SimpleGrid, CreateLaysVerticesRowByRowAndTwoTrianglesPerQuad) {
  cSimpleGrid grid;
  ASSERT_TRUE(grid.Create(4.0f, 2.0f, 2, 1, D3DXVECTOR2(1.0f, 0.5f), D3DXVECTOR3(10.0f, 3.0f, 20.0f), device));
  EXPECT_EQ(grid.GetVertexCount(), 6);
  EXPECT_EQ(grid.GetTriangleCount(), 4);
  EXPECT_EQ(grid.GetTypeId(), 301);

  D3DVERTEXBUFFER_DESC desc{};
  ASSERT_EQ(grid.GetVertexBuffer()->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(desc.Size, 120u);
  EXPECT_EQ(desc.FVF, static_cast<DWORD>(D3DFVF_XYZ));
  EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);

  const auto v = Read<WaterVertex>(grid.GetVertexBuffer());
  ExpectVertex(v[0], 8.0f, 3.0f, 19.0f, 0.0f, 0.0f);
  ExpectVertex(v[1], 10.0f, 3.0f, 19.0f, 0.5f, 0.0f);
  ExpectVertex(v[2], 12.0f, 3.0f, 19.0f, 1.0f, 0.0f);
  ExpectVertex(v[3], 8.0f, 3.0f, 21.0f, 0.0f, 0.5f);
  ExpectVertex(v[5], 12.0f, 3.0f, 21.0f, 1.0f, 0.5f);

  ASSERT_TRUE(grid.Render(device, nullptr));
  EXPECT_EQ(BoundIndices(), (std::vector<WORD>{0, 3, 1, 1, 3, 4, 1, 4, 2, 2, 4, 5}));
  EXPECT_EQ(grid.GetBoxMax(), D3DXVECTOR3(12.0f, 3.0f, 21.0f));
  EXPECT_EQ(grid.GetBoxMin(), D3DXVECTOR3(8.0f, 3.0f, 19.0f));
}

TEST_F(SimpleGrid, CreateClampsTessellationSizeAndUVScale) {
  cSimpleGrid grid;
  ASSERT_TRUE(grid.Create(-5.0f, 0.0f, 0, -3, D3DXVECTOR2(0.0f, -2.0f), D3DXVECTOR3(0, 0, 0), device));
  EXPECT_EQ(grid.GetVertexCount(), 4);
  EXPECT_EQ(grid.GetTriangleCount(), 2);
  EXPECT_EQ(grid.GetUVScale(), D3DXVECTOR2(1.0f, 1.0f));
  const auto v = Read<WaterVertex>(grid.GetVertexBuffer());
  // Negative size x became 1; size z of exactly 0 stays, so rows coincide.
  ExpectVertex(v[0], -0.5f, 0.0f, 0.0f, 0.0f, 0.0f);
  ExpectVertex(v[3], 0.5f, 0.0f, 0.0f, 1.0f, 1.0f);
}

TEST_F(SimpleGrid, RefusesGridsBeyondSixteenBitIndices) {
  EXPECT_TRUE(cSimpleGrid::WithinLimits(255, 255));  // 65,536 vertices
  EXPECT_FALSE(cSimpleGrid::WithinLimits(256, 255));
  EXPECT_FALSE(cSimpleGrid::WithinLimits(300, 300));
  EXPECT_FALSE(cSimpleGrid::WithinLimits(2000000000, 2000000000));

  cSimpleGrid grid;
  ASSERT_TRUE(grid.Create(1.0f, 1.0f, 2, 2, D3DXVECTOR2(1.0f, 1.0f), D3DXVECTOR3(0, 0, 0), device));
  EXPECT_FALSE(grid.Create(1.0f, 1.0f, 300, 300, D3DXVECTOR2(1.0f, 1.0f), D3DXVECTOR3(0, 0, 0), device));
  // The refused call leaves the previous grid as it was.
  EXPECT_EQ(grid.GetVertexCount(), 9);
  EXPECT_TRUE(grid.Render(device, nullptr));

  cSimpleGrid largest;
  ASSERT_TRUE(largest.Create(1.0f, 1.0f, 255, 255, D3DXVECTOR2(1.0f, 1.0f), D3DXVECTOR3(0, 0, 0), device));
  ASSERT_TRUE(largest.Render(device, nullptr));
  EXPECT_EQ(BoundIndices().back(), 65535);
}

TEST_F(SimpleGrid, ExtrudeSamplesTheNearestTexelAndWrapsAtOne) {
  FakeHeightmap heightmap(4);
  cSimpleGrid grid;
  ASSERT_TRUE(grid.Create(8.0f, 8.0f, 4, 4, D3DXVECTOR2(1.0f, 1.0f), D3DXVECTOR3(0.0f, 1.0f, 0.0f), device));
  ASSERT_TRUE(grid.Extrude(&heightmap, 2.0f, 1.0f, 1.0f));
  const auto v = Read<WaterVertex>(grid.GetVertexBuffer());
  for (int j = 0; j <= 4; ++j) {
    for (int i = 0; i <= 4; ++i) {
      // The last row and column (uv 1.0) read texel 0 again.
      EXPECT_FLOAT_EQ(v[j * 5 + i].y, 2.0f * FakeHeightmap::Sample(j % 4, i % 4) + 1.0f) << i << "," << j;
    }
  }
  EXPECT_EQ(grid.GetBoxMax().y, 3.0f);
  EXPECT_EQ(grid.GetBoxMin().y, 1.0f);

  // A uv scale of 2 repeats the tile twice across the grid and is written into the vertices.
  ASSERT_TRUE(grid.Extrude(&heightmap, 1.0f, 2.0f, 0.5f));
  const auto w = Read<WaterVertex>(grid.GetVertexBuffer());
  EXPECT_FLOAT_EQ(w[1 * 5 + 3].y, FakeHeightmap::Sample(0, 2) + 1.0f);  // v = 0.125, u = 1.5
  EXPECT_FLOAT_EQ(w[4 * 5 + 3].y, FakeHeightmap::Sample(2, 2) + 1.0f);  // v = 0.5
  EXPECT_FLOAT_EQ(w[4 * 5 + 3].u, 1.5f);
  EXPECT_FLOAT_EQ(w[4 * 5 + 3].v, 0.5f);
  EXPECT_EQ(grid.GetUVScale(), D3DXVECTOR2(2.0f, 0.5f));
}

TEST_F(SimpleGrid, ExtrudeWithoutHeightsFailsAndLeavesTheVertices) {
  cSimpleGrid grid;
  FakeHeightmap heightmap(4);
  EXPECT_FALSE(grid.Extrude(&heightmap, 1.0f, 1.0f, 1.0f));  // not created
  ASSERT_TRUE(grid.Create(4.0f, 4.0f, 2, 2, D3DXVECTOR2(1.0f, 1.0f), D3DXVECTOR3(0, 0, 0), device));
  const auto before = Read<WaterVertex>(grid.GetVertexBuffer());
  EXPECT_FALSE(grid.Extrude(nullptr, 1.0f, 1.0f, 1.0f));
  heightmap.DropHeights();
  EXPECT_FALSE(grid.Extrude(&heightmap, 1.0f, 1.0f, 1.0f));
  const auto after = Read<WaterVertex>(grid.GetVertexBuffer());
  for (size_t k = 0; k < before.size(); ++k) ExpectVertex(after[k], before[k].x, before[k].y, before[k].z, before[k].u, before[k].v);
}

TEST_F(SimpleGrid, SetOriginMovesTheBoxAtOnceAndTheVerticesAtTheNextExtrude) {
  FakeHeightmap heightmap(4);
  cSimpleGrid grid;
  ASSERT_TRUE(grid.Create(2.0f, 2.0f, 1, 1, D3DXVECTOR2(1.0f, 1.0f), D3DXVECTOR3(0, 0, 0), device));
  ASSERT_TRUE(grid.SetOrigin(D3DXVECTOR3(5.0f, 2.0f, -3.0f)));
  EXPECT_EQ(grid.GetBoxMax(), D3DXVECTOR3(6.0f, 2.0f, -2.0f));
  EXPECT_EQ(grid.GetBoxMin(), D3DXVECTOR3(4.0f, 2.0f, -4.0f));
  EXPECT_EQ(Read<WaterVertex>(grid.GetVertexBuffer())[3].x, 1.0f);

  ASSERT_TRUE(grid.Extrude(&heightmap, 0.0f, 1.0f, 1.0f));
  auto v = Read<WaterVertex>(grid.GetVertexBuffer());
  ExpectVertex(v[0], 4.0f, 2.0f, -4.0f, 0.0f, 0.0f);
  ExpectVertex(v[3], 6.0f, 2.0f, -2.0f, 1.0f, 1.0f);
  // Moved once only.
  ASSERT_TRUE(grid.Extrude(&heightmap, 0.0f, 1.0f, 1.0f));
  v = Read<WaterVertex>(grid.GetVertexBuffer());
  EXPECT_EQ(v[3].x, 6.0f);
  EXPECT_EQ(v[3].z, -2.0f);
}

TEST_F(SimpleGrid, RenderDrawsTheWholeGridOnceUnlessTheBoxIsOutOfView) {
  cSimpleGrid grid;
  EXPECT_FALSE(grid.Render(device, nullptr));  // not created
  ASSERT_TRUE(grid.Create(10.0f, 10.0f, 3, 2, D3DXVECTOR2(1.0f, 1.0f), D3DXVECTOR3(0, 0, 20.0f), device));
  EXPECT_FALSE(grid.Render(nullptr, nullptr));

  const D3DXMATRIX towards = LookAlongZ(D3DXVECTOR3(0.0f, 1.0f, 0.0f), 1.0f);
  ASSERT_TRUE(grid.Render(device, &towards));
  ASSERT_EQ(Draws().size(), 1u);
  EXPECT_EQ(Draws()[0].type, D3DPT_TRIANGLELIST);
  EXPECT_TRUE(Draws()[0].indexed);
  EXPECT_EQ(Draws()[0].primitiveCount, 12u);
  EXPECT_EQ(Draws()[0].vertexCount, 12u);
  EXPECT_EQ(BoundDeclarationLength(), 3u);
  UINT stride = 0;
  EXPECT_EQ(BoundStream(0, &stride), grid.GetVertexBuffer());
  EXPECT_EQ(stride, 20u);
  EXPECT_EQ(BoundStream(1), nullptr);
  EXPECT_EQ(grid.GetDrawCallCount(), 1);

  const D3DXMATRIX away = LookAlongZ(D3DXVECTOR3(0.0f, 1.0f, 0.0f), -1.0f);
  EXPECT_TRUE(grid.Render(device, &away));
  EXPECT_EQ(Draws().size(), 1u);
}

TEST_F(SimpleGrid, ExtrudedFlagReachesTheSettingsThroughTheNextRender) {
  FakeHeightmap heightmap(4);
  cSimpleGrid grid;
  ASSERT_TRUE(grid.Create(6.0f, 4.0f, 3, 2, D3DXVECTOR2(2.0f, 3.0f), D3DXVECTOR3(1.0f, 2.0f, 3.0f), device));
  cEngineSettings settings{};
  ASSERT_TRUE(grid.Extrude(&heightmap, 0.5f, 4.0f, 5.0f));
  EXPECT_FALSE(grid.FillSettings(&settings)->extrudeGeometry);
  ASSERT_TRUE(grid.Render(device, nullptr));
  EXPECT_TRUE(grid.FillSettings(&settings)->extrudeGeometry);
  EXPECT_EQ(settings.geometryType, 301);
  EXPECT_EQ(settings.geometryOriginX, 1.0f);
  EXPECT_EQ(settings.geometryOriginY, 2.0f);
  EXPECT_EQ(settings.geometryOriginZ, 3.0f);
  EXPECT_EQ(settings.geometryExtrusionStrength, 0.5f);
  EXPECT_EQ(settings.geometryExtrusionUVScaleX, 4.0f);
  EXPECT_EQ(settings.geometryExtrusionUVScaleY, 5.0f);
  EXPECT_EQ(settings.geometryDefaultUVScaleX, 2.0f);
  EXPECT_EQ(settings.geometryDefaultUVScaleY, 3.0f);
  EXPECT_EQ(settings.simpleGridSizeX, 6.0f);
  EXPECT_EQ(settings.simpleGridSizeZ, 4.0f);
  EXPECT_EQ(settings.simpleGridTessellationX, 3);
  EXPECT_EQ(settings.simpleGridTessellationZ, 2);
  ASSERT_TRUE(grid.Render(device, nullptr));  // a frame without extrusion
  EXPECT_FALSE(grid.FillSettings(&settings)->extrudeGeometry);

  // The default uv scale is what ExtrudeWithDefaultUV samples with.
  ASSERT_TRUE(grid.ExtrudeWithDefaultUV(&heightmap, 1.0f));
  EXPECT_EQ(grid.GetUVScale(), D3DXVECTOR2(2.0f, 3.0f));
}

TEST_F(SimpleGrid, GetHeightAtReadsTheSampleUnderThePoint) {
  FakeHeightmap heightmap(4);
  cSimpleGrid grid;
  ASSERT_TRUE(grid.Create(8.0f, 8.0f, 4, 4, D3DXVECTOR2(1.0f, 1.0f), D3DXVECTOR3(0.0f, 7.0f, 0.0f), device));
  EXPECT_EQ(grid.GetHeightAt(0.0f, 0.0f), 7.0f);  // no heightmap yet
  ASSERT_TRUE(grid.Extrude(&heightmap, 3.0f, 1.0f, 1.0f));
  EXPECT_EQ(grid.GetHeightAt(-3.5f, 1.0f), FakeHeightmap::Sample(2, 0));
  EXPECT_EQ(grid.GetHeightAt(4.5f, 0.0f), -1.0f);
  heightmap.DropHeights();
  EXPECT_EQ(grid.GetHeightAt(0.0f, 0.0f), 0.0f);
}

TEST_F(SimpleGrid, ExtraStreamAddsTheSecondLayoutWhenTheDeviceHasTwoStreams) {
  cSimpleGrid grid;
  ASSERT_TRUE(grid.Create(2.0f, 2.0f, 2, 2, D3DXVECTOR2(1.0f, 1.0f), D3DXVECTOR3(0, 0, 0), device));
  ASSERT_TRUE(grid.CreateExtraStream(device));
  D3DVERTEXBUFFER_DESC desc{};
  ASSERT_EQ(grid.GetExtraStream()->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(desc.Size, 9u * 16u);
  EXPECT_EQ(desc.FVF, 0x140u);
  ASSERT_TRUE(grid.Render(device, nullptr));
  EXPECT_EQ(BoundDeclarationLength(), 5u);
  UINT stride = 0;
  EXPECT_EQ(BoundStream(1, &stride), grid.GetExtraStream());
  EXPECT_EQ(stride, 16u);
}

TEST_F(SimpleGrid, ExtraStreamIsRefusedOnADeviceWithOneStream) {
  Start(platform::HeadlessProfile::OneStream());
  cSimpleGrid grid;
  EXPECT_FALSE(grid.CreateExtraStream(device));  // not created either
  ASSERT_TRUE(grid.Create(2.0f, 2.0f, 2, 2, D3DXVECTOR2(1.0f, 1.0f), D3DXVECTOR3(0, 0, 0), device));
  EXPECT_FALSE(grid.CreateExtraStream(device));
  EXPECT_EQ(grid.GetExtraStream(), nullptr);
  ASSERT_TRUE(grid.Render(device, nullptr));
  EXPECT_EQ(BoundDeclarationLength(), 3u);
  EXPECT_EQ(Draws().size(), 1u);
}
