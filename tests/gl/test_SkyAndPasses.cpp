// The sky, the island and the reflection, refraction and depth passes on the
// OpenGL backend, checked by the pixels they leave: both sky techniques, the
// island's lighting effect, a mirrored sky sampled back through the engines'
// remap matrix (up stays up), the refraction fill colour and the depth
// encoding. Also writes the screenshots of the three sky sets and of a reflection.
#include <array>
#include <optional>
#include <string>

#include "GLDeviceTest.h"
#include "scene/D3DMesh.h"
#include "scene/D3DTexture.h"
#include "scene/cReflectionTarget.h"
#include "scene/cRefractionTarget.h"
#include "scene/cSkybox.h"

namespace gltest {
namespace {

// Clip space to texture space, v down, for a projective lookup with w.
const D3DXMATRIX kRemap(0.5f, 0, 0, 0, 0, -0.5f, 0, 0, 0, 0, 1, 0, 0.5f, 0.5f, 0, 1);

constexpr D3DCOLOR kTop = kRed, kBottom = kBlue, kSide = kGreen;

// A world position with its clip position under the main view as texture coordinates.
struct MirrorVertex {
  float x, y, z;
  float clip[4];
};
constexpr D3DVERTEXELEMENT9 kMirrorDeclaration[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};

struct WorldVertex {
  float x, y, z;
};

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
    AlphaBlending();
    for (int sampler = 0; sampler < 2; ++sampler) {
      device_->SetSamplerState(sampler, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
      device_->SetSamplerState(sampler, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    }
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

  // Draws the water plane y = 0 (a square of half size `extent`) with `texture`
  // looked up where each point lands on the screen.
  void DrawMirror(IDirect3DTexture9* texture, const D3DXMATRIX& view, float extent) {
    const D3DXMATRIX viewProjection = view * projection_;
    MirrorVertex quad[4];
    const float corners[4][2] = {{-extent, extent}, {extent, extent}, {-extent, -extent}, {extent, -extent}};
    for (int i = 0; i < 4; ++i) {
      D3DXVECTOR4 clip;
      const D3DXVECTOR4 world(corners[i][0], 0, corners[i][1], 1);
      D3DXVec4Transform(&clip, &world, &viewProjection);
      quad[i] = {world.x, 0, world.z, {clip.x, clip.y, clip.z, clip.w}};
    }
    ASSERT_EQ(device_->SetTransform(D3DTS_VIEW, &view), D3D_OK);
    ASSERT_EQ(device_->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(device_->SetTransform(D3DTS_TEXTURE0, &kRemap), D3D_OK);
    ASSERT_EQ(device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT4 | D3DTTFF_PROJECTED),
              D3D_OK);
    ASSERT_EQ(device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
    Declare(kMirrorDeclaration);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(MirrorVertex)), D3D_OK);
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
    EXPECT_TRUE(sky_->RenderEffect(faces_.data(), device_, target.GetReflectedView(), projection_,
                                   "simple_zenable_false"));
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
  for (const auto& [direction, centre] : {std::pair{D3DXVECTOR3(0, 1, 0.001f), kTop},
                                          std::pair{D3DXVECTOR3(0, -1, 0.001f), kBottom},
                                          std::pair{D3DXVECTOR3(1, 0, 0), kSide}}) {
    Clear();
    const D3DXMATRIX look = Look({0, 0, 0}, direction);
    device_->SetTransform(D3DTS_VIEW, &look);
    ASSERT_TRUE(sky_->RenderFixed(faces_.data(), device_, look, projection_));
    ExpectPixels({{64, 64, centre}});
  }
}

// The island lit per vertex and per pixel; its depth variant fades out what lies deep below the plane.
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
    const D3DCOLOR centre = Pixel(kSize / 2, kSize / 2);
    const int red = (centre >> 16) & 0xFF, green = (centre >> 8) & 0xFF, blue = centre & 0xFF;
    if (!c.lit) {
      EXPECT_TRUE(ColorNear(centre, kBlack));
      continue;
    }
    EXPECT_GT(green, 40) << std::hex << centre;
    EXPECT_GT(green, red) << std::hex << centre;
    EXPECT_GT(green, blue) << std::hex << centre;
  }
}

// Looking down at the water, the mirror shows the sky above it: the top face's
// colour, sampled from the reflection target through the remap matrix.
TEST_F(SkyPassTest, ReflectionShowsTheSkyAboveWhereTheMirrorPutsIt) {
  SolidFaces();
  DrawSkyAndMirror(128, Look({0, 100, 0}, {0, -1.0f, 0.6f}), 1500.0f);
  // Far out towards the horizon (the top row) the mirror shows the sides.
  ExpectPixels({{64, 120, kTop}, {64, 64, kTop}, {64, 2, kSide}}, 8);
  DWORD cull = 0;
  device_->GetRenderState(D3DRS_CULLMODE, &cull);
  EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_CCW));
}

