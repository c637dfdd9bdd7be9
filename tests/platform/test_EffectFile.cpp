#include <gtest/gtest.h>

#include "platform/d3dx/EffectFile.h"

using platform::EffectProgram;
using platform::ParameterType;
using platform::d3dx::EffectFile;

namespace {

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
void main() {
  uniform_like();
  EmitPosition(matWorldViewProject * inPosition);
}
#endif
#ifdef FRAGMENT_SHADER
uniform bool flip;
void main() { outColor = texture(defaultTexture, vec2(0.0)); }
#endif
)";

// Samplers of a file with `#sampler` lines: b is the second, j the tenth.
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

}  // namespace

TEST(EffectFile, TechniquesCarryDefinesAndPasses) {
  const EffectProgram program = ParseOk(kMeshEffect);
  EXPECT_EQ(program.path, "shaders/test.fx");
  ASSERT_EQ(program.techniques.size(), 3u);
  EXPECT_EQ(program.techniques[0].name, "vsLighting");
  EXPECT_TRUE(program.techniques[0].defines.empty());
  ASSERT_EQ(program.techniques[0].passes.size(), 1u);  // implicit pass without states
  EXPECT_TRUE(program.techniques[0].passes[0].states.empty());
  ASSERT_EQ(program.techniques[1].defines.size(), 1u);
  EXPECT_EQ(program.techniques[1].defines[0], std::make_pair(std::string("PER_PIXEL"), std::string()));

  const auto& depth = program.techniques[2];
  ASSERT_EQ(depth.defines.size(), 2u);
  EXPECT_EQ(depth.defines[1], std::make_pair(std::string("DEPTH"), std::string("1")));
  ASSERT_EQ(depth.passes.size(), 2u);
  using State = std::pair<D3DRENDERSTATETYPE, DWORD>;
  EXPECT_EQ(depth.passes[0].states, (std::vector<State>{{D3DRS_ZENABLE, 1},
                                                        {D3DRS_ALPHABLENDENABLE, 1},
                                                        {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
                                                        {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA}}));
  EXPECT_EQ(
      depth.passes[1].states,
      (std::vector<State>{{D3DRS_CULLMODE, D3DCULL_NONE}, {D3DRS_ZFUNC, D3DCMP_LESSEQUAL}, {D3DRS_ALPHAREF, 128}}));
}

TEST(EffectFile, ParametersAreFileScopeUniformsInOrder) {
  const EffectProgram program = ParseOk(kMeshEffect);
  using Parameter = std::tuple<std::string, ParameterType, UINT>;
  std::vector<Parameter> parameters;
  for (const auto& p : program.parameters) parameters.emplace_back(p.name, p.type, p.arraySize);
  EXPECT_EQ(parameters, (std::vector<Parameter>{{"matWorldViewProject", ParameterType::Float4x4, 1},
                                                {"gSunLightPos", ParameterType::Float4, 1},
                                                {"ambientLight", ParameterType::Float3, 1},
                                                {"planeYPos", ParameterType::Float, 1},
                                                {"depthLimit", ParameterType::Float, 1},
                                                {"defaultTexture", ParameterType::Sampler, 1},
                                                {"weights", ParameterType::Float, 8},
                                                {"flip", ParameterType::Bool, 1}}));
}

TEST(EffectFile, HeaderLinesAreBlankedKeepingLineNumbers) {
  const EffectProgram program =
      ParseOk("#technique a\n#pass ZEnable=false\n#sampler s Filter=Point\nuniform int n;\nuniform sampler2D s;\n");
  EXPECT_EQ(program.source, "\n\n\nuniform int n;\nuniform sampler2D s;\n");
}

TEST(EffectFile, BadFilesFailWithTheLine) {
  const std::string sampler = "#technique t\n#sampler ";
  const std::pair<std::string, const char*> cases[] = {
      {"uniform float x;\n", "(1): the file declares no #technique"},
      {"#technique t\n#pass ZEnable=maybe\n", "(2): bad value 'maybe' for pass state ZEnable"},
      {"#technique t\n\n#pass Fog=true\n", "(3): unknown pass state Fog"},
      {"#pass ZEnable=true\n#technique t\n", "(1): #pass before any #technique"},
      {"#technique t\n#tecnique u\n", "(2): unknown directive #tecnique"},
      {"#technique t\n#technique t\n", "(2): technique t is declared twice"},
      {"#technique\n", "(1): #technique needs a name"},
      {"#technique t 1BAD\n", "(1): bad define '1BAD' (expected NAME or NAME=value)"},
      {"#technique t\n#pass AlphaRef=256\n", "(2): bad value '256' for pass state AlphaRef"},
      {"#technique t\n#pass ZEnable = true\n", "(2): bad pass state 'ZEnable' (expected State=value)"},
      {"#technique t\nuniform mat3 m;\n", "(2): unsupported uniform type 'mat3'"},
      {"#technique t\nuniform float a[0];\n", "(2): bad array size for uniform a"},
      {"#technique t\nuniform float a[99999999];\n", "(2): bad array size for uniform a"},
      {"#technique t\nuniform float a\n", "(2): expected ';' after uniform a"},
      {"#technique t\nuniform float a = 1.0\n", "(2): expected ';' after uniform a"},
      {"#technique t\nuniform Lights { vec4 l; };\n", "(2): unsupported uniform type 'Lights'"},
      {"#technique t\nuniform float a;\nuniform vec2 a;\n", "(3): uniform a is declared with two types"},
      {sampler + "b Filter=Bilinear\n" + kSamplerUniforms, "(2): bad value 'Bilinear' for sampler state Filter"},
      {sampler + "b AddressW=Clamp\n" + kSamplerUniforms, "(2): unknown sampler state AddressW"},
      {sampler + "b AddressU\n" + kSamplerUniforms, "(2): bad sampler state 'AddressU' (expected State=value)"},
      {sampler + "scale Filter=Linear\n" + kSamplerUniforms, "(2): #sampler scale names no sampler2D uniform"},
      {sampler + "missing Filter=Linear\n" + kSamplerUniforms, "(2): #sampler missing names no sampler2D uniform"},
      {"#technique t\n#sampler\n" + kSamplerUniforms, "(2): #sampler needs a sampler name"},
      {sampler + "b\n#sampler b\n" + kSamplerUniforms, "(3): sampler b is given states twice"},
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(ParseError(text), std::string("shaders/bad.fx") + message);
}

TEST(EffectFile, GlslDirectivesAndCrLfAreAccepted) {
  const EffectProgram program =
      ParseOk("#technique t\r\n#pass FillMode=Wireframe\r\n#define X 1\r\n# if X\r\nuniform vec2 v[2];\r\n#endif\r\n");
  ASSERT_EQ(program.parameters.size(), 1u);
  EXPECT_EQ(program.parameters[0].arraySize, 2u);
  EXPECT_EQ(program.techniques[0].passes[0].states[0].second, static_cast<DWORD>(D3DFILL_WIREFRAME));
}

TEST(EffectFile, SamplerLinesGoToTheDeviceSamplerOfTheUniformsOrder) {
  const EffectProgram program = ParseOk("#technique t\n"
                                        "#sampler b Filter=Linear MipFilter=None AddressU=Clamp addressv=MIRROR\n"
                                        "#sampler j Filter=Point\n" + kSamplerUniforms);
  ASSERT_EQ(program.samplers.size(), 2u);
  EXPECT_EQ(std::tuple(program.samplers[0].name, program.samplers[0].sampler), std::tuple(std::string("b"), 1u));
  const std::vector<std::pair<D3DSAMPLERSTATETYPE, DWORD>> expected = {
      {D3DSAMP_MINFILTER, D3DTEXF_LINEAR}, {D3DSAMP_MAGFILTER, D3DTEXF_LINEAR}, {D3DSAMP_MIPFILTER, D3DTEXF_NONE},
      {D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP}, {D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR}};
  EXPECT_EQ(program.samplers[0].states, expected);
  // The ninth sampler takes the first vertex texture sampler.
  EXPECT_EQ(program.samplers[1].sampler, D3DVERTEXTEXTURESAMPLER0 + 1);
}
