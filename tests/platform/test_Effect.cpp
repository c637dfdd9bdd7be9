#include <gtest/gtest.h>

#include <functional>

#include "PlatformFixture.h"
#include "platform/d3dx/EffectFile.h"
#include "platform/device/DeviceHooks.h"

using platform::EffectProgram;
using platform::ParameterType;
using platform::Recorded;
using platform::d3dx::EffectFile;
using platform::testing::GoldenCases;
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

const char* kMeshEffect = R"(// lighting for meshes
#technique vsLighting
#technique psLighting PER_PIXEL
#technique psLighting_withDepthTransparency PER_PIXEL DEPTH=1
#pass ZEnable=true AlphaBlendEnable=TRUE SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#pass CullMode=none ZFunc=LessEqual AlphaRef=128

uniform mat4 matWorldViewProject;
uniform vec4 gSunLightPos;
uniform vec3 ambientLight = vec3(0.2, 0.2, 0.2);
uniform float planeYPos, depthLimit;
uniform sampler2D defaultTexture;
uniform float weights[8];
/* uniform float commentedOut; */
#ifdef VERTEX_SHADER
uniform bool flip;
void main() { uniform_like(); EmitPosition(matWorldViewProject * inPosition); }
#endif
#ifdef FRAGMENT_SHADER
uniform bool flip;
void main() { outColor = texture(defaultTexture, vec2(0.0)); }
#endif
)";

// Samplers of a file with `#sampler` lines: b is the second, i and j the ninth and tenth.
const std::string kSamplerUniforms = R"(
uniform sampler2D a;
uniform float scale;
uniform sampler2D b;
uniform sampler2D c, d, e, f, g, h, i, j;
)";

EffectProgram ParseOk(const std::string& text) {
  EffectProgram program;
  std::string error;
  EXPECT_TRUE(EffectFile::Parse("shaders/test.fx", text, program, error)) << error;
  return program;
}

std::string ParseError(const std::string& text) {
  EffectProgram program;
  std::string error;
  EXPECT_FALSE(EffectFile::Parse("shaders/bad.fx", text, program, error)) << text;
  return error;
}

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
  // A spied scene in which `inside` runs within pass 0 of the current technique.
  const platform::testing::SpyBackend* InFirstPass(ID3DXEffect* effect, const std::function<void()>& inside) {
    return SpyOn([&] {
      UINT passes = 0;
      ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
      ASSERT_EQ(effect->BeginPass(0), D3D_OK);
      inside();
      ASSERT_EQ(effect->EndPass(), D3D_OK);
      ASSERT_EQ(effect->End(), D3D_OK);
    });
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
  const auto* spy = SpyOn([&] {
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
  });
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
  ASSERT_EQ(Keep(effect)->SetTechnique("blended"), D3D_OK);
  const auto* spy = InFirstPass(effect, [&] { DrawTriangle(); });
  ASSERT_EQ(spy->states.size(), 1u);
  const auto& defines = spy->states[0].effect.effect->techniques[1].defines;
  ASSERT_EQ(defines.size(), 2u);
  EXPECT_EQ(defines[0], std::make_pair(std::string("QUALITY"), std::string("2")));
  EXPECT_EQ(defines[1].first, "FOAM");
  EXPECT_EQ(spy->states[0].effect.effect->path, path);
}

