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

EffectProgram ParseOk(const std::string& text) {
  EffectProgram program;
  std::string error;
  EXPECT_TRUE(EffectFile::Parse("shaders/test.fx", text, program, error)) << error;
  return program;
}

std::string ParseError(const std::string& text) {
  EffectProgram program;
  std::string error;
  EXPECT_FALSE(EffectFile::Parse("shaders/bad.fx", text, program, error));
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
  struct Expected {
    const char* name;
    ParameterType type;
    UINT arraySize;
  };
  const Expected expected[] = {{"matWorldViewProject", ParameterType::Float4x4, 1},
                               {"gSunLightPos", ParameterType::Float4, 1},
                               {"ambientLight", ParameterType::Float3, 1},
                               {"planeYPos", ParameterType::Float, 1},
                               {"depthLimit", ParameterType::Float, 1},
                               {"defaultTexture", ParameterType::Sampler, 1},
                               {"weights", ParameterType::Float, 8},
                               {"flip", ParameterType::Bool, 1}};
  ASSERT_EQ(program.parameters.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(program.parameters[i].name, expected[i].name);
    EXPECT_EQ(program.parameters[i].type, expected[i].type) << expected[i].name;
    EXPECT_EQ(program.parameters[i].arraySize, expected[i].arraySize) << expected[i].name;
  }
}

TEST(EffectFile, HeaderLinesAreBlankedKeepingLineNumbers) {
  const EffectProgram program = ParseOk("#technique a\n#pass ZEnable=false\nuniform int n;\n");
  EXPECT_EQ(program.source, "\n\nuniform int n;\n");
}

TEST(EffectFile, BadFilesFailWithTheLine) {
  EXPECT_EQ(ParseError("uniform float x;\n"), "shaders/bad.fx(1): the file declares no #technique");
  EXPECT_EQ(ParseError("#technique t\n#pass ZEnable=maybe\n"),
            "shaders/bad.fx(2): bad value 'maybe' for pass state ZEnable");
  EXPECT_EQ(ParseError("#technique t\n\n#pass Fog=true\n"), "shaders/bad.fx(3): unknown pass state Fog");
  EXPECT_EQ(ParseError("#pass ZEnable=true\n#technique t\n"), "shaders/bad.fx(1): #pass before any #technique");
  EXPECT_EQ(ParseError("#technique t\n#tecnique u\n"), "shaders/bad.fx(2): unknown directive #tecnique");
  EXPECT_EQ(ParseError("#technique t\n#technique t\n"), "shaders/bad.fx(2): technique t is declared twice");
  EXPECT_EQ(ParseError("#technique\n"), "shaders/bad.fx(1): #technique needs a name");
  EXPECT_EQ(ParseError("#technique t 1BAD\n"), "shaders/bad.fx(1): bad define '1BAD' (expected NAME or NAME=value)");
  EXPECT_EQ(ParseError("#technique t\n#pass AlphaRef=256\n"),
            "shaders/bad.fx(2): bad value '256' for pass state AlphaRef");
  EXPECT_EQ(ParseError("#technique t\n#pass ZEnable = true\n"),
            "shaders/bad.fx(2): bad pass state 'ZEnable' (expected State=value)");
  EXPECT_EQ(ParseError("#technique t\nuniform mat3 m;\n"), "shaders/bad.fx(2): unsupported uniform type 'mat3'");
  EXPECT_EQ(ParseError("#technique t\nuniform float a[0];\n"), "shaders/bad.fx(2): bad array size for uniform a");
  EXPECT_EQ(ParseError("#technique t\nuniform float a[99999999];\n"),
            "shaders/bad.fx(2): bad array size for uniform a");
  EXPECT_EQ(ParseError("#technique t\nuniform float a\n"), "shaders/bad.fx(2): expected ';' after uniform a");
  EXPECT_EQ(ParseError("#technique t\nuniform float a = 1.0\n"), "shaders/bad.fx(2): expected ';' after uniform a");
  EXPECT_EQ(ParseError("#technique t\nuniform Lights { vec4 l; };\n"),
            "shaders/bad.fx(2): unsupported uniform type 'Lights'");
  EXPECT_EQ(ParseError("#technique t\nuniform float a;\nuniform vec2 a;\n"),
            "shaders/bad.fx(3): uniform a is declared with two types");
}

TEST(EffectFile, GlslDirectivesAndCrLfAreAccepted) {
  const EffectProgram program =
      ParseOk("#technique t\r\n#pass FillMode=Wireframe\r\n#define X 1\r\n# if X\r\nuniform vec2 v[2];\r\n#endif\r\n");
  ASSERT_EQ(program.parameters.size(), 1u);
  EXPECT_EQ(program.parameters[0].arraySize, 2u);
  EXPECT_EQ(program.techniques[0].passes[0].states[0].second, static_cast<DWORD>(D3DFILL_WIREFRAME));
}
