#include "platform/d3dx/XFileParser.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace platform::d3dx {

namespace {

constexpr int kMaxFrameDepth = 128;

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.'; }
bool IsNumberChar(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

bool SameWord(std::string_view text, std::string_view word) {
  return text.size() == word.size() && strncasecmp(text.data(), word.data(), word.size()) == 0;
}

MeshMaterial DefaultMaterial() {
  MeshMaterial material;
  material.material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
  return material;
}

}  // namespace

HRESULT XFileParser::Parse(const std::string& bytes, MeshData& mesh, std::string& error) {
  mesh = MeshData();
  if (bytes.size() < 16 || bytes.compare(0, 4, "xof ") != 0) {
    error = "not a .x file";
    return D3DXERR_INVALIDDATA;
  }
  const std::string version = bytes.substr(4, 4);
  if (version != "0302" && version != "0303") {
    error = "unknown .x format version '" + version + "'";
    return D3DXERR_INVALIDDATA;
  }
  const std::string format = bytes.substr(8, 4);
  const std::string floatSize = bytes.substr(12, 4);
  if (format != "txt " || (floatSize != "0032" && floatSize != "0064")) {
    error = "only text .x files are read, this one is '" + format + floatSize + "'";
    return D3DXERR_INVALIDDATA;
  }
  XFileParser parser(bytes, mesh);
  parser.at_ = 16;
  if (!parser.ParseTopLevel()) {
    error = parser.error_;
    return D3DXERR_INVALIDDATA;
  }
  if (mesh.indices.empty()) {
    error = "the file holds no triangles";
    return D3DXERR_INVALIDDATA;
  }
  // Finite numbers can still overflow through the frames' transforms.
  for (const MeshVertex& vertex : mesh.vertices) {
    if (!std::all_of(vertex.position, vertex.position + 3, [](float v) { return std::isfinite(v); })) {
      error = "a vertex is not finite once its frames are applied";
      return D3DXERR_INVALIDDATA;
    }
  }
  return D3D_OK;
}

bool XFileParser::Fail(const std::string& message) {
  if (error_.empty()) error_ = message + " (at byte " + std::to_string(at_) + ")";
  return false;
}

void XFileParser::SkipBlanks() {
  while (at_ < bytes_.size()) {
    const char c = bytes_[at_];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++at_;
    } else if (c == '#' || bytes_.compare(at_, 2, "//") == 0) {
      at_ = bytes_.find('\n', at_);
      if (at_ == std::string::npos) at_ = bytes_.size();
    } else {
      break;
    }
  }
}

XFileParser::Token XFileParser::Next() {
  SkipBlanks();
  if (at_ >= bytes_.size()) return {Kind::End, {}};
  const std::string_view all(bytes_);
  const size_t start = at_;
  const char c = bytes_[at_];
  if (c == '"') {
    const size_t end = bytes_.find('"', at_ + 1);
    if (end == std::string::npos) {
      Fail("unterminated string");
      at_ = bytes_.size();
      return {Kind::End, {}};
    }
    at_ = end + 1;
    return {Kind::String, all.substr(start + 1, end - start - 1)};
  }
  const bool name = IsNameStart(c);
  const bool number = !name && IsNumberChar(c);
  ++at_;
  if (name) {
    while (at_ < bytes_.size() && IsNameChar(bytes_[at_])) ++at_;
  } else if (number) {
    while (at_ < bytes_.size() && IsNumberChar(bytes_[at_])) ++at_;
  }
  return {name ? Kind::Name : number ? Kind::Number : Kind::Symbol, all.substr(start, at_ - start)};
}

XFileParser::Token XFileParser::Peek() {
  const size_t saved = at_;
  const Token token = Next();
  at_ = saved;
  return token;
}

bool XFileParser::Expect(char symbol) {
  const Token token = Next();
  if (token.kind == Kind::Symbol && token.text[0] == symbol) return true;
  return Fail(std::string("expected '") + symbol + "'");
}

// Values are separated by ';' and ','; how many of each varies between writers.
bool XFileParser::ReadUInt(uint32_t& value) {
  Token token = Next();
  while (token.kind == Kind::Symbol && (token.text == ";" || token.text == ",")) token = Next();
  if (token.kind != Kind::Number) return Fail("expected an integer");
  const auto result = std::from_chars(token.text.data(), token.text.data() + token.text.size(), value);
  if (result.ec != std::errc() || result.ptr != token.text.data() + token.text.size()) {
    return Fail("bad integer " + std::string(token.text));
  }
  return true;
}

