#include <gtest/gtest.h>

#include <array>
#include <set>
#include <vector>

#include "../ScratchFolder.h"
#include "SceneTest.h"
#include "scene/D3DTexture.h"
#include "scene/cSkybox.h"

namespace {

constexpr float S = 2000.0f;

class SkyboxTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    for (auto& face : faces) {
      face = new D3DTexture(manager);
      ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &face->texture, nullptr), D3D_OK);
    }
    sky = new cSkybox(manager, device);
    ASSERT_TRUE(sky->Create(S, D3DXVECTOR3(0, 0, 0), device));
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 4.0f / 3.0f, 1.0f, 5000.0f);
  }
  // The faces drawn, by their first vertex, each checked against its texture
  // (stage 0 for fixed function, "defaultTexture" for the effect).
  std::set<int> DrawnFaces() const {
    std::vector<IDirect3DBaseTexture9*> effectTextures;
    for (const auto& parameter : platform::Recorded().parameters) {
      if (parameter.name == "defaultTexture") effectTextures.push_back(parameter.texture);
    }
    std::set<int> drawn;
    size_t i = 0;
    for (const auto& draw : platform::Recorded().draws) {
      EXPECT_EQ(std::tuple(draw.type, draw.primitiveCount, draw.start % 4), std::tuple(D3DPT_TRIANGLESTRIP, 2u, 0u));
      const int face = static_cast<int>(draw.start / 4);
      const bool fixed = draw.effect.empty();
      EXPECT_EQ(fixed ? draw.textures[0] : i < effectTextures.size() ? effectTextures[i] : nullptr,
                faces[face]->texture) << face;
      i += !fixed;
      drawn.insert(face);
    }
    return drawn;
  }
  D3DXMATRIX LookFromOrigin(const D3DXVECTOR3& direction) const {
    const D3DXVECTOR3 eye(0, 0, 0);
    const D3DXVECTOR3 up = direction.y != 0 ? D3DXVECTOR3(0, 0, 1) : D3DXVECTOR3(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &direction, &up);
    return view;
  }
  // The faces drawn looking along `direction` with the fixed path or the effect.
  std::set<int> DrawAlong(const D3DXVECTOR3& direction, bool effect, D3DTexture* const* set,
                          const char* technique = nullptr) {
    platform::Recorded().Clear();
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    const D3DXMATRIX view = LookFromOrigin(direction);
    EXPECT_TRUE(effect ? sky->RenderEffect(set, device, view, projection, technique)
                       : sky->RenderFixed(set, device, view, projection));
    EXPECT_EQ(device->EndScene(), D3D_OK);
    return DrawnFaces();
  }
  std::array<D3DTexture*, 6> faces{};
  cSkybox* sky = nullptr;
  D3DXMATRIX projection;
};

