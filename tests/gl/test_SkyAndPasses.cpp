// The sky and the reflection, refraction and depth passes on the OpenGL
// backend, checked by the pixels they leave: both sky techniques, a mirrored
// sky sampled back through the engines' remap matrix (up stays up), the
// refraction fill colour and the depth encoding. Also writes the screenshots
// of the three sky sets and of a reflection.
#include <array>
#include <string>

#include "GLDeviceTest.h"
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
struct ProjectedVertex {
  float x, y, z;
  float clip[4];
};
constexpr D3DVERTEXELEMENT9 kProjectedDeclaration[] = {
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
    if (IsSkipped() || HasFatalFailure()) return;
    sky_ = new cSkybox(nullptr, device_);
    ASSERT_NE(sky_->GetEffect(), nullptr);
    ASSERT_TRUE(sky_->Create(2000.0f, D3DXVECTOR3(0, 0, 0), device_));
    D3DXMatrixPerspectiveFovLH(&projection_, 60 * 0.017453292f, Aspect(), 1.0f, 16384.0f);
    ASSERT_EQ(device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW), D3D_OK);
    ASSERT_EQ(device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE), D3D_OK);
    ASSERT_EQ(device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA), D3D_OK);
    ASSERT_EQ(device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA), D3D_OK);
    for (int sampler = 0; sampler < 2; ++sampler) {
      device_->SetSamplerState(sampler, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
      device_->SetSamplerState(sampler, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    }
  }

  void TearDown() override {
    device_->SetTexture(0, nullptr);
    for (D3DTexture* face : faces_) delete face;
    delete sky_;
    GLDeviceTest::TearDown();
  }

  virtual float Aspect() const { return 1.0f; }

  // Top, bottom and sides of one solid colour each.
  void SolidFaces() {
    for (int face = 0; face < 6; ++face) {
      faces_[face] = new D3DTexture(nullptr);
      const D3DCOLOR color = face == 4 ? kTop : face == 5 ? kBottom : kSide;
      faces_[face]->texture = MakeTexture(2, 2, {color, color, color, color});
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

  // Draws the water plane y = 0 (a square of half size `extent`) with `texture`
  // looked up where each point lands on the screen.
  void DrawMirror(IDirect3DTexture9* texture, const D3DXMATRIX& view, float extent) {
    const D3DXMATRIX viewProjection = view * projection_;
    ProjectedVertex quad[4];
    const float corners[4][2] = {{-extent, extent}, {extent, extent}, {-extent, -extent}, {extent, -extent}};
    for (int i = 0; i < 4; ++i) {
      D3DXVECTOR4 clip;
      const D3DXVECTOR4 world(corners[i][0], 0, corners[i][1], 1);
      D3DXVec4Transform(&clip, &world, &viewProjection);
      quad[i] = {world.x, 0, world.z, {clip.x, clip.y, clip.z, clip.w}};
    }
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    ASSERT_EQ(device_->SetTransform(D3DTS_WORLD, &identity), D3D_OK);
    ASSERT_EQ(device_->SetTransform(D3DTS_VIEW, &view), D3D_OK);
    ASSERT_EQ(device_->SetTransform(D3DTS_PROJECTION, &projection_), D3D_OK);
    ASSERT_EQ(device_->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(device_->SetTransform(D3DTS_TEXTURE0, &kRemap), D3D_OK);
    ASSERT_EQ(device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT4 | D3DTTFF_PROJECTED),
              D3D_OK);
    ASSERT_EQ(device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
    IDirect3DVertexDeclaration9* declaration = nullptr;
    ASSERT_EQ(device_->CreateVertexDeclaration(kProjectedDeclaration, &declaration), D3D_OK);
    ASSERT_EQ(device_->SetVertexDeclaration(Own(declaration)), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ProjectedVertex)), D3D_OK);
    device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    device_->SetVertexDeclaration(nullptr);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  }

  // The mirrored sky of the view into `target`, as the scene's reflection pass draws it.
  void RenderReflection(cReflectionTarget& target, const D3DXMATRIX& view) {
    ASSERT_TRUE(target.Begin(device_, &view));
    EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
    EXPECT_TRUE(sky_->RenderEffect(faces_.data(), device_, target.GetReflectedView(), projection_,
                                   "simple_zenable_false"));
    ASSERT_TRUE(target.End(device_));
  }

  static D3DCOLOR TexelAt(const std::vector<uint8_t>& texels, UINT size, UINT x, UINT y) {
    const uint8_t* p = &texels[(y * size + x) * 4];
    return D3DCOLOR_ARGB(p[3], p[2], p[1], p[0]);
  }

  cSkybox* sky_ = nullptr;
  std::array<D3DTexture*, 6> faces_{};
  D3DXMATRIX projection_;
};

TEST_F(SkyPassTest, SimpleTestsDepthButWritesNoneAndTheOtherTechniqueIgnoresDepth) {
  SolidFaces();
  const D3DXMATRIX view = Look({0, 0, 0}, {0, 0, 1});
  // A blocker near the eye on the left half writes depth first.
  const WorldVertex blocker[4] = {{-20, 20, 10}, {0, 20, 10}, {-20, -20, 10}, {0, -20, 10}};
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  device_->SetTransform(D3DTS_WORLD, &identity);
  device_->SetTransform(D3DTS_VIEW, &view);
  device_->SetTransform(D3DTS_PROJECTION, &projection_);
  device_->SetTexture(0, nullptr);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  const auto drawBlocker = [&] {
    ASSERT_EQ(device_->SetFVF(D3DFVF_XYZ), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, blocker, sizeof(WorldVertex)), D3D_OK);
  };
  drawBlocker();
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  ASSERT_TRUE(sky_->RenderEffect(faces_.data(), device_, view, projection_, nullptr));
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(20, 64), kWhite));  // the blocker stays in front
  EXPECT_TRUE(ColorNear(Pixel(100, 64), kSide));
  EXPECT_TRUE(ColorNear(Pixel(100, 2), kTop) || ColorNear(Pixel(100, 2), kSide));

  // Beyond the cube (the shader model 3 water disc can reach there) nothing is hidden by the sky.
  const WorldVertex far[4] = {{-5000, 5000, 3000}, {5000, 5000, 3000}, {-5000, -5000, 3000}, {5000, -5000, 3000}};
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  ASSERT_EQ(device_->SetFVF(D3DFVF_XYZ), D3D_OK);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, far, sizeof(WorldVertex)), D3D_OK);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(100, 64), kWhite));

  // Without depth test the sky covers even the blocker.
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0), D3D_OK);
  drawBlocker();
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  ASSERT_TRUE(sky_->RenderEffect(faces_.data(), device_, view, projection_, "simple_zenable_false"));
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(20, 64), kSide));
  EXPECT_TRUE(ColorNear(Pixel(100, 64), kSide));
}

