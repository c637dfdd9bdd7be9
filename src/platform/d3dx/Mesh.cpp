#include "platform/d3dx/Mesh.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <numeric>

#include "platform/d3dx/Buffer.h"
#include "platform/d3dx/FileBytes.h"
#include "platform/Utf8.h"

namespace platform::d3dx {

namespace {

constexpr size_t kMaxMeshFileBytes = size_t{64} << 20;
constexpr DWORD kNoNeighbour = 0xFFFFFFFF;

D3DPOOL PoolFor(DWORD options) {
  return (options & D3DXMESH_SYSTEMMEM) == D3DXMESH_SYSTEMMEM ? D3DPOOL_SYSTEMMEM : D3DPOOL_MANAGED;
}

// D3DXMATERIAL entries followed by their texture names, all in one buffer.
Buffer* MaterialBuffer(const std::vector<MeshMaterial>& materials) {
  size_t size = materials.size() * sizeof(D3DXMATERIAL);
  for (const MeshMaterial& material : materials) size += material.texture.empty() ? 0 : material.texture.size() + 1;
  auto* buffer = new Buffer(size);
  auto* entries = static_cast<D3DXMATERIAL*>(buffer->GetBufferPointer());
  char* names = reinterpret_cast<char*>(entries + materials.size());
  for (size_t i = 0; i < materials.size(); ++i) {
    entries[i].MatD3D = materials[i].material;
    entries[i].pTextureFilename = nullptr;
    if (materials[i].texture.empty()) continue;
    std::memcpy(names, materials[i].texture.c_str(), materials[i].texture.size() + 1);
    entries[i].pTextureFilename = names;
    names += materials[i].texture.size() + 1;
  }
  return buffer;
}

// Three neighbours per face: the face across each edge, found by the edge's
// reverse direction.
Buffer* AdjacencyBuffer(const std::vector<uint32_t>& indices) {
  const size_t faces = indices.size() / 3;
  std::map<std::pair<uint32_t, uint32_t>, DWORD> edges;
  for (size_t f = 0; f < faces; ++f) {
    for (int k = 0; k < 3; ++k) edges.emplace(std::make_pair(indices[f * 3 + k], indices[f * 3 + (k + 1) % 3]), f);
  }
  auto* buffer = new Buffer(faces * 3 * sizeof(DWORD));
  auto* adjacency = static_cast<DWORD*>(buffer->GetBufferPointer());
  for (size_t f = 0; f < faces; ++f) {
    for (int k = 0; k < 3; ++k) {
      const auto found = edges.find({indices[f * 3 + (k + 1) % 3], indices[f * 3 + k]});
      adjacency[f * 3 + k] = found == edges.end() || found->second == f ? kNoNeighbour : found->second;
    }
  }
  return buffer;
}

}  // namespace

void Mesh::SortByAttribute(MeshData& data) {
  std::vector<size_t> order(data.attributes.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return data.attributes[a] < data.attributes[b]; });
  std::vector<uint32_t> indices;
  std::vector<DWORD> attributes;
  indices.reserve(data.indices.size());
  attributes.reserve(data.attributes.size());
  for (size_t face : order) {
    indices.insert(indices.end(), data.indices.begin() + face * 3, data.indices.begin() + face * 3 + 3);
    attributes.push_back(data.attributes[face]);
  }
  data.indices = std::move(indices);
  data.attributes = std::move(attributes);
}

HRESULT Mesh::Create(IDirect3DDevice9* device, const MeshData& data, DWORD options, ID3DXMesh** mesh) {
  if (data.vertices.size() > 0xFFFF) options |= D3DXMESH_32BIT;
  auto* created = new Mesh(device, options, static_cast<UINT>(data.vertices.size()), data.attributes);
  const HRESULT hr = created->Fill(data);
  if (FAILED(hr)) {
    created->Release();
    return hr;
  }
  *mesh = created;
  return D3D_OK;
}

Mesh::Mesh(IDirect3DDevice9* device, DWORD options, UINT vertexCount, std::vector<DWORD> attributes)
    : device_(device), options_(options), vertexCount_(vertexCount), attributes_(std::move(attributes)) {
  device_->AddRef();
}

Mesh::~Mesh() {
  if (vertices_) vertices_->Release();
  if (indices_) indices_->Release();
  device_->Release();
}

