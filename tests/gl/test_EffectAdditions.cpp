// The effect features the water engines rely on, on the OpenGL backend:
// vertex texture fetch from float textures, sampler states declared in the
// file, and compiling every technique up front.
#include <cstring>
#include <filesystem>
#include <fstream>

#include "GLDeviceTest.h"

namespace gltest {
namespace {

// Writes `text` to a file under the build's artefacts and returns its path.
std::string WriteEffect(const char* name, const std::string& text) {
  std::filesystem::create_directories(TEST_ARTIFACT_DIR);
  const std::string path = std::string(TEST_ARTIFACT_DIR) + "/" + name;
  std::ofstream(path) << text;
  return path;
}

class EffectAdditions : public GLDeviceTest {
 protected:
  ID3DXEffect* Load(const std::string& path) {
    ID3DXEffect* effect = nullptr;
    EXPECT_EQ(D3DXCreateEffectFromFileA(device_, path.c_str(), nullptr, nullptr, 0, nullptr, &effect, nullptr), D3D_OK);
    return effect ? Own(effect) : nullptr;
  }

  // A 1x1 float texture holding `values` (as many as the format has channels).
  IDirect3DTexture9* FloatTexture(D3DFORMAT format, const std::vector<float>& values) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device_->CreateTexture(1, 1, 1, 0, format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    if (!texture) return nullptr;
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    std::memcpy(locked.pBits, values.data(), values.size() * sizeof(float));
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    return Own(texture);
  }

  // Draws a full-screen quad under pass 0 of the effect's current technique.
  void DrawWith(ID3DXEffect* effect) {
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    DrawQuad();
    EXPECT_EQ(effect->EndPass(), D3D_OK);
    EXPECT_EQ(effect->End(), D3D_OK);
  }
};

TEST_F(EffectAdditions, VertexStageFetchesR32FAndA32B32G32R32FTextures) {
  const std::string path = WriteEffect("vertex_fetch.fx", R"(#technique fetch
uniform sampler2D heights;
#ifdef VERTEX_SHADER
out vec4 fetched;
void main() {
  fetched = textureLod(heights, vec2(0.5), 0.0);
  EmitPosition(vec4(inPosition.xyz, 1.0));
}
#endif
#ifdef FRAGMENT_SHADER
in vec4 fetched;
void main() { outColor = vec4(fetched.rgb, 1.0); }
#endif
)");
  ID3DXEffect* effect = Load(path);
  ASSERT_NE(effect, nullptr);
  struct Case {
    D3DFORMAT format;
    std::vector<float> values;
    D3DCOLOR expected;
  };
  // As in Direct3D, the channels an R32F texel lacks read 1.
  const Case cases[] = {{D3DFMT_R32F, {0.5f}, 0xFF80FFFF},
                        {D3DFMT_A32B32G32R32F, {0.25f, 0.5f, 0.75f, 1.0f}, 0xFF4080BF}};
  for (const Case& c : cases) {
    ASSERT_EQ(effect->SetTexture("heights", FloatTexture(c.format, c.values)), D3D_OK);
    DrawWith(effect);
    ReadBack();
    EXPECT_TRUE(ColorNear(Pixel(64, 64), c.expected)) << "format " << c.format;
  }
}

TEST_F(EffectAdditions, SamplerStatesFromTheFileApplyAtBeginPassAndEndPutsThemBack) {
  // The third sampler would be point-sampled and wrapped by default.
  const std::string path = WriteEffect("sampler_states.fx", R"(#technique clamped
#sampler third Filter=Linear AddressU=Clamp AddressV=Clamp
uniform sampler2D first;
uniform sampler2D second;
uniform sampler2D third;
#ifdef VERTEX_SHADER
out vec2 uv;
void main() {
  uv = inTexcoord0.xy * 2.0 - 0.5;
  EmitPosition(vec4(inPosition.xyz, 1.0));
}
#endif
#ifdef FRAGMENT_SHADER
in vec2 uv;
void main() { outColor = texture(third, uv); }
#endif
)");
  ID3DXEffect* effect = Load(path);
  ASSERT_NE(effect, nullptr);
  ASSERT_EQ(effect->SetTexture("third", MakeTexture(2, 1, {kRed, kBlue})), D3D_OK);
  DrawWith(effect);
  ReadBack();
  // Clamped: the far left reads the left texel, the far right the right one.
  EXPECT_TRUE(ColorNear(Pixel(2, 64), kRed));
  EXPECT_TRUE(ColorNear(Pixel(125, 64), kBlue));
  // Linear: the middle is a blend of both.
  const D3DCOLOR middle = Pixel(64, 64);
  EXPECT_GT((middle >> 16) & 0xFF, 0x40u);
  EXPECT_GT(middle & 0xFF, 0x40u);
  DWORD value = 0;
  ASSERT_EQ(device_->GetSamplerState(2, D3DSAMP_ADDRESSU, &value), D3D_OK);
  EXPECT_EQ(value, static_cast<DWORD>(D3DTADDRESS_WRAP));
  ASSERT_EQ(device_->GetSamplerState(2, D3DSAMP_MAGFILTER, &value), D3D_OK);
  EXPECT_EQ(value, static_cast<DWORD>(D3DTEXF_POINT));
}

TEST_F(EffectAdditions, EveryTechniqueOfEveryEffectFileCompiles) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator("shaders")) {
    if (entry.path().extension() != ".fx") continue;
    ++files;
    ID3DXEffect* effect = Load(entry.path().string());
    ASSERT_NE(effect, nullptr) << entry.path();
    std::string errors = "not run";
    EXPECT_TRUE(platform::CompileEffect(effect, &errors)) << entry.path() << "\n" << errors;
    EXPECT_EQ(errors, "");
  }
  EXPECT_GE(files, 5);

  const std::string broken = WriteEffect("broken.fx", R"(#technique good
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
  ID3DXEffect* effect = Load(broken);
  ASSERT_NE(effect, nullptr);
  std::string errors;
  EXPECT_FALSE(platform::CompileEffect(effect, &errors));
  EXPECT_NE(errors.find("technique bad"), std::string::npos) << errors;
  EXPECT_EQ(errors.find("technique good"), std::string::npos) << errors;
}

}  // namespace
}  // namespace gltest