bool XFileParser::ReadFloat(float& value) {
  Token token = Next();
  while (token.kind == Kind::Symbol && (token.text == ";" || token.text == ",")) token = Next();
  if (token.kind != Kind::Number) return Fail("expected a number");
  std::string_view text = token.text;
  // from_chars takes no '+'; one may precede the digits, but not a second sign.
  if (text[0] == '+' && text.size() > 1 && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value)) {
    return Fail("bad number " + std::string(token.text));
  }
  return true;
}

bool XFileParser::ReadFloats(float* values, int count) {
  for (int i = 0; i < count; ++i) {
    if (!ReadFloat(values[i])) return false;
  }
  return true;
}

// A count of items that each take at least `minBytesEach` bytes of the rest of
// the file, so a damaged count cannot make the parser allocate without bound.
bool XFileParser::ReadCount(uint32_t& count, size_t minBytesEach, const char* what) {
  if (!ReadUInt(count)) return false;
  if (count > (bytes_.size() - at_) / minBytesEach) return Fail(std::string("too many ") + what + " for the file");
  return true;
}

bool XFileParser::ReadString(std::string& value) {
  Token token = Next();
  while (token.kind == Kind::Symbol && (token.text == ";" || token.text == ",")) token = Next();
  if (token.kind != Kind::String) return Fail("expected a string");
  value = token.text;
  return true;
}

// After an object's keyword: an optional name, '{' and an optional <GUID>.
bool XFileParser::OpenObject(std::string* name) {
  const Token first = Peek();
  if (first.kind == Kind::Name || first.kind == Kind::Number) {
    Next();
    if (name) *name = first.text;
  }
  if (!Expect('{')) return false;
  if (Peek().text == "<") {
    for (Token token = Next(); token.text != ">"; token = Next()) {
      if (token.kind == Kind::End) return Fail("unexpected end of file");
    }
  }
  return true;
}

// After '{': everything up to the matching '}'.
bool XFileParser::SkipObjectBody() {
  for (int depth = 1; depth > 0;) {
    const Token token = Next();
    if (token.kind == Kind::End) return Fail("unexpected end of file");
    if (token.kind == Kind::Symbol && token.text == "{") ++depth;
    if (token.kind == Kind::Symbol && token.text == "}") --depth;
  }
  return true;
}

bool XFileParser::ParseChildren(const std::function<Child(const Token&)>& child, bool topLevel) {
  for (;;) {
    const Token token = Next();
    if (token.kind == Kind::End) return topLevel || Fail("unexpected end of file");
    if (token.kind == Kind::Symbol && token.text == "}") return !topLevel || StrayBraceEndsTheFile();
    if (token.kind == Kind::Symbol && (token.text == ";" || token.text == ",")) continue;
    const Child result = child(token);
    if (result == Child::Failed) return false;
    if (result == Child::Parsed) continue;
    if (token.kind == Kind::Symbol && token.text == "{") {
      if (!SkipObjectBody()) return false;
    } else if (token.kind == Kind::Name) {
      if (!OpenObject(nullptr) || !SkipObjectBody()) return false;
    } else {
      return Fail("unexpected '" + std::string(token.text) + "'");
    }
  }
}

// Real files may carry one '}' too many after their last object.
bool XFileParser::StrayBraceEndsTheFile() { return Next().kind == Kind::End || Fail("unexpected '}'"); }

bool XFileParser::ParseTopLevel() {
  return ParseChildren(
      [&](const Token& token) {
        if (token.kind != Kind::Name) return Child::Unknown;
        if (SameWord(token.text, "Frame")) return Result(ParseFrame(0));
        if (SameWord(token.text, "Mesh")) return Result(ParseMesh());
        if (!SameWord(token.text, "Material")) return Child::Unknown;
        MeshMaterial material;
        std::string name;
        if (!ParseMaterial(material, name)) return Child::Failed;
        namedMaterials_[name] = material;
        return Child::Parsed;
      },
      true);
}

