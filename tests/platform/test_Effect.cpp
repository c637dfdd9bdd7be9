#include <gtest/gtest.h>

#include <functional>

#include "PlatformFixture.h"
#include "platform/device/DeviceHooks.h"

using platform::Recorded;
using platform::testing::WriteFile;

namespace {

const char* kWaterEffect = R"(#technique simple
#technique blended FOAM=1
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#pass ZWriteEnable=false CullMode=None
uniform mat4 matWorldViewProject;
uniform vec4 sunColor;
uniform vec3 ambientLight;
uniform float planeYPos;
uniform bool useFoam;
uniform sampler2D defaultTexture;
)";

class EffectTest : public platform::testing::PlatformFixture {
 protected:
  void SetUp() override {
    PlatformFixture::SetUp();
    path_ = WriteFile(dir_, "water.fx", kWaterEffect);
    effect_ = Load(path_);
  }
  void TearDown() override {
    if (effect_) effect_->Release();
    PlatformFixture::TearDown();
  }

  ID3DXEffect* Load(const std::string& path) {
    ID3DXEffect* effect = nullptr;
    EXPECT_EQ(D3DXCreateEffectFromFileA(device, path.c_str(), nullptr, nullptr, 0, nullptr, &effect, nullptr),
              D3D_OK);
    return effect;
  }

  // One triangle of pretransformed vertices, drawn with whatever is bound.
  void DrawTriangle() {
    const float vertices[3][4] = {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}};
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZRHW), D3D_OK);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, sizeof(vertices[0])), D3D_OK);
  }

  // One scene in which `inside` runs within pass 0 of the current technique.
  void InFirstPass(ID3DXEffect* effect, const std::function<void()>& inside) {
    UINT passes = 0;
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    inside();
    ASSERT_EQ(effect->EndPass(), D3D_OK);
    ASSERT_EQ(effect->End(), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
  }

  ScratchFolder dir_;
  std::string path_;
  ID3DXEffect* effect_ = nullptr;
};

}  // namespace

