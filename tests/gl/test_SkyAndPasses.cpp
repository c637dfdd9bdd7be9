// The sky, the island and the reflection, refraction and depth passes on the OpenGL backend, checked by the pixels they
// leave; also the screenshots of the three sky sets and of a reflection.
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>

#include "GLTest.h"
#include "scene/D3DMesh.h"
#include "scene/D3DTexture.h"
#include "scene/cReflectionTarget.h"
#include "scene/cRefractionTarget.h"
#include "scene/cSkybox.h"

namespace gltest {
namespace {

constexpr D3DCOLOR kTop = kRed, kBottom = kBlue, kSide = kGreen;

struct WorldVertex { float x, y, z; };

D3DXMATRIX Look(const D3DXVECTOR3& eye, const D3DXVECTOR3& direction) {
  const D3DXVECTOR3 at = eye + direction, up(0, 1, 0);
  D3DXMATRIX view;
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  return view;
}

class SkyPassTest : public GLDeviceTest {
 protected:
  void SetUp() override {
    GLDeviceTest::SetUp();
    if (NotStarted()) return;
    sky_ = new cSkybox(nullptr, device_);
    ASSERT_NE(sky_->GetEffect(), nullptr);
    ASSERT_TRUE(sky_->Create(2000.0f, D3DXVECTOR3(0, 0, 0), device_));
    const float aspect = static_cast<float>(backWidth_) / static_cast<float>(backHeight_);
    D3DXMatrixPerspectiveFovLH(&projection_, 60 * 0.017453292f, aspect, 1.0f, 16384.0f);
    D3DXMatrixIdentity(&identity_);
    device_->SetTransform(D3DTS_WORLD, &identity_);
    device_->SetTransform(D3DTS_PROJECTION, &projection_);
    ASSERT_EQ(device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW), D3D_OK);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    for (int sampler = 0; sampler < 2; ++sampler)
      for (auto type : {D3DSAMP_MINFILTER, D3DSAMP_MAGFILTER}) device_->SetSamplerState(sampler, type, D3DTEXF_LINEAR);
  }
  void TearDown() override {
    if (device_) device_->SetTexture(0, nullptr);
    FreeFaces();
    delete sky_;
    GLDeviceTest::TearDown();
  }
  void FreeFaces() {
    for (D3DTexture*& face : faces_) {
      delete face;
      face = nullptr;
    }
  }
  // Top, bottom and sides of one solid colour each.
  void SolidFaces() {
    for (int face = 0; face < 6; ++face) {
      faces_[face] = new D3DTexture(nullptr);
      faces_[face]->texture = Solid(face == 4 ? kTop : face == 5 ? kBottom : kSide);
      faces_[face]->texture->AddRef();  // the wrapper releases its own reference
    }
  }
  void LoadSkySet(int set) {
    static constexpr int kFiles[6] = {1, 2, 3, 4, 6, 5};  // the top face shows file 6
    for (int face = 0; face < 6; ++face) {
      faces_[face] = new D3DTexture(nullptr);
      const std::wstring path = L"data/sky/" + std::to_wstring(set) + L"/" + std::to_wstring(kFiles[face]) + L".tga";
      ASSERT_EQ(faces_[face]->Load(path.c_str(), device_), D3D_OK);
    }
  }
  // Untextured, with culling off: writes depth.
  void DrawWorld(const WorldVertex (&quad)[4], const D3DXMATRIX& view) {
    device_->SetTransform(D3DTS_VIEW, &view);
    device_->SetTexture(0, nullptr);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    ASSERT_EQ(device_->SetFVF(D3DFVF_XYZ), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(WorldVertex)), D3D_OK);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  }
  // Draws the water plane y = 0 (a square of half size `extent`) with `texture` looked up where each point lands on the
  // screen, as the fixed-function engine does.
  void DrawMirror(IDirect3DTexture9* texture, const D3DXMATRIX& view, float extent) {
    const D3DXMATRIX remap = view * projection_ * kClipToTexture;
    const float e = extent;
    const ProjectedVertex quad[4] = {
        {-e, 0, e, -e, 0, e}, {e, 0, e, e, 0, e}, {-e, 0, -e, -e, 0, -e}, {e, 0, -e, e, 0, -e}};
    ASSERT_EQ(device_->SetTransform(D3DTS_VIEW, &view), D3D_OK);
    ASSERT_EQ(device_->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(device_->SetTransform(D3DTS_TEXTURE0, &remap), D3D_OK);
    ASSERT_EQ(device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3 | D3DTTFF_PROJECTED),
              D3D_OK);
    ASSERT_EQ(device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
    Declare(kProjectedDeclaration);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ProjectedVertex)), D3D_OK);
    device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    device_->SetVertexDeclaration(nullptr);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  }
  // The sky of the view, mirrored in the water plane as the scene draws it.
  void DrawSkyAndMirror(int targetSize, const D3DXMATRIX& view, float extent) {
    cReflectionTarget target;
    ASSERT_TRUE(target.Init(targetSize, 0.0f, d3d_, device_));
    ASSERT_TRUE(target.Begin(device_, &view));
    EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
    EXPECT_TRUE(
        sky_->RenderEffect(faces_.data(), device_, target.GetReflectedView(), projection_, "simple_zenable_false"));
    ASSERT_TRUE(target.End(device_));
    ASSERT_TRUE(sky_->RenderEffect(faces_.data(), device_, view, projection_));
    DrawMirror(target.GetTexture(), view, extent);
  }
  cSkybox* sky_ = nullptr;
  std::array<D3DTexture*, 6> faces_{};
  D3DXMATRIX projection_, identity_;
};

