// `#sampler` lines: parsed into the device sampler of the sampler's order,
// refused when a name or value is unknown, applied by BeginPass and put back by End.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "HeadlessDevice.h"
#include "platform/d3dx/EffectFile.h"

using platform::EffectProgram;
using platform::d3dx::EffectFile;

namespace {

const std::string kUniforms = R"(
uniform sampler2D a;
uniform float scale;
uniform sampler2D b;
uniform sampler2D c, d, e, f, g, h, i, j;
)";

TEST(EffectSamplerStates, ParsedIntoTheDeviceSamplerOfTheUniformsOrder) {
  EffectProgram program;
  std::string error;
  const std::string text = "#technique t\n"
                           "#sampler b Filter=Linear MipFilter=None AddressU=Clamp addressv=MIRROR\n"
                           "#sampler j Filter=Point\n" + kUniforms;
  ASSERT_TRUE(EffectFile::Parse("shaders/s.fx", text, program, error)) << error;
  ASSERT_EQ(program.samplers.size(), 2u);
  EXPECT_EQ(program.samplers[0].name, "b");
  EXPECT_EQ(program.samplers[0].sampler, 1u);
  const std::vector<std::pair<D3DSAMPLERSTATETYPE, DWORD>> expected = {
      {D3DSAMP_MINFILTER, D3DTEXF_LINEAR}, {D3DSAMP_MAGFILTER, D3DTEXF_LINEAR}, {D3DSAMP_MIPFILTER, D3DTEXF_NONE},
      {D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP}, {D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR}};
  EXPECT_EQ(program.samplers[0].states, expected);
  // The ninth sampler takes the first vertex texture sampler.
  EXPECT_EQ(program.samplers[1].sampler, D3DVERTEXTEXTURESAMPLER0 + 1);
  // The line is blanked for the compiler, keeping the line count.
  EXPECT_EQ(program.source.find("#sampler"), std::string::npos);
}

TEST(EffectSamplerStates, UnknownNamesAndValuesRefuseTheLoad) {
  const struct {
    const char* line;
    const char* message;
  } cases[] = {
      {"#sampler b Filter=Bilinear", "bad value 'Bilinear' for sampler state Filter"},
      {"#sampler b AddressW=Clamp", "unknown sampler state AddressW"},
      {"#sampler b AddressU", "bad sampler state 'AddressU'"},
      {"#sampler scale Filter=Linear", "#sampler scale names no sampler2D uniform"},
      {"#sampler missing Filter=Linear", "#sampler missing names no sampler2D uniform"},
      {"#sampler", "#sampler needs a sampler name"},
      {"#sampler b\n#sampler b", "sampler b is given states twice"},
  };
  for (const auto& c : cases) {
    EffectProgram program;
    std::string error;
    EXPECT_FALSE(EffectFile::Parse("shaders/s.fx", std::string("#technique t\n") + c.line + "\n" + kUniforms, program,
                                   error))
        << c.line;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_EQ(error.rfind("shaders/s.fx(", 0), 0u) << error;
  }
}

class EffectSamplerStatesOnDevice : public platform::testing::HeadlessDevice {};

TEST_F(EffectSamplerStatesOnDevice, BeginPassSetsThemAndEndPutsThemBack) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "sampler_states.fx";
  std::ofstream(path) << "#technique t\n#sampler b Filter=Linear AddressU=Clamp\n" << kUniforms;
  ID3DXEffect* effect = nullptr;
  ASSERT_EQ(D3DXCreateEffectFromFileA(device, path.c_str(), nullptr, nullptr, 0, nullptr, &effect, nullptr), D3D_OK);
  ASSERT_EQ(device->SetSamplerState(1, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR), D3D_OK);
  UINT passes = 0;
  ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
  ASSERT_EQ(effect->BeginPass(0), D3D_OK);
  DWORD address = 0, filter = 0;
  device->GetSamplerState(1, D3DSAMP_ADDRESSU, &address);
  device->GetSamplerState(1, D3DSAMP_MINFILTER, &filter);
  EXPECT_EQ(address, static_cast<DWORD>(D3DTADDRESS_CLAMP));
  EXPECT_EQ(filter, static_cast<DWORD>(D3DTEXF_LINEAR));
  ASSERT_EQ(effect->EndPass(), D3D_OK);
  ASSERT_EQ(effect->End(), D3D_OK);
  device->GetSamplerState(1, D3DSAMP_ADDRESSU, &address);
  device->GetSamplerState(1, D3DSAMP_MINFILTER, &filter);
  EXPECT_EQ(address, static_cast<DWORD>(D3DTADDRESS_MIRROR));
  EXPECT_EQ(filter, static_cast<DWORD>(D3DTEXF_POINT));
  std::string errors = "unset";
  EXPECT_TRUE(platform::CompileEffect(effect, &errors)) << "the headless backend compiles nothing";
  EXPECT_EQ(errors, "");
  effect->Release();
  std::filesystem::remove(path);
}

}  // namespace