HRESULT Mesh::Fill(const MeshData& data) {
  const UINT indexSize = Wide() ? 4 : 2;
  HRESULT hr = device_->CreateVertexBuffer(static_cast<UINT>(data.vertices.size() * sizeof(MeshVertex)), 0, kFVF,
                                           PoolFor(options_), &vertices_, nullptr);
  if (FAILED(hr)) return hr;
  hr = device_->CreateIndexBuffer(static_cast<UINT>(data.indices.size() * indexSize), 0,
                                  Wide() ? D3DFMT_INDEX32 : D3DFMT_INDEX16, PoolFor(options_), &indices_, nullptr);
  if (FAILED(hr)) return hr;
  void* memory = nullptr;
  if (FAILED(hr = vertices_->Lock(0, 0, &memory, 0))) return hr;
  std::memcpy(memory, data.vertices.data(), data.vertices.size() * sizeof(MeshVertex));
  if (FAILED(hr = vertices_->Unlock())) return hr;
  if (FAILED(hr = indices_->Lock(0, 0, &memory, 0))) return hr;
  for (size_t i = 0; i < data.indices.size(); ++i) {
    if (Wide()) {
      static_cast<uint32_t*>(memory)[i] = data.indices[i];
    } else {
      static_cast<uint16_t*>(memory)[i] = static_cast<uint16_t>(data.indices[i]);
    }
  }
  return UnlockIndexBuffer();
}

// Reads the indices back, so it also holds after a caller changed them.
HRESULT Mesh::FindRuns() {
  runs_.clear();
  void* memory = nullptr;
  HRESULT hr = indices_->Lock(0, 0, &memory, D3DLOCK_READONLY);
  if (FAILED(hr)) return hr;
  const auto index = [&](size_t i) -> UINT {
    return Wide() ? static_cast<const uint32_t*>(memory)[i] : static_cast<const uint16_t*>(memory)[i];
  };
  for (UINT face = 0; face < attributes_.size(); ++face) {
    if (runs_.empty() || runs_.back().attribute != attributes_[face]) {
      runs_.push_back({attributes_[face], face, 0, 0, 0});
    }
    ++runs_.back().faceCount;
  }
  for (Run& run : runs_) {
    UINT low = UINT32_MAX, high = 0;
    for (size_t i = size_t{run.firstFace} * 3; i < size_t{run.firstFace + run.faceCount} * 3; ++i) {
      low = std::min(low, index(i));
      high = std::max(high, index(i));
    }
    run.minVertex = low;
    run.vertexCount = high - low + 1;
  }
  return indices_->Unlock();
}

HRESULT Mesh::DrawSubset(DWORD attribute) {
  const auto used = [attribute](const Run& run) { return run.attribute == attribute; };
  if (std::none_of(runs_.begin(), runs_.end(), used)) return D3D_OK;
  HRESULT hr = device_->SetFVF(kFVF);
  if (SUCCEEDED(hr)) hr = device_->SetStreamSource(0, vertices_, 0, sizeof(MeshVertex));
  if (SUCCEEDED(hr)) hr = device_->SetIndices(indices_);
  for (auto run = runs_.begin(); SUCCEEDED(hr) && run != runs_.end(); ++run) {
    if (!used(*run)) continue;
    hr = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, run->minVertex, run->vertexCount, run->firstFace * 3,
                                       run->faceCount);
  }
  return hr;
}

HRESULT Mesh::LockVertexBuffer(DWORD flags, void** data) { return vertices_->Lock(0, 0, data, flags); }
HRESULT Mesh::UnlockVertexBuffer() { return vertices_->Unlock(); }
HRESULT Mesh::LockIndexBuffer(DWORD flags, void** data) { return indices_->Lock(0, 0, data, flags); }

HRESULT Mesh::UnlockIndexBuffer() {
  const HRESULT hr = indices_->Unlock();
  return FAILED(hr) ? hr : FindRuns();
}

HRESULT Mesh::LockAttributeBuffer(DWORD /*flags*/, DWORD** data) {
  if (!data) return D3DERR_INVALIDCALL;
  *data = attributes_.data();
  return D3D_OK;
}

HRESULT Mesh::UnlockAttributeBuffer() { return FindRuns(); }

}  // namespace platform::d3dx

HRESULT D3DXLoadMeshFromXW(LPCWSTR file, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                           ID3DXBuffer** materials, ID3DXBuffer** effectInstances, DWORD* materialCount,
                           ID3DXMesh** mesh) {
  using namespace platform::d3dx;
  if (!file || !device || !mesh) return D3DERR_INVALIDCALL;
  *mesh = nullptr;
  std::string bytes;
  HRESULT hr = ReadFileBytes(platform::Utf8FromWide(file), kMaxMeshFileBytes, bytes);
  if (FAILED(hr)) return hr;
  MeshData data;
  std::string error;
  if (FAILED(hr = XFileParser::Parse(bytes, data, error))) return hr;
  Mesh::SortByAttribute(data);
  if (FAILED(hr = Mesh::Create(device, data, options, mesh))) return hr;
  if (adjacency) *adjacency = AdjacencyBuffer(data.indices);
  if (materials) *materials = MaterialBuffer(data.materials);
  if (effectInstances) *effectInstances = nullptr;  // our .x files carry no effect instances
  if (materialCount) *materialCount = static_cast<DWORD>(data.materials.size());
  return D3D_OK;
}
