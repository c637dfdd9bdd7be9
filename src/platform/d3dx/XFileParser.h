// The parser of text .x mesh files: frames flattened with their transforms,
// meshes merged into one, texture coordinates, material lists and materials.
// Binary and compressed files are refused; damaged text fails cleanly.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/d3dx9.h"

namespace platform::d3dx {

// One vertex in the layout of D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1.
struct MeshVertex {
  float position[3];
  float normal[3];
  float uv[2];
};
static_assert(sizeof(MeshVertex) == 32);

struct MeshMaterial {
  D3DMATERIAL9 material{};
  std::string texture;  // empty when the material has none
};

struct MeshData {
  std::vector<MeshVertex> vertices;
  std::vector<uint32_t> indices;  // three per triangle
  std::vector<DWORD> attributes;  // material index per triangle
  std::vector<MeshMaterial> materials;
};

class XFileParser {
 public:
  // D3DXERR_INVALIDDATA with a reason in `error` for anything but a well-formed
  // text file holding at least one triangle.
  static HRESULT Parse(const std::string& bytes, MeshData& mesh, std::string& error);

 private:
  enum class Kind { End, Name, Number, String, Symbol };
  struct Token {
    Kind kind;
    std::string_view text;
  };
  // One Mesh object before it is merged into the result.
  struct Part {
    std::vector<MeshVertex> vertices;
    std::vector<std::vector<uint32_t>> faces;  // polygons as in the file
    std::vector<DWORD> faceMaterials;
    std::vector<MeshMaterial> materials;
  };

  XFileParser(const std::string& bytes, MeshData& mesh) : bytes_(bytes), mesh_(mesh) {}

  Token Next();
  Token Peek();
  void SkipBlanks();
  bool Fail(const std::string& message);
  bool Expect(char symbol);
  bool ReadUInt(uint32_t& value);
  bool ReadFloat(float& value);
  bool ReadFloats(float* values, int count);
  bool ReadCount(uint32_t& count, size_t minBytesEach, const char* what);
  bool ReadString(std::string& value);
  bool OpenObject(std::string* name);
  bool SkipObjectBody();
  enum class Child { Parsed, Unknown, Failed };
  static Child Result(bool ok) { return ok ? Child::Parsed : Child::Failed; }
  // Reads child objects up to the closing '}' (the end of the file for the top
  // level); unknown ones are skipped.
  bool ParseChildren(const std::function<Child(const Token&)>& child, bool topLevel = false);

  bool StrayBraceEndsTheFile();
  bool ParseTopLevel();
  bool ParseFrame(int depth);
  bool ParseMatrix(float matrix[16]);
  bool ParseMesh();
  bool ParseMeshBody(Part& part);
  bool ParseFaces(Part& part);
  bool ParseNormals(Part& part);
  bool ParseTextureCoords(Part& part);
  bool ParseMaterialList(Part& part);
  bool ParseMaterialReference(Part& part);
  bool ParseMaterial(MeshMaterial& material, std::string& name);
  void Merge(Part& part);
  void Transform(size_t firstVertex, const float matrix[16]);

  const std::string& bytes_;
  MeshData& mesh_;
  size_t at_ = 0;
  std::string error_;
  std::map<std::string, MeshMaterial, std::less<>> namedMaterials_;
};

}  // namespace platform::d3dx
