#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "GeometryTestSupport.h"
#include "geometry/cGeomipmapGrid.h"

class GeomipmapGrid : public GeometryTest {
 protected:
  std::vector<int> Levels() {
    std::vector<int> levels;
    for (const auto& patch : grid.GetPatches()) levels.push_back(patch.level);
    return levels;
  }
  // The vertices the last draw read from stream 0.
  std::vector<WaterVertex> DrawnVertices() { return Read<WaterVertex>(BoundStream(0)); }
  // Two 2 x 2 patches side by side, centred at x = -1 and 1, tessellation 2.
  void CreatePair(const D3DXVECTOR2& uv = D3DXVECTOR2(1, 1), float y = 0.0f) {
    ASSERT_TRUE(grid.Create(4.0f, 2.0f, 2, 1, 2, uv, D3DXVECTOR3(0.0f, y, 0.0f), device));
  }
  cGeomipmapGrid grid;
};

TEST_F(GeomipmapGrid, OneNearPatchIsOneDrawOfTheFullTemplate) {
  ASSERT_TRUE(grid.Create(8.0f, 8.0f, 1, 1, 4, D3DXVECTOR2(1, 1), D3DXVECTOR3(0, 0, 0), device));
  ASSERT_TRUE(grid.Render(device, nullptr));
  ASSERT_EQ(Draws().size(), 1u);
  EXPECT_EQ(std::tuple(Draws()[0].vertexCount, Draws()[0].primitiveCount, grid.GetTriangleCount()),
            std::tuple(25u, 32u, 32));
  EXPECT_EQ(BoundDeclarationLength(), 3u);
  const auto indices = BoundIndices();
  ASSERT_EQ(indices.size(), 96u);
  EXPECT_EQ(std::vector<WORD>(indices.begin(), indices.begin() + 6), (std::vector<WORD>{0, 5, 1, 1, 5, 6}));
  EXPECT_EQ(std::vector<WORD>(indices.end() - 6, indices.end()), (std::vector<WORD>{18, 23, 19, 19, 23, 24}));
}

// Near patches are drawn one by one, the far quads in one batch.
TEST_F(GeomipmapGrid, LevelFollowsTheDistanceOfThePatchCentreFromTheLodCentre) {
  // Three patches 10 wide, centred at x = -10, 0, 10.
  ASSERT_TRUE(grid.Create(30.0f, 10.0f, 3, 1, 2, D3DXVECTOR2(1, 1), D3DXVECTOR3(0, 0, 0), device));
  const struct { float falloff, lodCentreX; std::vector<int> levels; int draws, vertices, triangles; } cases[] = {
      {10.0f, 0.0f, {0, 0, 0}, 3, 3 * 9, 3 * 8}, {9.9f, 0.0f, {1, 0, 1}, 2, 9 + 8, 8 + 4},
      {-1.0f, 0.0f, {1, 0, 1}, 2, 9 + 8, 8 + 4},  // clamped to 0: only a patch right at the centre
      {-1.0f, 0.5f, {1, 1, 1}, 1, 12, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.falloff << ", " << c.lodCentreX);
    grid.SetLastLevelFalloffDistance(c.falloff);
    grid.SetLodCenter(D3DXVECTOR3(c.lodCentreX, 0.0f, 0.0f));
    ASSERT_TRUE(grid.Render(device, nullptr));
    EXPECT_EQ(Levels(), c.levels);
    EXPECT_EQ(std::tuple(grid.GetDrawCallCount(), grid.GetVertexCount(), grid.GetTriangleCount()),
              std::tuple(c.draws, c.vertices, c.triangles));
  }
}

TEST_F(GeomipmapGrid, TheFirstThousandFarPatchesShareOneDraw) {
  ASSERT_TRUE(grid.Create(400.0f, 260.0f, 40, 26, 8, D3DXVECTOR2(1, 1), D3DXVECTOR3(0, 0, 0), device));
  grid.SetLastLevelFalloffDistance(0.0f);
  ASSERT_TRUE(grid.Render(device, nullptr));
  ASSERT_EQ(grid.GetPatches().size(), 1040u);
  // 40 patches past the budget are drawn one by one, then the batch.
  ASSERT_EQ(Draws().size(), 41u);
  for (size_t k = 0; k < 40; ++k) EXPECT_EQ(Draws()[k].primitiveCount, 2u);
  EXPECT_EQ(std::tuple(Draws()[40].vertexCount, Draws()[40].primitiveCount, grid.GetVertexCount()),
            std::tuple(4000u, 2000u, 4160));
  // Batched quads keep the corner order of the one-quad level.
  const auto batch = DrawnVertices();
  EXPECT_EQ(BoundIndices()[6 * 999 + 1], 4 * 999 + 2);
  const WaterVertex* quad = &batch[4 * 999];  // patch 999: column 39, row 24
  using testing::FloatEq;
  EXPECT_THAT(std::tuple(quad[0].x, quad[1].x, quad[2].z, quad[3].u, quad[3].v),
              testing::FieldsAre(FloatEq(-200.0f + 39 * 10.0f), FloatEq(-200.0f + 40 * 10.0f),
                                 FloatEq(-130.0f + 25 * 10.0f), FloatEq(40.0f / 40.0f), FloatEq(25.0f / 26.0f)));
}