bool XFileParser::ParseFrame(int depth) {
  if (depth >= kMaxFrameDepth) return Fail("frames nested too deeply");
  if (!OpenObject(nullptr)) return false;
  const size_t firstVertex = mesh_.vertices.size();
  float matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  const bool parsed = ParseChildren([&](const Token& token) {
    if (token.kind != Kind::Name) return Child::Unknown;
    if (SameWord(token.text, "FrameTransformMatrix")) return Result(OpenObject(nullptr) && ParseMatrix(matrix));
    if (SameWord(token.text, "Frame")) return Result(ParseFrame(depth + 1));
    if (SameWord(token.text, "Mesh")) return Result(ParseMesh());
    return Child::Unknown;
  });
  // Meshes of this frame and its children are in their parent's space once this
  // frame's own transform is applied (row vectors: v * child * parent).
  if (parsed) Transform(firstVertex, matrix);
  return parsed;
}

bool XFileParser::ParseMatrix(float matrix[16]) { return ReadFloats(matrix, 16) && SkipObjectBody(); }

bool XFileParser::ParseMesh() {
  Part part;
  if (!OpenObject(nullptr) || !ParseMeshBody(part)) return false;
  Merge(part);
  return true;
}

bool XFileParser::ParseMeshBody(Part& part) {
  uint32_t count = 0;
  if (!ReadCount(count, 5, "vertices")) return false;
  part.vertices.resize(count, MeshVertex{});
  for (MeshVertex& vertex : part.vertices) {
    if (!ReadFloats(vertex.position, 3)) return false;
  }
  if (!ParseFaces(part)) return false;
  return ParseChildren([&](const Token& token) {
    if (token.kind != Kind::Name) return Child::Unknown;
    if (SameWord(token.text, "MeshNormals")) return Result(OpenObject(nullptr) && ParseNormals(part));
    if (SameWord(token.text, "MeshTextureCoords")) return Result(OpenObject(nullptr) && ParseTextureCoords(part));
    if (SameWord(token.text, "MeshMaterialList")) return Result(OpenObject(nullptr) && ParseMaterialList(part));
    return Child::Unknown;
  });
}

bool XFileParser::ParseFaces(Part& part) {
  uint32_t count = 0;
  if (!ReadCount(count, 7, "faces")) return false;
  part.faces.resize(count);
  for (std::vector<uint32_t>& face : part.faces) {
    uint32_t corners = 0;
    if (!ReadCount(corners, 2, "face corners")) return false;
    if (corners < 3) return Fail("a face needs at least three corners");
    face.resize(corners);
    for (uint32_t& index : face) {
      if (!ReadUInt(index)) return false;
      if (index >= part.vertices.size()) return Fail("face index " + std::to_string(index) + " out of range");
    }
  }
  return true;
}

// Normals are given per face corner; a vertex takes the normal of its last corner.
bool XFileParser::ParseNormals(Part& part) {
  uint32_t count = 0;
  if (!ReadCount(count, 5, "normals")) return false;
  std::vector<float> normals(size_t{count} * 3);
  if (!ReadFloats(normals.data(), static_cast<int>(normals.size()))) return false;
  uint32_t faces = 0;
  if (!ReadCount(faces, 7, "normal faces")) return false;
  if (faces != part.faces.size()) return Fail("MeshNormals does not have one face per mesh face");
  for (const std::vector<uint32_t>& face : part.faces) {
    uint32_t corners = 0;
    if (!ReadUInt(corners)) return false;
    if (corners != face.size()) return Fail("MeshNormals face corners differ from the mesh face");
    for (uint32_t vertex : face) {
      uint32_t index = 0;
      if (!ReadUInt(index)) return false;
      if (index >= count) return Fail("normal index " + std::to_string(index) + " out of range");
      std::copy_n(&normals[size_t{index} * 3], 3, part.vertices[vertex].normal);
    }
  }
  return SkipObjectBody();
}

bool XFileParser::ParseTextureCoords(Part& part) {
  uint32_t count = 0;
  if (!ReadCount(count, 3, "texture coordinates")) return false;
  if (count != part.vertices.size()) return Fail("MeshTextureCoords does not have one pair per vertex");
  for (MeshVertex& vertex : part.vertices) {
    if (!ReadFloats(vertex.uv, 2)) return false;
  }
  return SkipObjectBody();
}