// Text is drawn with fixed function, and a released effect leaves it.
TEST_F(EffectTest, TextDrawnInsideAPassKeepsTheEffectBoundAndReleasingItUnbindsIt) {
  ID3DXFont* font = nullptr;
  ASSERT_EQ(D3DXCreateFontW(device, 16, 0, FW_NORMAL, 1, FALSE, 0, 0, 0, 0, L"arial", &font), D3D_OK);
  const auto* spy = SpyOn([&] {
    UINT passes = 0;
    ASSERT_EQ(effect_->Begin(&passes, 0), D3D_OK);
    ASSERT_EQ(effect_->BeginPass(0), D3D_OK);
    RECT rect{0, 0, 100, 20};
    EXPECT_EQ(Keep(font)->DrawTextW(nullptr, L"text", -1, &rect, 0, 0xFFFFFFFF), 16);
    DrawTriangle();
    effect_->Release();
    effect_ = nullptr;
    DrawTriangle();
  });
  ASSERT_EQ(spy->states.size(), 3u);
  EXPECT_EQ(std::tuple(spy->states[0].effect.effect == nullptr, spy->states[1].effect.effect == nullptr,
                       spy->states[2].effect.effect == nullptr),
            std::tuple(true, false, true));
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

// Techniques carry their defines and passes; parameters are the file-scope uniforms in order.
TEST(EffectFile, TechniquesAndParametersOfAFile) {
  const EffectProgram program = ParseOk(kMeshEffect);
  EXPECT_EQ(program.path, "shaders/test.fx");
  using Technique = std::tuple<std::string, std::vector<std::pair<std::string, std::string>>, size_t>;
  std::vector<Technique> techniques;  // name, defines, passes
  for (const auto& t : program.techniques) techniques.emplace_back(t.name, t.defines, t.passes.size());
  EXPECT_EQ(techniques,
            (std::vector<Technique>{{"vsLighting", {}, 1},
                                    {"psLighting", {{"PER_PIXEL", ""}}, 1},
                                    {"psLighting_withDepthTransparency", {{"PER_PIXEL", ""}, {"DEPTH", "1"}}, 2}}));
  ASSERT_EQ(techniques.size(), 3u);
  EXPECT_TRUE(program.techniques[0].passes[0].states.empty());  // the implicit pass
  const auto& depth = program.techniques[2];
  using State = std::pair<D3DRENDERSTATETYPE, DWORD>;
  EXPECT_EQ(depth.passes[0].states, (std::vector<State>{{D3DRS_ZENABLE, 1}, {D3DRS_ALPHABLENDENABLE, 1},
                                                        {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
                                                        {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA}}));
  EXPECT_EQ(depth.passes[1].states,
            (std::vector<State>{{D3DRS_CULLMODE, D3DCULL_NONE}, {D3DRS_ZFUNC, D3DCMP_LESSEQUAL}, {D3DRS_ALPHAREF, 128}}));
  using Parameter = std::tuple<std::string, ParameterType, UINT>;
  using enum ParameterType;
  std::vector<Parameter> parameters;
  for (const auto& p : program.parameters) parameters.emplace_back(p.name, p.type, p.arraySize);
  EXPECT_EQ(parameters, (std::vector<Parameter>{{"matWorldViewProject", Float4x4, 1}, {"gSunLightPos", Float4, 1},
                                                {"ambientLight", Float3, 1}, {"planeYPos", Float, 1},
                                                {"depthLimit", Float, 1}, {"defaultTexture", Sampler, 1},
                                                {"weights", Float, 8}, {"flip", Bool, 1}}));
}

TEST(EffectFile, BadFilesFailWithTheLine) {
  for (const auto& [text, message] : GoldenCases("effect-errors.txt"))
    EXPECT_EQ(ParseError(text), "shaders/bad.fx" + message);
}

TEST(EffectFile, HeaderLinesAreBlankedAndGlslDirectivesAndCrLfAccepted) {
  const EffectProgram blanked =
      ParseOk("#technique a\n#pass ZEnable=false\n#sampler s Filter=Point\nuniform int n;\nuniform sampler2D s;\n");
  EXPECT_EQ(blanked.source, "\n\n\nuniform int n;\nuniform sampler2D s;\n");
  const EffectProgram program =
      ParseOk("#technique t\r\n#pass FillMode=Wireframe\r\n#define X 1\r\n# if X\r\nuniform vec2 v[2];\r\n#endif\r\n");
  ASSERT_EQ(program.parameters.size(), 1u);
  EXPECT_EQ(program.parameters[0].arraySize, 2u);
  EXPECT_EQ(program.techniques[0].passes[0].states[0].second, static_cast<DWORD>(D3DFILL_WIREFRAME));
}

TEST(EffectFile, SamplerLinesGoToTheDeviceSamplerOfTheUniformsOrder) {
  const EffectProgram program = ParseOk("#technique t\n"
                                        "#sampler b Filter=Linear MipFilter=None AddressU=Clamp addressv=MIRROR\n"
                                        "#sampler i Filter=Point\n#sampler j Filter=Point\n" + kSamplerUniforms);
  ASSERT_EQ(program.samplers.size(), 3u);
  EXPECT_EQ(std::tuple(program.samplers[0].name, program.samplers[0].sampler), std::tuple(std::string("b"), 1u));
  const std::vector<std::pair<D3DSAMPLERSTATETYPE, DWORD>> expected = {
      {D3DSAMP_MINFILTER, D3DTEXF_LINEAR}, {D3DSAMP_MAGFILTER, D3DTEXF_LINEAR}, {D3DSAMP_MIPFILTER, D3DTEXF_NONE},
      {D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP}, {D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR}};
  EXPECT_EQ(program.samplers[0].states, expected);
  // The ninth sampler takes the first vertex texture sampler, the tenth the second.
  EXPECT_EQ(std::pair(program.samplers[1].sampler, program.samplers[2].sampler),
            std::pair(DWORD{D3DVERTEXTEXTURESAMPLER0}, DWORD{D3DVERTEXTEXTURESAMPLER0 + 1}));
}