TEST_F(SkyPassTest, FixedFunctionSkyShowsEachFaceWhereItBelongs) {
  SolidFaces();
  struct Case {
    D3DXVECTOR3 direction;
    D3DCOLOR centre;
  };
  // Fixed function draws with the device's transforms, which the scene keeps set.
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  device_->SetTransform(D3DTS_WORLD, &identity);
  device_->SetTransform(D3DTS_PROJECTION, &projection_);
  for (const Case& c : {Case{{0, 1, 0.001f}, kTop}, Case{{0, -1, 0.001f}, kBottom}, Case{{1, 0, 0}, kSide}}) {
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0), D3D_OK);
    const D3DXMATRIX view = Look({0, 0, 0}, c.direction);
    device_->SetTransform(D3DTS_VIEW, &view);
    ASSERT_TRUE(sky_->RenderFixed(faces_.data(), device_, view, projection_));
    ReadBack();
    EXPECT_TRUE(ColorNear(Pixel(64, 64), c.centre));
  }
}

// Looking down at the water, the mirror shows the sky above it: the top face's
// colour, sampled from the reflection target through the remap matrix.
TEST_F(SkyPassTest, ReflectionShowsTheSkyAboveWhereTheMirrorPutsIt) {
  SolidFaces();
  cReflectionTarget target;
  ASSERT_TRUE(target.Init(128, 0.0f, d3d_, device_));
  const D3DXMATRIX view = Look({0, 100, 0}, {0, -1.0f, 0.6f});
  RenderReflection(target, view);
  ASSERT_TRUE(sky_->RenderEffect(faces_.data(), device_, view, projection_));
  DrawMirror(target.GetTexture(), view, 1500.0f);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(64, 120), kTop, 8));
  EXPECT_TRUE(ColorNear(Pixel(64, 64), kTop, 8));
  // Far out towards the horizon the mirror shows the sides.
  EXPECT_TRUE(ColorNear(Pixel(64, 2), kSide, 8));
  DWORD cull = 0;
  device_->GetRenderState(D3DRS_CULLMODE, &cull);
  EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_CCW));
}

TEST_F(SkyPassTest, RefractionTargetHoldsItsFillColour) {
  cRefractionTarget target;
  ASSERT_TRUE(target.Init(50, d3d_, device_));
  ASSERT_EQ(target.GetSize(), 64);
  ASSERT_TRUE(target.Begin(device_));
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF182830, 1.0f, 0), D3D_OK);
  ASSERT_TRUE(target.End(device_));
  std::vector<uint8_t> texels;
  ASSERT_TRUE(platform::ReadTexture(target.GetTexture(), 0, texels));
  for (UINT at : {0u, 31u, 63u}) EXPECT_TRUE(ColorNear(TexelAt(texels, 64, at, at), 0xFF182830));
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(64, 64), kBlack));  // the back buffer was left alone
}