bool XFileParser::ParseMaterialList(Part& part) {
  uint32_t materials = 0, indexes = 0;
  if (!ReadCount(materials, 3, "materials") || !ReadCount(indexes, 1, "material indexes")) return false;
  if (indexes > part.faces.size()) return Fail("more material indexes than faces");
  part.faceMaterials.resize(indexes);
  for (DWORD& index : part.faceMaterials) {
    uint32_t value = 0;
    if (!ReadUInt(value)) return false;
    if (value >= materials) return Fail("material index " + std::to_string(value) + " out of range");
    index = value;
  }
  // Faces beyond the list keep the last material, as the format allows.
  part.faceMaterials.resize(part.faces.size(), part.faceMaterials.empty() ? 0 : part.faceMaterials.back());
  const bool parsed = ParseChildren([&](const Token& token) {
    if (token.kind == Kind::Symbol && token.text == "{") return Result(ParseMaterialReference(part));
    if (token.kind != Kind::Name || !SameWord(token.text, "Material")) return Child::Unknown;
    MeshMaterial material;
    std::string name;
    if (!ParseMaterial(material, name)) return Child::Failed;
    if (!name.empty()) namedMaterials_[name] = material;
    part.materials.push_back(material);
    return Child::Parsed;
  });
  if (parsed && part.materials.size() != materials) return Fail("the material list lacks materials");
  return parsed;
}

// After '{': the name of a material declared earlier, then '}'.
bool XFileParser::ParseMaterialReference(Part& part) {
  const Token name = Next();
  if (name.kind != Kind::Name) return Fail("expected a material name");
  const auto found = namedMaterials_.find(name.text);
  if (found == namedMaterials_.end()) return Fail("unknown material " + std::string(name.text));
  part.materials.push_back(found->second);
  return SkipObjectBody();
}

bool XFileParser::ParseMaterial(MeshMaterial& material, std::string& name) {
  float face[4], power, specular[3], emissive[3];
  if (!OpenObject(&name) || !ReadFloats(face, 4) || !ReadFloat(power) || !ReadFloats(specular, 3) ||
      !ReadFloats(emissive, 3)) {
    return false;
  }
  D3DMATERIAL9& m = material.material;
  m.Diffuse = {face[0], face[1], face[2], face[3]};
  m.Specular = {specular[0], specular[1], specular[2], 1.0f};
  m.Emissive = {emissive[0], emissive[1], emissive[2], 1.0f};
  m.Power = power;
  return ParseChildren([&](const Token& token) {
    if (token.kind != Kind::Name || !SameWord(token.text, "TextureFilename")) return Child::Unknown;
    return Result(OpenObject(nullptr) && ReadString(material.texture) && SkipObjectBody());
  });
}

void XFileParser::Merge(Part& part) {
  if (part.materials.empty()) {
    part.materials.push_back(DefaultMaterial());
    part.faceMaterials.assign(part.faces.size(), 0);
  }
  const auto base = static_cast<uint32_t>(mesh_.vertices.size());
  const auto materialBase = static_cast<DWORD>(mesh_.materials.size());
  mesh_.vertices.insert(mesh_.vertices.end(), part.vertices.begin(), part.vertices.end());
  for (size_t f = 0; f < part.faces.size(); ++f) {
    const std::vector<uint32_t>& face = part.faces[f];
    for (size_t k = 1; k + 1 < face.size(); ++k) {  // polygons as fans
      mesh_.indices.insert(mesh_.indices.end(), {base + face[0], base + face[k], base + face[k + 1]});
      mesh_.attributes.push_back(materialBase + part.faceMaterials[f]);
    }
  }
  mesh_.materials.insert(mesh_.materials.end(), part.materials.begin(), part.materials.end());
}

void XFileParser::Transform(size_t firstVertex, const float m[16]) {
  for (size_t i = firstVertex; i < mesh_.vertices.size(); ++i) {
    float* p = mesh_.vertices[i].position;
    float* n = mesh_.vertices[i].normal;
    const float x = p[0], y = p[1], z = p[2];
    const float nx = n[0], ny = n[1], nz = n[2];
    for (int c = 0; c < 3; ++c) {
      p[c] = x * m[c] + y * m[4 + c] + z * m[8 + c] + m[12 + c];
      n[c] = nx * m[c] + ny * m[4 + c] + nz * m[8 + c];
    }
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length > 0.0f) {
      for (int c = 0; c < 3; ++c) n[c] /= length;
    }
  }
}

}  // namespace platform::d3dx