// The refraction target keeps its fill colour and leaves the back buffer alone.
// A quad sloping from the plane (x = -50) down to one depth range below it
// (x = +50), seen from straight above: the depth values fall from 1 to 0
// across it, and stay 0 where nothing was drawn.
TEST_F(SkyPassTest, RefractionHoldsItsFillColourAndTheDepthPassEncodesHeightBelowThePlane) {
  cRefractionTarget refraction;
  ASSERT_TRUE(refraction.Init(50, d3d_, device_));
  ASSERT_EQ(refraction.GetSize(), 64);
  ASSERT_TRUE(refraction.Begin(device_));
  Clear(0xFF182830);
  ASSERT_TRUE(refraction.End(device_));
  std::vector<uint8_t> texels;
  ASSERT_TRUE(platform::ReadTexture(refraction.GetTexture(), 0, texels));
  for (UINT at : {0u, 31u, 63u}) EXPECT_TRUE(ColorNear(TexelAt(texels, 64, at, at), 0xFF182830));
  ExpectPixels({{64, 64, kBlack}});

  cRefractionTarget depth(cRefractionTarget::Role::Depth);
  ASSERT_TRUE(depth.Init(64, d3d_, device_));
  const D3DXMATRIX view = Look({0, 200, 0}, {0, -1, 0.0001f});
  const WorldVertex slope[4] = {{-50, 0, 50}, {50, -50, 50}, {-50, 0, -50}, {50, -50, -50}};
  ASSERT_TRUE(depth.Begin(device_));
  Clear(0x00000000);
  ASSERT_TRUE(depth.BeginDepth(identity_, projection_, view, 0.0f, 50.0f, device_));
  DrawWorld(slope, view);
  ASSERT_TRUE(depth.EndDepth());
  ASSERT_TRUE(depth.End(device_));
  ASSERT_TRUE(platform::ReadTexture(depth.GetTexture(), 0, texels));
  int previous = 256;
  for (UINT x = 26; x <= 38; x += 4) {
    const D3DCOLOR texel = TexelAt(texels, 64, x, 32);
    const int red = (texel >> 16) & 0xFF;
    EXPECT_LT(red, previous) << x;
    EXPECT_EQ(red, static_cast<int>(texel & 0xFF));      // every channel alike
    EXPECT_EQ(red, static_cast<int>(texel >> 24)) << x;  // alpha too: blending is off
    previous = red;
  }
  EXPECT_EQ(TexelAt(texels, 64, 1, 1), 0x00000000u);
  EXPECT_EQ(TexelAt(texels, 64, 62, 62), 0x00000000u);
}

// The three sky sets from the editor's start camera, and a reflection of set 1
// in a water plane, written for docs/screenshots.
class SkyScreenshotTest : public SkyPassTest {
 protected:
  SkyScreenshotTest() { backWidth_ = 512, backHeight_ = 384; }

  // The sky's brightness rises from the zenith to the horizon, and the image has no black texel.
  void ExpectSkyLikeAndSave(const std::string& name) {
    ReadBack();
    const auto brightness = [&](UINT x, UINT y) {
      const D3DCOLOR c = Pixel(x, y);
      return ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF);
    };
    for (UINT y = 0; y < height_; y += 8) {
      for (UINT x = 0; x < width_; x += 8) ASSERT_GT(brightness(x, y), 60u) << x << "," << y;
    }
    SaveScreenshot(name.c_str());
  }
};

TEST_F(SkyScreenshotTest, SkySetsAndAReflectionFromTheStartCamera) {
  const D3DXMATRIX start = Look({0, 100, 100}, {0, 0, 1});
  for (int set = 1; set <= 3; ++set) {
    LoadSkySet(set);
    const std::string name = "sky-" + std::to_string(set);
    Clear();
    ASSERT_TRUE(sky_->RenderEffect(faces_.data(), device_, start, projection_));
    ExpectSkyLikeAndSave(name + ".png");
    // Up into a corner of the cube, where three faces meet.
    Clear();
    ASSERT_TRUE(sky_->RenderEffect(faces_.data(), device_, Look({0, 100, 100}, {1, 1.2f, 1}), projection_));
    ExpectSkyLikeAndSave(name + "-corner.png");
    if (set == 1) {
      Clear();
      DrawSkyAndMirror(512, start, 2000.0f);
      ExpectSkyLikeAndSave("reflection-target.png");
    }
    FreeFaces();
  }
}

}  // namespace
}  // namespace gltest