// A quad sloping from the plane (x = -50) down to one depth range below it
// (x = +50), seen from straight above: the values fall from 1 to 0 across it,
// and stay 0 where nothing was drawn.
TEST_F(SkyPassTest, DepthPassEncodesHeightBelowThePlane) {
  cRefractionTarget depth(cRefractionTarget::Role::Depth);
  ASSERT_TRUE(depth.Init(64, d3d_, device_));
  const D3DXMATRIX view = Look({0, 200, 0}, {0, -1, 0.0001f});
  D3DXMATRIX world;
  D3DXMatrixIdentity(&world);
  const WorldVertex slope[4] = {{-50, 0, 50}, {50, -50, 50}, {-50, 0, -50}, {50, -50, -50}};
  ASSERT_TRUE(depth.Begin(device_));
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0), D3D_OK);
  ASSERT_TRUE(depth.BeginDepth(world, projection_, view, 0.0f, 50.0f, device_));
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  ASSERT_EQ(device_->SetFVF(D3DFVF_XYZ), D3D_OK);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, slope, sizeof(WorldVertex)), D3D_OK);
  ASSERT_TRUE(depth.EndDepth());
  ASSERT_TRUE(depth.End(device_));
  std::vector<uint8_t> texels;
  ASSERT_TRUE(platform::ReadTexture(depth.GetTexture(), 0, texels));
  int previous = 256;
  for (UINT x = 26; x <= 38; x += 4) {
    const D3DCOLOR texel = TexelAt(texels, 64, x, 32);
    const int red = (texel >> 16) & 0xFF;
    EXPECT_LT(red, previous) << x;
    EXPECT_EQ(red, static_cast<int>(texel & 0xFF));     // every channel alike
    EXPECT_EQ(red, static_cast<int>(texel >> 24)) << x; // alpha too: blending is off
    previous = red;
  }
  EXPECT_EQ(TexelAt(texels, 64, 1, 1), 0x00000000u);
  EXPECT_EQ(TexelAt(texels, 64, 62, 62), 0x00000000u);
}

// The three sky sets from the editor's start camera, and a reflection of set 1
// in a water plane, written for docs/screenshots.
class SkyScreenshotTest : public SkyPassTest {
 protected:
  D3DPRESENT_PARAMETERS PresentParameters() const override {
    D3DPRESENT_PARAMETERS parameters = GLDeviceTest::PresentParameters();
    parameters.BackBufferWidth = 512;
    parameters.BackBufferHeight = 384;
    return parameters;
  }
  float Aspect() const override { return 512.0f / 384.0f; }

  void ReadScreen() { ASSERT_TRUE(platform::ReadBackBuffer(device_, pixels_, width_, height_)); }

  // The sky's brightness rises from the zenith to the horizon, and the image has no black texel.
  void ExpectSkyLike() {
    ReadScreen();
    const auto brightness = [&](UINT x, UINT y) {
      const D3DCOLOR c = Pixel(x, y);
      return ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF);
    };
    for (UINT y = 0; y < height_; y += 8) {
      for (UINT x = 0; x < width_; x += 8) ASSERT_GT(brightness(x, y), 60u) << x << "," << y;
    }
  }

  const D3DXMATRIX startView_ = Look({0, 100, 100}, {0, 0, 1});
};

TEST_F(SkyScreenshotTest, SkySetsFromTheStartCamera) {
  for (int set = 1; set <= 3; ++set) {
    LoadSkySet(set);
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0), D3D_OK);
    ASSERT_TRUE(sky_->RenderEffect(faces_.data(), device_, startView_, projection_));
    ExpectSkyLike();
    SaveScreenshot(("sky-" + std::to_string(set) + ".png").c_str());
    // Up into a corner of the cube, where three faces meet.
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0), D3D_OK);
    ASSERT_TRUE(sky_->RenderEffect(faces_.data(), device_, Look({0, 100, 100}, {1, 1.2f, 1}), projection_));
    ExpectSkyLike();
    SaveScreenshot(("sky-" + std::to_string(set) + "-corner.png").c_str());
    for (D3DTexture*& face : faces_) {
      delete face;
      face = nullptr;
    }
  }
}

TEST_F(SkyScreenshotTest, ReflectionOfTheSkyInTheWater) {
  LoadSkySet(1);
  cReflectionTarget target;
  ASSERT_TRUE(target.Init(512, 0.0f, d3d_, device_));
  RenderReflection(target, startView_);
  ASSERT_TRUE(sky_->RenderEffect(faces_.data(), device_, startView_, projection_));
  DrawMirror(target.GetTexture(), startView_, 2000.0f);
  ExpectSkyLike();
  SaveScreenshot("reflection-target.png");
}

}  // namespace
}  // namespace gltest