TEST_F(SkyPassTest, SimpleTechniqueTestsDepthButWritesNoneAndTheOthersShowEachFace) {
  SolidFaces();
  const D3DXMATRIX view = Look({0, 0, 0}, {0, 0, 1});
  // A blocker near the eye on the left half writes depth first.
  const WorldVertex blocker[4] = {{-20, 20, 10}, {0, 20, 10}, {-20, -20, 10}, {0, -20, 10}};
  DrawWorld(blocker, view);
  ASSERT_TRUE(sky_->RenderEffect(faces_.data(), device_, view, projection_, nullptr));
  ExpectPixels({{20, 64, kWhite}, {100, 64, kSide}});  // the blocker stays in front
  EXPECT_TRUE(ColorNear(Pixel(100, 2), kTop) || ColorNear(Pixel(100, 2), kSide));
  // Beyond the cube (the shader model 3 water disc can reach there) nothing is hidden by the sky.
  DrawWorld({{-5000, 5000, 3000}, {5000, 5000, 3000}, {-5000, -5000, 3000}, {5000, -5000, 3000}}, view);
  ExpectPixels({{100, 64, kWhite}});
  // Without depth test the sky covers even the blocker.
  Clear();
  DrawWorld(blocker, view);
  ASSERT_TRUE(sky_->RenderEffect(faces_.data(), device_, view, projection_, "simple_zenable_false"));
  ExpectPixels({{20, 64, kSide}, {100, 64, kSide}});
  // Fixed function draws with the device's transforms, which the scene keeps set.
  for (const auto& [direction, centre] :
       {std::pair{D3DXVECTOR3(0, 1, 0.001f), kTop}, std::pair{D3DXVECTOR3(0, -1, 0.001f), kBottom},
        std::pair{D3DXVECTOR3(1, 0, 0), kSide}}) {
    Clear();
    const D3DXMATRIX look = Look({0, 0, 0}, direction);
    device_->SetTransform(D3DTS_VIEW, &look);
    ASSERT_TRUE(sky_->RenderFixed(faces_.data(), device_, look, projection_));
    ExpectPixels({{64, 64, centre}});
  }
}

TEST_F(SkyPassTest, IslandEffectLightsTheGrassAndFadesWhatLiesDeepBelowThePlane) {
  D3DMesh mesh(nullptr);
  ASSERT_EQ(mesh.Load(L"data/meshes/island.x", device_), S_OK);
  // Straight down onto the top of the island.
  D3DXMATRIX view;
  const D3DXVECTOR3 eye(0.0f, 600.0f, 600.0f), at(0.0f, 0.0f, 600.0f), north(0.0f, 0.0f, 1.0f);
  D3DXMatrixLookAtLH(&view, &eye, &at, &north);
  const D3DXMATRIX viewProjection = view * projection_;
  const D3DXVECTOR3 sun(100.0f, 100.0f, 100.0f), ambient(0.1f, 0.1f, 0.1f);
  const struct {
    bool perPixel;
    std::optional<float> planeHeight;  // the depth variant, fading over `range` below the plane
    float range;
    bool lit;  // the grass at the top of the island shows, lit by the sun
  } cases[] = {{false, {}, 0, true}, {true, {}, 0, true}, {false, 1000.0f, 1.0f, false}, {true, -1000.0f, 70.0f, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "per pixel " << c.perPixel << ", plane " << c.planeHeight.value_or(0));
    Clear();
    ASSERT_TRUE(c.planeHeight ? mesh.RenderLitDepth(sun, viewProjection, c.perPixel, ambient, *c.planeHeight, c.range)
                              : mesh.RenderLit(sun, viewProjection, c.perPixel, ambient));
    ReadBack();
    const Rgb centre = frame_.At(kSize / 2, kSize / 2);
    if (c.lit) {
      EXPECT_GT(centre.g, std::max(40, std::max(centre.r, centre.b)));
    } else {
      EXPECT_LE(centre.Sum(), 6);
    }
  }
}