TEST_F(GeomipmapGrid, NearPatchVerticesAreDisplacedAndFadeWithDistanceFromTheCamera) {
  NamedHeightmap heightmap(4);
  CreatePair(D3DXVECTOR2(2, 1), 5.0f);  // uv per patch (1, 1)
  grid.SetLastLevelFalloffDistance(100.0f);
  grid.SetHeightFalloffDistance(2.0f);
  grid.SetLodCenter(D3DXVECTOR3(0.0f, 5.0f, -1.0f));
  ASSERT_TRUE(grid.ExtrudeWithDefaultUV(&heightmap, 2.0f));
  ASSERT_TRUE(grid.Render(device, nullptr));
  const auto v = DrawnVertices();  // patch 1 was drawn last
  ASSERT_EQ(v.size(), 9u);
  for (int i = 0; i <= 2; ++i) {
    for (int j = 0; j <= 2; ++j) {
      SCOPED_TRACE(testing::Message() << i << "," << j);
      const float x = static_cast<float>(j), z = static_cast<float>(i - 1);
      // u 1.0, 1.5, 2.0 read columns 0, 2, 0; v 0, 0.5, 1.0 read rows 0, 2, 0.
      const float falloff = std::min((x * x + (z + 1) * (z + 1)) / 4.0f, 1.0f);
      const float height = (1.0f - falloff) * 2.0f * Sample((2 * i) % 4, (2 * j) % 4) + 5.0f;
      ExpectVertex(v[i * 3 + j], x, height, z, 1.0f + j * 0.5f, i * 0.5f);
    }
  }
  EXPECT_EQ(v[0 * 3 + 2].y, 5.0f);  // exactly at the falloff distance the wave is gone
  // An explicit uv scale is shared out per patch; null turns extrusion off.
  ASSERT_TRUE(grid.Extrude(&heightmap, 1.0f, 4.0f, 3.0f));
  ASSERT_TRUE(grid.Render(device, nullptr));
  // Patch column 1, scale 4 / 2.
  EXPECT_EQ(std::tuple(DrawnVertices()[8].u, DrawnVertices()[8].v), std::tuple((1.0f + 1.0f) * 2.0f, 3.0f));
  ASSERT_TRUE(grid.Extrude(nullptr, 0.0f, 0.0f, 0.0f));
  ASSERT_TRUE(grid.Render(device, nullptr));
  for (const WaterVertex& vertex : DrawnVertices()) EXPECT_EQ(vertex.y, 5.0f);
  cEngineSettings settings{};
  EXPECT_FALSE(grid.FillSettings(&settings)->extrudeGeometry);
}

TEST_F(GeomipmapGrid, PatchesOutsideTheViewAreNotDrawnAndSetOriginMovesThem) {
  CreatePair();
  const D3DXMATRIX alongX = LookAt(D3DXVECTOR3(0.0f, 0.5f, 0.0f), D3DXVECTOR3(1.0f, 0.5f, 0.0f), 0.1f);
  ASSERT_TRUE(grid.Render(device, &alongX));
  EXPECT_EQ(std::tuple(grid.GetPatches()[0].visible, grid.GetPatches()[1].visible, Draws().size()),
            std::tuple(false, true, 1u));
  ASSERT_TRUE(grid.SetOrigin(D3DXVECTOR3(10.0f, 1.0f, 20.0f)));
  EXPECT_EQ(std::tuple(grid.GetPatches()[1].centre, grid.GetPatches()[1].boxMin),
            std::tuple(D3DXVECTOR3(11, 1, 20), D3DXVECTOR3(10, 1, 19)));
}

TEST_F(GeomipmapGrid, CreateClampsAndRefusesPatchesBeyondSixteenBitIndices) {
  EXPECT_TRUE(cGeomipmapGrid::WithinLimits(16, 16, 255));
  EXPECT_FALSE(cGeomipmapGrid::WithinLimits(16, 16, 256));
  EXPECT_FALSE(cGeomipmapGrid::WithinLimits(2000000, 2000000, 32));
  EXPECT_FALSE(grid.Render(device, nullptr));  // not created
  EXPECT_FALSE(grid.Create(10.0f, 10.0f, 2, 2, 256, D3DXVECTOR2(1, 1), D3DXVECTOR3(0, 0, 0), device));
  EXPECT_FALSE(grid.Create(10.0f, 10.0f, 2, 2, 8, D3DXVECTOR2(1, 1), D3DXVECTOR3(0, 0, 0), nullptr));
  ASSERT_TRUE(grid.Create(-1.0f, 0.0f, 0, -2, 1, D3DXVECTOR2(0, 0), D3DXVECTOR3(0, 0, 0), device));
  cEngineSettings settings{};
  grid.FillSettings(&settings);
  // The last level's falloff distance defaults to (size x + size z) / 2.
  EXPECT_EQ(std::tuple(settings.geomipmapSizeX, settings.geomipmapSizeZ, settings.geomipmapLastLevelFalloffDistance),
            std::tuple(1.0f, 1.0f, 1.0f));
  EXPECT_EQ(std::tuple(settings.geomipmapPatchCountZ, settings.geomipmapLevel0Tessellation), std::tuple(1, 2));
  EXPECT_EQ(grid.GetUVScale(), D3DXVECTOR2(1.0f, 1.0f));
}

