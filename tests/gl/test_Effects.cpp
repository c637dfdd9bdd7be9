// Effect files compiled to GLSL on the OpenGL backend, checked on read-back pixels.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>

#include "GLTest.h"

namespace gltest {
namespace {

class EffectTest : public GLDeviceTest {
 protected:
  void SetUp() override {
    GLDeviceTest::SetUp();
    if (NotStarted()) return;
    effect_ = Load("tests/data/gl/textured.fx");
    ASSERT_NE(effect_, nullptr);
  }
  ID3DXEffect* Load(const std::string& path) {
    ID3DXEffect* effect = nullptr;
    EXPECT_EQ(D3DXCreateEffectFromFileA(device_, path.c_str(), nullptr, nullptr, 0, nullptr, &effect, nullptr), D3D_OK)
        << path;
    return effect ? Own(effect) : nullptr;
  }
  // Writes `text` to an effect file under the artifacts and loads it.
  ID3DXEffect* LoadText(const char* name, const std::string& text) {
    std::filesystem::create_directories(TEST_ARTIFACT_DIR);
    std::ofstream(std::string(TEST_ARTIFACT_DIR) + "/" + name) << text;
    return Load(std::string(TEST_ARTIFACT_DIR) + "/" + name);
  }
  // Draws a quad over x in [left, right] in every pass of the current technique.
  void DrawWith(ID3DXEffect* effect, float left = -1.0f, float right = 1.0f) {
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
    for (UINT pass = 0; pass < passes; ++pass) {
      ASSERT_EQ(effect->BeginPass(pass), D3D_OK);
      DrawQuad(left, right);
      ASSERT_EQ(effect->EndPass(), D3D_OK);
    }
    ASSERT_EQ(effect->End(), D3D_OK);
  }
  // The test effect's technique, its quad moved right by `shiftX`.
  void DrawTest(const char* technique, float shiftX, float left = -1.0f, float right = 1.0f) {
    D3DXMATRIX transform;
    D3DXMatrixTranslation(&transform, shiftX, 0, 0);
    ASSERT_EQ(effect_->SetTechnique(technique), D3D_OK);
    ASSERT_EQ(effect_->SetMatrix("matWorldViewProject", &transform), D3D_OK);
    DrawWith(effect_, left, right);
  }
  void SetTint(float r, float g, float b, float a = 1.0f) {
    const float tint[4] = {r, g, b, a};
    ASSERT_EQ(effect_->SetFloatArray("tint", tint, 4), D3D_OK);
  }
  ID3DXEffect* effect_ = nullptr;
};

TEST_F(EffectTest, TexturesMatricesUniformsClipPlaneAndAlphaTestReachTheShaders) {
  ASSERT_EQ(effect_->SetTexture("defaultTexture", MakeQuadrantTexture()), D3D_OK);
  DrawTest("textured", 0.0f);
  ExpectQuadrants();  // as fixed function draws it
  Clear();
  SetTint(0, 1, 0);
  DrawTest("tinted", 1.0f);  // v * M moves the quad right by half the screen
  ExpectPixels({{32, 64, kBlack}, {96, 64, kGreen}});
  // The clip plane is in clip space; the alpha test applies to the output.
  Clear();
  SetTint(1, 1, 1);
  const float keepPositiveX[4] = {1, 0, 0, 0};
  ASSERT_EQ(device_->SetClipPlane(0, keepPositiveX), D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_CLIPPLANEENABLE, D3DCLIPPLANE0), D3D_OK);
  DrawTest("tinted", 0.5f, -1.5f, 1.5f);  // world x = 0 would be pixel 96; clip x = 0 is pixel 64
  ExpectPixels({{58, 64, kBlack}, {70, 64, kWhite}});
  Clear();
  ASSERT_EQ(device_->SetRenderState(D3DRS_CLIPPLANEENABLE, 0), D3D_OK);
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  device_->SetRenderState(D3DRS_ALPHAREF, 0x80);
  device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  SetTint(1, 1, 1, 0.25f);
  DrawTest("tinted", 0.0f, -1.0f, 0.0f);
  SetTint(1, 1, 1, 0.75f);
  DrawTest("tinted", 0.0f, 0.0f, 1.0f);
  ExpectPixels({{32, 64, kBlack}, {96, 64, 0xBFFFFFFF}});
}

TEST_F(EffectTest, VertexStageFetchesFloatTexturesAndFileSamplerStatesLastOnlyThePass) {
  // The third sampler would be point-sampled and wrapped by default.
  ID3DXEffect* fetch = LoadText("fetch_and_clamp.fx", R"(#technique fetch FETCH
#technique clamped
#sampler third Filter=Linear AddressU=Clamp AddressV=Clamp
uniform sampler2D first;
uniform sampler2D second;
uniform sampler2D third;
uniform sampler2D heights;
#ifdef VERTEX_SHADER
out vec4 fetched;
out vec2 uv;
void main() {
  fetched = textureLod(heights, vec2(0.5), 0.0);
  uv = inTexcoord0.xy * 2.0 - 0.5;
  EmitPosition(vec4(inPosition.xyz, 1.0));
}
#endif
#ifdef FRAGMENT_SHADER
in vec4 fetched;
in vec2 uv;
#ifdef FETCH
void main() { outColor = vec4(fetched.rgb, 1.0); }
#else
void main() { outColor = texture(third, uv); }
#endif
#endif
)");
  ASSERT_NE(fetch, nullptr);
  ASSERT_EQ(fetch->SetTechnique("fetch"), D3D_OK);
  const struct { D3DFORMAT format; std::vector<float> values; D3DCOLOR expected; } cases[] = {
      {D3DFMT_R32F, {0.5f}, 0xFF80FFFF},  // as in Direct3D, the channels an R32F texel lacks read 1
      {D3DFMT_A32B32G32R32F, {0.25f, 0.5f, 0.75f, 1.0f}, 0xFF4080BF}};
  for (const auto& c : cases) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(1, 1, 1, 0, c.format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(Own(texture)->LockRect(0, &locked, nullptr, 0), D3D_OK);
    std::memcpy(locked.pBits, c.values.data(), c.values.size() * sizeof(float));
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    ASSERT_EQ(fetch->SetTexture("heights", texture), D3D_OK);
    DrawWith(fetch);
    SCOPED_TRACE(::testing::Message() << "format " << c.format);
    ExpectPixels({{64, 64, c.expected}});
  }
  ASSERT_EQ(fetch->SetTechnique("clamped"), D3D_OK);
  ASSERT_EQ(fetch->SetTexture("third", MakeTexture(2, 1, {kRed, kBlue})), D3D_OK);
  DrawWith(fetch);
  // Clamped: the far left reads the left texel, the far right the right one.
  ExpectPixels({{2, 64, kRed}, {125, 64, kBlue}});
  // Linear: the middle is a blend of both.
  EXPECT_GT(frame_.At(64, 64).r, 0x40);
  EXPECT_GT(frame_.At(64, 64).b, 0x40);
  DWORD address = 0, filter = 0;
  ASSERT_EQ(device_->GetSamplerState(2, D3DSAMP_ADDRESSU, &address), D3D_OK);
  ASSERT_EQ(device_->GetSamplerState(2, D3DSAMP_MAGFILTER, &filter), D3D_OK);
  EXPECT_EQ(std::pair(address, filter), (std::pair<DWORD, DWORD>(D3DTADDRESS_WRAP, D3DTEXF_POINT)));
}

// Compiling up front names the technique that fails; drawing with a shader that does not compile reports it once, draws
// nothing.
TEST_F(EffectTest, EveryShippedTechniqueCompilesAndBrokenOnesAreReported) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator("shaders")) {
    if (entry.path().extension() != ".fx") continue;
    ++files;
    ID3DXEffect* effect = Load(entry.path().string());
    ASSERT_NE(effect, nullptr) << entry.path();
    std::string errors = "not run";
    EXPECT_TRUE(platform::CompileEffect(effect, &errors) && errors.empty()) << entry.path() << "\n" << errors;
  }
  EXPECT_GE(files, 5);
  ID3DXEffect* twoTechniques = LoadText("two_techniques.fx", R"(#technique good
#technique bad BROKEN
#ifdef BROKEN
this is not GLSL;
#endif
#ifdef VERTEX_SHADER
void main() { EmitPosition(vec4(inPosition.xyz, 1.0)); }
#endif
#ifdef FRAGMENT_SHADER
void main() { outColor = vec4(1.0); }
#endif
)");
  ASSERT_NE(twoTechniques, nullptr);
  std::string errors;
  EXPECT_FALSE(platform::CompileEffect(twoTechniques, &errors));
  EXPECT_NE(errors.find("technique bad"), std::string::npos) << errors;
  EXPECT_EQ(errors.find("technique good"), std::string::npos) << errors;
  ID3DXEffect* broken = Load("tests/data/gl/broken.fx");
  ASSERT_NE(broken, nullptr);
  ::testing::internal::CaptureStderr();
  DrawWith(broken);
  DrawWith(broken);
  const std::string reported = ::testing::internal::GetCapturedStderr();
  const size_t first = reported.find("broken.fx");
  ASSERT_NE(first, std::string::npos) << reported;
  EXPECT_EQ(reported.find("broken.fx", first + 1), std::string::npos) << reported;
  EXPECT_NE(reported.find("undeclaredColour"), std::string::npos) << reported;
  ExpectPixels({{64, 64, kBlack}});
}

}  // namespace
}  // namespace gltest