TEST_F(EffectTest, TechniquesAreFoundByNameAndUnknownOnesFail) {
  EXPECT_EQ(effect_->GetTechniqueByName("nothing"), nullptr);
  ASSERT_NE(effect_->GetTechniqueByName("blended"), nullptr);
  EXPECT_STREQ(effect_->GetTechniqueByName("blended"), "blended");
  EXPECT_STREQ(effect_->GetCurrentTechnique(), "simple");
  EXPECT_EQ(effect_->SetTechnique("nothing"), D3DERR_INVALIDCALL);
  EXPECT_EQ(effect_->SetTechnique(nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(effect_->SetTechnique(effect_->GetTechniqueByName("blended")), D3D_OK);
  EXPECT_STREQ(effect_->GetCurrentTechnique(), "blended");
  EXPECT_EQ(Recorded().techniques, std::vector<std::string>{"blended"});
  EXPECT_STREQ(effect_->GetParameterByName(nullptr, "sunColor"), "sunColor");
  EXPECT_EQ(effect_->GetParameterByName(nullptr, "moonColor"), nullptr);
}

TEST_F(EffectTest, ParametersAreCheckedStoredAndRecorded) {
  D3DXMATRIX matrix;
  for (int i = 0; i < 16; ++i) static_cast<float*>(matrix)[i] = static_cast<float>(i);
  EXPECT_EQ(effect_->SetMatrix("matWorldViewProject", &matrix), D3D_OK);
  const D3DXVECTOR4 sun(1, 2, 3, 4);
  EXPECT_EQ(effect_->SetVector("sunColor", &sun), D3D_OK);
  const float ambient[3] = {0.1f, 0.2f, 0.3f};
  EXPECT_EQ(effect_->SetFloatArray("ambientLight", ambient, 3), D3D_OK);
  EXPECT_EQ(effect_->SetFloat("planeYPos", -2.5f), D3D_OK);
  EXPECT_EQ(effect_->SetBool("useFoam", TRUE), D3D_OK);
  EXPECT_EQ(effect_->SetFloat("missing", 1.0f), D3DERR_INVALIDCALL);
  EXPECT_EQ(effect_->SetTexture("planeYPos", nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(effect_->SetFloat("defaultTexture", 1.0f), D3DERR_INVALIDCALL);

  const auto& records = Recorded().parameters;
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(std::tuple(records[0].effect, records[0].name, records[0].values.size(), records[0].values[4]),
            std::tuple(path_, std::string("matWorldViewProject"), size_t{16}, 4.0f));  // row-major, unchanged
  EXPECT_EQ(records[1].values, (std::vector<float>{1, 2, 3, 4}));
  EXPECT_EQ(records[2].values, (std::vector<float>{0.1f, 0.2f, 0.3f}));
  EXPECT_EQ(records[4].values, std::vector<float>{1.0f});
}

TEST_F(EffectTest, TexturesAreHeldUntilReplacedAndRenderTargetsDroppedOnLoss) {
  IDirect3DTexture9* texture = Texture(4, 4);
  ASSERT_EQ(effect_->SetTexture("defaultTexture", texture), D3D_OK);
  EXPECT_EQ(texture->AddRef(), 3u);  // ours, the effect's and this one
  texture->Release();
  EXPECT_EQ(Recorded().parameters.back().texture, texture);
  ASSERT_EQ(effect_->OnLostDevice(), D3D_OK);
  EXPECT_EQ(texture->AddRef(), 3u);  // the effect keeps a managed texture
  texture->Release();
  ASSERT_EQ(effect_->SetTexture("defaultTexture", nullptr), D3D_OK);
  EXPECT_EQ(texture->AddRef(), 2u);
  texture->Release();

  IDirect3DTexture9* target = nullptr;
  ASSERT_EQ(device->CreateTexture(4, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                  nullptr), D3D_OK);
  ASSERT_EQ(effect_->SetTexture("defaultTexture", target), D3D_OK);
  target->Release();
  ASSERT_EQ(effect_->OnLostDevice(), D3D_OK);
  EXPECT_EQ(device->Reset(&parameters), D3D_OK);
}

TEST_F(EffectTest, PassesSetTheirStatesAndBindTheEffectForDraws) {
  platform::testing::SpyBackend* spy = platform::testing::InstallSpy();
  ASSERT_EQ(device->BeginScene(), D3D_OK);
  ASSERT_EQ(effect_->SetTechnique("blended"), D3D_OK);
  ASSERT_EQ(effect_->SetFloat("planeYPos", 3.0f), D3D_OK);
  UINT passes = 0;
  ASSERT_EQ(effect_->Begin(&passes, 0), D3D_OK);
  EXPECT_EQ(passes, 2u);
  EXPECT_EQ(effect_->Begin(&passes, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(effect_->BeginPass(2), D3DERR_INVALIDCALL);
  ASSERT_EQ(effect_->BeginPass(0), D3D_OK);
  EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), DWORD{TRUE});
  DrawTriangle();
  ASSERT_EQ(effect_->SetFloat("planeYPos", 4.0f), D3D_OK);
  ASSERT_EQ(effect_->CommitChanges(), D3D_OK);
  DrawTriangle();
  ASSERT_EQ(effect_->EndPass(), D3D_OK);
  EXPECT_EQ(effect_->EndPass(), D3DERR_INVALIDCALL);
  ASSERT_EQ(effect_->BeginPass(1), D3D_OK);
  EXPECT_EQ(RenderState(D3DRS_CULLMODE), DWORD{D3DCULL_NONE});
  DrawTriangle();
  ASSERT_EQ(effect_->EndPass(), D3D_OK);
  ASSERT_EQ(effect_->End(), D3D_OK);
  DrawTriangle();
  ASSERT_EQ(device->EndScene(), D3D_OK);
  // Begin saved what the passes change and End put it back.
  EXPECT_EQ(std::tuple(RenderState(D3DRS_ALPHABLENDENABLE), RenderState(D3DRS_CULLMODE)),
            std::tuple(DWORD{FALSE}, DWORD{D3DCULL_CCW}));

  ASSERT_EQ(spy->states.size(), 4u);
  const platform::EffectBinding& first = spy->states[0].effect;
  ASSERT_NE(first.effect, nullptr);
  EXPECT_EQ(std::tuple(first.technique, first.pass), std::tuple(1u, 0u));
  const auto planeIndex = 3;  // planeYPos in file order
  EXPECT_EQ(first.effect->parameters[planeIndex].name, "planeYPos");
  EXPECT_EQ((*spy->states[1].effect.values)[planeIndex].floats, std::vector<float>{4.0f});
  EXPECT_EQ(spy->states[2].effect.pass, 1u);
  EXPECT_EQ(spy->states[3].effect.effect, nullptr);
  const auto& draws = Recorded().draws;
  ASSERT_EQ(draws.size(), 4u);
  EXPECT_EQ(std::tuple(draws[0].effect, draws[0].technique, draws[2].pass, draws[3].effect),
            std::tuple(path_, std::string("blended"), 1u, std::string()));
}

TEST_F(EffectTest, ReleasingABoundEffectLeavesFixedFunction) {
  platform::testing::SpyBackend* spy = platform::testing::InstallSpy();
  ASSERT_EQ(device->BeginScene(), D3D_OK);
  UINT passes = 0;
  ASSERT_EQ(effect_->Begin(&passes, 0), D3D_OK);
  ASSERT_EQ(effect_->BeginPass(0), D3D_OK);
  effect_->Release();
  effect_ = nullptr;
  DrawTriangle();
  ASSERT_EQ(device->EndScene(), D3D_OK);
  ASSERT_EQ(spy->states.size(), 1u);
  EXPECT_EQ(spy->states[0].effect.effect, nullptr);
}

// The parser's messages are checked with the parser; here they reach the caller.
TEST_F(EffectTest, LoadFailuresExplainThemselves) {
  const std::string missing = dir_.File("missing.fx");
  const std::string bad = WriteFile(dir_, "bad.fx", "#technique t\n#pass ZEnable=perhaps\n");
  for (const auto& [path, result, message] : {std::tuple{missing, D3DERR_NOTFOUND, missing},
                                              {bad, D3DXERR_INVALIDDATA, bad + "(2): bad value 'perhaps'"}}) {
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    EXPECT_EQ(D3DXCreateEffectFromFileA(device, path.c_str(), nullptr, nullptr, 0, nullptr, &effect, &errors), result);
    EXPECT_EQ(effect, nullptr);
    ASSERT_NE(errors, nullptr);
    EXPECT_NE(std::string(static_cast<const char*>(errors->GetBufferPointer())).find(message), std::string::npos);
    errors->Release();
    EXPECT_EQ(D3DXCreateEffectFromFileA(device, path.c_str(), nullptr, nullptr, 0, nullptr, &effect, nullptr), result);
  }
}

TEST_F(EffectTest, WidePathsAndMacrosReachTheProgram) {
  const std::string path = WriteFile(dir_, "w\xC3\xA4sser.fx", kWaterEffect);
  const D3DXMACRO macros[] = {{"QUALITY", "2"}, {nullptr, nullptr}};
  const std::wstring widePath = dir_.Path().wstring() + L"/w\u00E4sser.fx";
  ID3DXEffect* effect = nullptr;
  ASSERT_EQ(D3DXCreateEffectFromFileW(device, widePath.c_str(), macros, nullptr, 0, nullptr, &effect, nullptr), D3D_OK);
  platform::testing::SpyBackend* spy = platform::testing::InstallSpy();
  ASSERT_EQ(Keep(effect)->SetTechnique("blended"), D3D_OK);
  InFirstPass(effect, [&] { DrawTriangle(); });
  ASSERT_EQ(spy->states.size(), 1u);
  const auto& defines = spy->states[0].effect.effect->techniques[1].defines;
  ASSERT_EQ(defines.size(), 2u);
  EXPECT_EQ(defines[0], std::make_pair(std::string("QUALITY"), std::string("2")));
  EXPECT_EQ(defines[1].first, "FOAM");
  EXPECT_EQ(spy->states[0].effect.effect->path, path);
}

TEST_F(EffectTest, TextDrawnInsideAPassKeepsTheEffectBound) {
  ID3DXFont* font = nullptr;
  ASSERT_EQ(D3DXCreateFontW(device, 16, 0, FW_NORMAL, 1, FALSE, 0, 0, 0, 0, L"arial", &font), D3D_OK);
  platform::testing::SpyBackend* spy = platform::testing::InstallSpy();
  InFirstPass(effect_, [&] {
    RECT rect{0, 0, 100, 20};
    EXPECT_EQ(Keep(font)->DrawTextW(nullptr, L"text", -1, &rect, 0, 0xFFFFFFFF), 16);
    DrawTriangle();
  });
  ASSERT_EQ(spy->states.size(), 2u);
  EXPECT_EQ(spy->states[0].effect.effect, nullptr);
  EXPECT_NE(spy->states[1].effect.effect, nullptr);
}

// `#sampler` states are set by BeginPass and put back by End.
TEST_F(EffectTest, SamplerStatesLastForThePass) {
  const std::string path = WriteFile(dir_, "samplers.fx", "#technique t\n#sampler b Filter=Linear AddressU=Clamp\n"
                                                    "uniform sampler2D a;\nuniform sampler2D b;\n");
  ID3DXEffect* effect = Keep(Load(path));
  ASSERT_EQ(device->SetSamplerState(1, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR), D3D_OK);
  InFirstPass(effect, [&] {
    EXPECT_EQ(std::tuple(SamplerState(1, D3DSAMP_ADDRESSU), SamplerState(1, D3DSAMP_MINFILTER)),
              std::tuple(DWORD{D3DTADDRESS_CLAMP}, DWORD{D3DTEXF_LINEAR}));
  });
  EXPECT_EQ(std::tuple(SamplerState(1, D3DSAMP_ADDRESSU), SamplerState(1, D3DSAMP_MINFILTER)),
            std::tuple(DWORD{D3DTADDRESS_MIRROR}, DWORD{D3DTEXF_POINT}));
  std::string errors = "unset";
  EXPECT_TRUE(platform::CompileEffect(effect, &errors)) << "the headless backend compiles nothing";
  EXPECT_EQ(errors, "");
}