// Each face lies on its side of the cube, its texture upright as seen from
// inside, and its strip winds the same way as every other face's.
TEST_F(SkyboxTest, VertexBufferHoldsSixInwardFacingUprightFaces) {
  const struct { D3DXVECTOR3 normal, right, up; } sides[6] = {
      {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
      {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}}, {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}};
  const D3DXVECTOR3 centre(10, -20, 30);
  ASSERT_TRUE(sky->Create(S, centre, device));
  D3DVERTEXBUFFER_DESC desc{};
  ASSERT_EQ(sky->GetVertexBuffer()->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(std::tuple(desc.Size, desc.FVF, desc.Pool), std::tuple(480u, DWORD{SKYBOX_FVF}, D3DPOOL_MANAGED));
  void* data = nullptr;
  ASSERT_EQ(sky->GetVertexBuffer()->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
  const auto* vertices = static_cast<const SkyboxVertex*>(data);
  for (int face = 0; face < 6; ++face) {
    SCOPED_TRACE(face);
    const auto& side = sides[face];
    D3DXVECTOR3 p[4];
    for (int i = 0; i < 4; ++i) {
      const SkyboxVertex& v = vertices[4 * face + i];
      p[i] = D3DXVECTOR3(v.x, v.y, v.z) - centre;
      EXPECT_EQ(p[i], S * (side.normal + (2 * v.u - 1) * side.right + (1 - 2 * v.v) * side.up)) << i;
    }
    EXPECT_EQ(p[3], p[1] + p[2] - p[0]);  // with the winding below: the four corners of the side
    D3DXVECTOR3 winding;
    const D3DXVECTOR3 a = p[1] - p[0], b = p[2] - p[0];
    EXPECT_LT(D3DXVec3Dot(D3DXVec3Cross(&winding, &a, &b), &side.normal), 0.0f);
  }
  sky->GetVertexBuffer()->Unlock();
  EXPECT_EQ(sky->GetBoxCorner(4, 0), D3DXVECTOR3(S + 10, S - 20, S + 30));
  EXPECT_EQ(sky->GetBoxCorner(4, 1), D3DXVECTOR3(-S + 10, S - 20, -S + 30));
}

// Looking along an axis from the origin draws the face ahead and never the one
// behind; the faces beside it touch the view only at their edges. Missing faces
// are left off and the others draw as usual: looking between two faces shows both.
TEST_F(SkyboxTest, DrawsTheFacesAheadWithTheirTexturesInBothPathsAndLeavesOffMissingOnes) {
  D3DTexture empty(nullptr);
  // Six faces, two of them missing, between entries that must never be read.
  const std::array<D3DTexture*, 8> guarded = {faces[5], faces[0], nullptr,  &empty,
                                              faces[3], faces[4], faces[5], faces[0]};
  D3DTexture* const* gaps = guarded.data() + 1;
  D3DTexture* const* all = faces.data();
  struct Case { D3DXVECTOR3 direction; int ahead, notDrawn; D3DTexture* const* set; };
  for (bool effect : {false, true}) {
    for (const Case& c : {Case{{0, 0, 1}, 0, 2, all}, Case{{1, 0, 0}, 1, 3, all}, Case{{0, 0, -1}, 2, 0, all},
                          Case{{-1, 0, 0}, 3, 1, all}, Case{{0, 1, 0}, 4, 5, all}, Case{{0, -1, 0}, 5, 4, all},
                          Case{{1, 0, 1}, 0, 1, gaps}, Case{{-1, 0, -1}, 3, 2, gaps}}) {
      SCOPED_TRACE(testing::Message() << effect << " face " << c.ahead << " not " << c.notDrawn);
      const std::set<int> drawn = DrawAlong(c.direction, effect, c.set);
      EXPECT_EQ(std::pair(drawn.count(c.ahead), drawn.count(c.notDrawn)), std::pair(size_t{1}, size_t{0}));
    }
  }
  for (auto [face, expected] : {std::pair{0, faces[0]->texture}, {4, faces[4]->texture}, {1, nullptr}, {2, nullptr},
                                {-1, nullptr}, {6, nullptr}}) {
    EXPECT_EQ(cSkybox::GetFaceTexture(gaps, face), expected) << face;
  }
  EXPECT_EQ(cSkybox::GetFaceTexture(nullptr, 0), nullptr);
}

TEST_F(SkyboxTest, EffectTechniquesSetTheirDepthStatesAndAFailedDrawStillEndsTheEffect) {
  struct Case { const char *technique, *expected; DWORD zEnable; };
  for (const Case& c : {Case{nullptr, "simple", TRUE}, Case{"simple", "simple", TRUE},
                        Case{"simple_zenable_false", "simple_zenable_false", FALSE}}) {
    SCOPED_TRACE(c.expected);
    ASSERT_FALSE(DrawAlong({0, 0, 1}, true, faces.data(), c.technique).empty());
    for (const auto& draw : platform::Recorded().draws) {
      EXPECT_EQ(std::tuple(draw.effect, draw.technique, draw.zEnable),
                std::tuple(std::string("shaders/skybox.fx"), std::string(c.expected), c.zEnable));
    }
    DWORD zWrite = 0, zEnable = 0;  // the effect put them back
    device->GetRenderState(D3DRS_ZWRITEENABLE, &zWrite);
    device->GetRenderState(D3DRS_ZENABLE, &zEnable);
    EXPECT_EQ(std::tuple(zWrite, zEnable), std::tuple(DWORD{TRUE}, DWORD{D3DZB_TRUE}));
  }
  EXPECT_FALSE(sky->RenderEffect(faces.data(), device, LookFromOrigin({0, 0, 1}), projection, "unknown"));
  // A draw refused outside BeginScene fails that frame only: the effect was ended.
  EXPECT_FALSE(sky->RenderEffect(faces.data(), device, LookFromOrigin({0, 0, 1}), projection));
  EXPECT_FALSE(DrawAlong({0, 0, 1}, true, faces.data()).empty());
}

TEST_F(SkyboxTest, WithoutItsEffectFileOnlyTheFixedPathDraws) {
  cSkybox* bare = nullptr;
  {
    const EmptyWorkingDirectory empty;
    bare = new cSkybox(manager, device);
  }
  EXPECT_EQ(bare->GetEffect(), nullptr);
  ASSERT_TRUE(bare->Create(S, D3DXVECTOR3(0, 0, 0), device));
  const D3DXMATRIX view = LookFromOrigin({0, 0, 1});
  platform::Recorded().Clear();
  ASSERT_EQ(device->BeginScene(), D3D_OK);
  EXPECT_FALSE(bare->RenderEffect(faces.data(), device, view, projection));
  EXPECT_TRUE(platform::Recorded().draws.empty());
  EXPECT_TRUE(bare->RenderFixed(faces.data(), device, view, projection));
  EXPECT_FALSE(platform::Recorded().draws.empty());
  ASSERT_EQ(device->EndScene(), D3D_OK);
  bare->OnLostDevice();
  bare->OnResetDevice(device);
  bare->Destroy();
  EXPECT_FALSE(bare->RenderFixed(faces.data(), device, view, projection));
}

}  // namespace