// Looking down at the water, the mirror shows the sky above it: the top face's colour, sampled from the reflection
// target through the remap matrix.
TEST_F(SkyPassTest, ReflectionShowsTheSkyAboveWhereTheMirrorPutsIt) {
  SolidFaces();
  DrawSkyAndMirror(128, Look({0, 100, 0}, {0, -1.0f, 0.6f}), 1500.0f);
  // Far out towards the horizon (the top row) the mirror shows the sides.
  ExpectPixels({{64, 120, kTop}, {64, 64, kTop}, {64, 2, kSide}}, 8);
  DWORD cull = 0;
  EXPECT_EQ(device_->GetRenderState(D3DRS_CULLMODE, &cull), D3D_OK);
  EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_CCW));
}

// A quad sloping from the plane (x = -50) down to one depth range below it (x = +50), seen from straight above: the
// depth pass's values fall from 1 to 0 across it, and stay 0 where nothing was drawn.
TEST_F(SkyPassTest, DepthPassEncodesHeightBelowThePlane) {
  cRefractionTarget depth(cRefractionTarget::Role::Depth);
  ASSERT_TRUE(depth.Init(50, d3d_, device_));
  ASSERT_EQ(depth.GetSize(), 64);  // the next power of two
  const D3DXMATRIX view = Look({0, 200, 0}, {0, -1, 0.0001f});
  const WorldVertex slope[4] = {{-50, 0, 50}, {50, -50, 50}, {-50, 0, -50}, {50, -50, -50}};
  ASSERT_TRUE(depth.Begin(device_));
  Clear(0x00000000);
  ASSERT_TRUE(depth.BeginDepth(identity_, projection_, view, 0.0f, 50.0f, device_));
  DrawWorld(slope, view);
  ASSERT_TRUE(depth.EndDepth());
  ASSERT_TRUE(depth.End(device_));
  Picture texels;
  ASSERT_TRUE(texels.Read(depth.GetTexture()));
  D3DCOLOR previous = 0xFFFFFFFF;
  for (UINT x = 26; x <= 38; x += 4) {
    const D3DCOLOR texel = texels.Color(x, 32);
    EXPECT_LT(texel, previous) << x;
    EXPECT_EQ(texel, (texel & 0xFF) * 0x01010101u) << x;  // every channel alike, alpha too: blending is off
    previous = texel;
  }
  EXPECT_EQ(std::pair(texels.Color(1, 1), texels.Color(62, 62)), std::pair(0x00000000u, 0x00000000u));
}

// The three sky sets from the editor's start camera, ahead and up into a corner where three faces meet, and a
// reflection of set 1 in a water plane: no dark pixel where a face could be missing, written for docs/screenshots.
class SkyScreenshotTest : public SkyPassTest {
 protected:
  SkyScreenshotTest() { backWidth_ = 512, backHeight_ = 384; }
  void ExpectSkyLikeAndSave(const std::string& name) {
    ReadBack();
    EXPECT_EQ(frame_.Count(0, 0, backWidth_, backHeight_, [](Rgb c) { return c.Sum() <= 60; }), 0) << name;
    frame_.Save(name);
  }
};

TEST_F(SkyScreenshotTest, SkySetsAndAReflectionFromTheStartCamera) {
  const D3DXVECTOR3 eye(0, 100, 100);
  for (int set = 1; set <= 3; ++set) {
    LoadSkySet(set);
    const std::string name = "sky-" + std::to_string(set);
    for (const auto& [direction, suffix] :
         {std::pair{D3DXVECTOR3(0, 0, 1), ".png"}, std::pair{D3DXVECTOR3(1, 1.2f, 1), "-corner.png"}}) {
      Clear();
      ASSERT_TRUE(sky_->RenderEffect(faces_.data(), device_, Look(eye, direction), projection_));
      ExpectSkyLikeAndSave(name + suffix);
    }
    if (set == 1) {
      Clear();
      DrawSkyAndMirror(512, Look(eye, {0, 0, 1}), 2000.0f);
      ExpectSkyLikeAndSave("reflection-target.png");
    }
    FreeFaces();
  }
}

}  // namespace
}  // namespace gltest
