#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "GeometryTestSupport.h"
#include "geometry/cFFPVertexWriter.h"
#include "geometry/cSM1VertexWriter.h"

namespace {

class FFPVertexWriter : public ::testing::Test {
 protected:
  FFPVertexWriter() : normals(16, D3DXVECTOR3(0.0f, 0.0f, 1.0f)), table(FRESNEL_TABLE_SIZE) {
    cFFPVertexWriter::FillFresnelTable(table.data());
    p.normals = normals.data(); p.normalmapSize = 4; p.reflectionStrength = 0.5f;
    p.fullReflectionDistanceSquared = 10000.0f; p.globalTransparency = 0.0f; p.baseColor = 0xFF294B3E;
    p.eye = D3DXVECTOR3(0.0f, 10.0f, 0.0f);
    D3DXMatrixIdentity(&p.viewProjection);
  }
  WaterVertexExtra Write(const WaterVertex& vertex, bool near = true, bool useTable = true) {
    p.normals = normals.data();
    WaterVertexExtra extra{};
    cFFPVertexWriter(p, useTable ? table.data() : nullptr).Write(vertex, near, &extra);
    return extra;
  }
  static DWORD Alpha(const WaterVertexExtra& extra) { return extra.color >> 24; }
  static DWORD Weighted(float fresnel) { return static_cast<DWORD>((0.02037f + 0.97963f * fresnel) * 255.0f); }
  std::vector<D3DXVECTOR3> normals;
  std::vector<float> table;
  FFPVertexParameters p;
};

// The alpha byte is the Fresnel term of the view angle, from the table or
// computed, plus the distance term; the base colour is kept.
TEST_F(FFPVertexWriter, AlphaFollowsTheFresnelTermAndTheDistance) {
  EXPECT_EQ(table[0], 0.0f);
  EXPECT_FLOAT_EQ(table[500], 0.03125f);
  EXPECT_FLOAT_EQ(table[999], static_cast<float>(std::pow(0.999, 5.0)));
  // Grazing (cos = 0): the table's last entry plus a negligible distance term (253), or 1^5 when computed.
  const DWORD grazing = static_cast<DWORD>((2500.0f / 1e9f + (0.02037f + 0.97963f * table[999])) * 255.0f);
  const struct {
    const char* what; D3DXVECTOR3 eye; float normalUp, fullDistanceSquared, x; bool useTable; DWORD alpha;
  } cases[] = {
      {"straight down: the bias only", {0, 10, 0}, 1.0f, 10000.0f, 0, true, Weighted(0.0f)},  // 5
      {"grazing", {-50, 0, 0}, 1.0f, 1e9f, 0, true, grazing},
      {"grazing, computed", {-50, 0, 0}, 1.0f, 1e9f, 0, false, 255},
      // The menu lets a full reflection distance of 0 through: everything but the
      // point under the eye is fully reflective, and nothing is divided by 0.
      {"zero distance, under the eye", {0, 10, 0}, 1.0f, 0.0f, 0, true, Weighted(0.0f)},
      {"zero distance, elsewhere", {0, 10, 0}, 1.0f, 0.0f, 30, true, 255},
      // (1 - cos) * 999 is just below 949 in double, though the float product rounds to 949: 196, not 197.
      {"table index truncated", {0, 10, 0}, 0.0500500537f, 10000.0f, 0, true, Weighted(table[948])},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    p.eye = c.eye;
    p.fullReflectionDistanceSquared = c.fullDistanceSquared;
    normals.assign(16, D3DXVECTOR3(0.0f, 0.0f, c.normalUp));
    const WaterVertexExtra extra = Write(WaterVertex{c.x, 0, 0, 0, 0}, true, c.useTable);
    EXPECT_EQ(std::tuple(Alpha(extra), extra.color & 0xFFFFFFu), std::tuple(c.alpha, 0x294B3Eu));
  }
}

TEST_F(FFPVertexWriter, LookupIsDisplacedByTheNormalInProportionToDepth) {
  normals[2 * 4 + 0] = D3DXVECTOR3(0.2f, -0.4f, 0.9f);  // row 2, column 0
  p.viewProjection._34 = 1.0f; p.viewProjection._44 = 3.0f;  // w = z + 3
  // u = 1.0 wraps to column 0; v = 0.5 reads row 2.
  const WaterVertex vertex{1.0f, 2.0f, 5.0f, 1.0f, 0.5f};
  using testing::FloatEq;
  const WaterVertexExtra near = Write(vertex), far = Write(vertex, false);  // far vertices keep their own position
  EXPECT_THAT(std::tuple(near.s, near.t, near.q, far.s, far.q),
              testing::FieldsAre(FloatEq(1.0f + 0.2f * 0.5f * 8.0f), FloatEq(2.0f), FloatEq(5.0f - 0.4f * 0.5f * 8.0f),
                                 FloatEq(1.0f), FloatEq(5.0f)));
}

// The four-lane path must give what Write gives, bit for bit: random vertices and normals, under the eye, far outside
// the map, grazing and steep views, a zero full reflection distance and a count that leaves a tail.
TEST_F(FFPVertexWriter, RangesMatchSingleVerticesBitForBit) {
  std::mt19937 generator(11);
  std::uniform_real_distribution<float> any(-1.0f, 1.0f);
  normals.resize(64 * 64);
  for (D3DXVECTOR3& normal : normals) {
    normal = D3DXVECTOR3(any(generator), any(generator), 1.0f + any(generator));
    D3DXVec3Normalize(&normal, &normal);
  }
  p.normals = normals.data();  // the resize moved them
  p.normalmapSize = 64; p.viewProjection._34 = 0.7f; p.viewProjection._44 = 2.5f;
  std::vector<WaterVertex> vertices;
  for (int k = 0; k < 1001; ++k) {
    const float scale = k % 3 == 0 ? 1e4f : 50.0f;
    vertices.push_back({scale * any(generator), any(generator), scale * any(generator), 40.0f * any(generator),
                        k % 7 == 0 ? 3e9f : 40.0f * any(generator)});
  }
  vertices[5] = WaterVertex{p.eye.x, p.eye.y, p.eye.z, 0.0f, 0.0f};
  vertices[6] = WaterVertex{1.0f, 0.0f, 1.0f, 63.5f / 64, 63.5f / 64};  // the last normal, read without a spare
  const auto expectRangeMatches = [&](const iVertexExtraWriter& writer) {
    std::vector<WaterVertexExtra> single(vertices.size()), ranged(vertices.size());
    for (size_t k = 0; k < vertices.size(); ++k) writer.Write(vertices[k], true, &single[k]);
    writer.WriteRange(vertices.data(), vertices.size(), ranged.data());
    ASSERT_EQ(std::memcmp(single.data(), ranged.data(), single.size() * sizeof(WaterVertexExtra)), 0);
  };
  for (float fullDistanceSquared : {10000.0f, 0.0f}) {
    p.fullReflectionDistanceSquared = fullDistanceSquared;
    expectRangeMatches(cFFPVertexWriter(p, table.data()));
  }
  expectRangeMatches(cSM1VertexWriter(normals.data(), 64));  // the shader model 1 range masks its wrap
}

}  // namespace

TEST(SM1VertexWriter, CopiesTheNormalUnderTheVertexWithWrap) {
  std::vector<D3DXVECTOR3> normals(256 * 256, D3DXVECTOR3(0.0f, 0.0f, 1.0f));
  normals[3 * 256 + 0] = D3DXVECTOR3(0.1f, 0.2f, 0.3f);
  const cSM1VertexWriter writer(normals.data(), 256);
  WaterVertexExtra extra{0, 0, 0, 0x12345678};
  writer.Write(WaterVertex{0, 0, 0, 1.0f, 3.5f / 256.0f}, true, &extra);
  EXPECT_EQ(std::tuple(extra.s, extra.t, extra.q, extra.color), std::tuple(0.1f, 0.2f, 0.3f, 0x12345678u));
  writer.Write(WaterVertex{0, 0, 0, 1.0f, 3.5f / 256.0f}, false, &extra);
  EXPECT_EQ(extra.s + extra.t + extra.q, 0.0f);
}