class GeomipmapEngineEntry : public GeomipmapGrid {
 protected:
  // A near patch at x = -1 (level 0) and a far one at x = 1 (batched).
  void SetUp() override {
    GeomipmapGrid::SetUp();
    CreatePair();
    grid.SetLastLevelFalloffDistance(1.0f);
    grid.SetLodCenter(D3DXVECTOR3(-1.0f, 0.0f, 0.0f));
  }
  std::vector<WaterVertexExtra> NearExtra() { return Read<WaterVertexExtra>(grid.GetLevelBuffers(0).GetExtraStream()); }
  std::vector<WaterVertexExtra> BatchExtra() { return Read<WaterVertexExtra>(grid.GetBatchBuffers().GetExtraStream()); }
};

TEST_F(GeomipmapEngineEntry, EngineEntriesWriteStreamOneForEveryDrawnVertex) {
  const std::vector<D3DXVECTOR3> normals(4, D3DXVECTOR3(0.5f, 0.25f, 1.0f));
  FFPVertexParameters p;
  p.normals = normals.data(); p.normalmapSize = 2; p.reflectionStrength = 0.5f; p.globalTransparency = 0.5f;
  p.fullReflectionDistanceSquared = 1e-6f;  // fully reflective wherever the distance is not 0
  p.baseColor = 0xFF112233; p.eye = D3DXVECTOR3(-1.0f, 10.0f, 0.0f);
  D3DXMatrixIdentity(&p.viewProjection);  // w = 1
  ASSERT_TRUE(grid.RenderFFP(device, p));
  ASSERT_EQ(Draws().size(), 2u);
  // Stream 1 is reset after each draw.
  EXPECT_EQ(std::tuple(Draws()[0].vertexCount, Draws()[1].vertexCount, BoundDeclarationLength(), BoundStream(1)),
            std::tuple(9u, 4u, 5u, nullptr));
  const auto nearVertices = Read<WaterVertex>(grid.GetLevelBuffers(0).GetVertexBuffer());
  const auto nearExtra = NearExtra();
  // Right under the eye (vertex 4) only the Fresnel bias is left, less than the transparency.
  for (int k = 0; k < 9; ++k) {
    EXPECT_THAT(std::tuple(nearExtra[k].s, nearExtra[k].t, nearExtra[k].q, nearExtra[k].color),
                testing::FieldsAre(testing::FloatEq(nearVertices[k].x + 0.25f), testing::FloatEq(nearVertices[k].y),
                                   testing::FloatEq(nearVertices[k].z + 0.125f), k == 4 ? 0x00112233u : 0x7F112233u))
        << k;
  }
  const auto farVertices = Read<WaterVertex>(grid.GetBatchBuffers().GetVertexBuffer());
  const auto farExtra = BatchExtra();
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(std::tuple(farExtra[k].s, farExtra[k].q, farExtra[k].color),
              std::tuple(farVertices[k].x, farVertices[k].z, 0x7F112233u));
  }
  // Shader model 1 copies the normals for near vertices only.
  std::vector<D3DXVECTOR3> numbered(4);
  for (int k = 0; k < 4; ++k) numbered[k] = D3DXVECTOR3(static_cast<float>(k + 1), 0.0f, 0.0f);
  ASSERT_TRUE(grid.RenderSM1(device, numbered.data(), 2, nullptr));
  // Near patch: u = 0, 0.25, 0.5 reads columns 0, 0, 1; v = 0, 0.5, 1 reads rows 0, 1, 0.
  const int texel[9] = {0, 0, 1, 2, 2, 3, 0, 0, 1};
  const auto copied = NearExtra();
  for (int k = 0; k < 9; ++k) EXPECT_EQ(copied[k].s, static_cast<float>(texel[k] + 1)) << k;
  for (const WaterVertexExtra& extra : BatchExtra()) EXPECT_EQ(extra.s + extra.t + extra.q, 0.0f);
  EXPECT_FALSE(grid.RenderSM1(device, nullptr, 2, nullptr));
}

TEST_F(GeomipmapGrid, EngineEntriesNeedASecondStream) {
  Start(platform::HeadlessProfile::OneStream());
  CreatePair();
  const std::vector<D3DXVECTOR3> normals(4, D3DXVECTOR3(0.0f, 0.0f, 1.0f));
  EXPECT_FALSE(grid.CreateExtraStream(device));
  EXPECT_FALSE(grid.RenderSM1(device, normals.data(), 2, nullptr));
  EXPECT_TRUE(Draws().empty());
  EXPECT_TRUE(grid.Render(device, nullptr));
}
