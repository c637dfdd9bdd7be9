// D3DXComputeNormals: area-weighted face normals summed at each vertex.
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/d3dx9.h"

namespace {

struct Vec3 {
  float x, y, z;
};

Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 Minus(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

// Sums each face's cross product (twice its area, along its normal) at its corners.
std::vector<Vec3> SumFaceNormals(const uint8_t* vertices, DWORD stride, DWORD vertexCount, const void* indices,
                                 bool wide, DWORD faceCount) {
  std::vector<Vec3> sums(vertexCount, Vec3{0, 0, 0});
  const auto index = [&](size_t i) -> DWORD {
    return wide ? static_cast<const uint32_t*>(indices)[i] : static_cast<const uint16_t*>(indices)[i];
  };
  const auto position = [&](DWORD v) {
    Vec3 p;
    std::memcpy(&p, vertices + size_t{v} * stride, sizeof(p));
    return p;
  };
  for (size_t f = 0; f < faceCount; ++f) {
    const DWORD a = index(f * 3), b = index(f * 3 + 1), c = index(f * 3 + 2);
    if (a >= vertexCount || b >= vertexCount || c >= vertexCount) continue;
    // (b - a) x (c - a) points to where a Direct3D face is seen clockwise from: its front.
    const Vec3 n = Cross(Minus(position(b), position(a)), Minus(position(c), position(a)));
    for (DWORD v : {a, b, c}) sums[v] = {sums[v].x + n.x, sums[v].y + n.y, sums[v].z + n.z};
  }
  return sums;
}

}  // namespace

HRESULT D3DXComputeNormals(ID3DXBaseMesh* mesh, const DWORD* /*adjacency*/) {
  if (!mesh) return D3DERR_INVALIDCALL;
  const DWORD fvf = mesh->GetFVF();
  if ((fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZ || !(fvf & D3DFVF_NORMAL)) return D3DERR_INVALIDCALL;
  constexpr size_t kNormalOffset = 3 * sizeof(float);  // right after the position
  void* vertices = nullptr;
  void* indices = nullptr;
  HRESULT hr = mesh->LockVertexBuffer(0, &vertices);
  if (FAILED(hr)) return hr;
  hr = mesh->LockIndexBuffer(D3DLOCK_READONLY, &indices);
  if (FAILED(hr)) {
    mesh->UnlockVertexBuffer();
    return hr;
  }
  auto* bytes = static_cast<uint8_t*>(vertices);
  const DWORD stride = mesh->GetNumBytesPerVertex();
  const std::vector<Vec3> sums = SumFaceNormals(bytes, stride, mesh->GetNumVertices(), indices,
                                                (mesh->GetOptions() & D3DXMESH_32BIT) != 0, mesh->GetNumFaces());
  for (size_t v = 0; v < sums.size(); ++v) {
    const Vec3& s = sums[v];
    const float length = std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z);
    const Vec3 normal = length > 0.0f ? Vec3{s.x / length, s.y / length, s.z / length} : Vec3{0, 0, 0};
    std::memcpy(bytes + v * stride + kNormalOffset, &normal, sizeof(normal));
  }
  const HRESULT indicesUnlocked = mesh->UnlockIndexBuffer();
  hr = mesh->UnlockVertexBuffer();
  return FAILED(indicesUnlocked) ? indicesUnlocked : hr;
}
