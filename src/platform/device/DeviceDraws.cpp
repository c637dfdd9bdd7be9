// Vertex input (declarations, FVF, streams, indices) and the draw calls.
#include <algorithm>
#include <cstring>
#include <limits>
#include <type_traits>

#include "platform/Platform.h"
#include "platform/device/Device.h"
#include "platform/device/DeviceHooks.h"
#include "platform/device/IndexBuffer.h"
#include "platform/device/Texture.h"
#include "platform/device/VertexBuffer.h"
#include "platform/device/VertexDeclaration.h"
#include "platform/device/VertexLayout.h"

namespace platform {
namespace {

// Vertices (or indices) a primitive count takes; 0 for an unknown type.
UINT VerticesOf(D3DPRIMITIVETYPE type, UINT primitives) {
  switch (type) {
    case D3DPT_POINTLIST:
      return primitives;
    case D3DPT_LINELIST:
      return primitives * 2;
    case D3DPT_LINESTRIP:
      return primitives + 1;
    case D3DPT_TRIANGLELIST:
      return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
      return primitives + 2;
  }
  return 0;
}

// Lowest and highest index of a draw. Blocks of 16 bytes (one SSE2 register) are reduced lane by
// lane without branches, so the compiler keeps them in vector registers: a
// large grid is checked on every draw. The indices go through their signed
// twins (top bit flipped), whose comparisons the base instruction set has.
template <class Index>
bool IndicesWithin(const uint8_t* bytes, UINT count, UINT minIndex, UINT vertexCount) {
  using Signed = std::make_signed_t<Index>;
  typedef Signed Block __attribute__((vector_size(16)));
  constexpr UINT kLanes = sizeof(Block) / sizeof(Index);
  constexpr Signed kTopBit = std::numeric_limits<Signed>::min();
  Block low = Block{} + std::numeric_limits<Signed>::max(), high = Block{} + kTopBit;
  UINT i = 0;
  for (; i + kLanes <= count; i += kLanes) {
    Block block;
    std::memcpy(&block, bytes + static_cast<size_t>(i) * sizeof(Index), sizeof block);
    block ^= kTopBit;
    low = block < low ? block : low;
    high = block > high ? block : high;
  }
  Signed lowest = std::numeric_limits<Signed>::max(), highest = kTopBit;
  for (UINT lane = 0; lane < kLanes; ++lane) {
    lowest = std::min<Signed>(lowest, low[lane]);
    highest = std::max<Signed>(highest, high[lane]);
  }
  for (; i < count; ++i) {
    Index index;
    std::memcpy(&index, bytes + static_cast<size_t>(i) * sizeof(Index), sizeof index);
    lowest = std::min<Signed>(lowest, static_cast<Signed>(index ^ static_cast<Index>(kTopBit)));
    highest = std::max<Signed>(highest, static_cast<Signed>(index ^ static_cast<Index>(kTopBit)));
  }
  const Index first = static_cast<Index>(lowest) ^ static_cast<Index>(kTopBit);
  const Index last = static_cast<Index>(highest) ^ static_cast<Index>(kTopBit);
  return count == 0 || (first >= minIndex && last - minIndex < vertexCount);
}

}  // namespace

HRESULT Device::SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) {
  VertexDeclaration* object = static_cast<VertexDeclaration*>(declaration);
  Rebind(declaration_, object);
  fvf_ = 0;
  state_.layout = object ? object->Elements() : std::vector<D3DVERTEXELEMENT9>();
  return D3D_OK;
}

HRESULT Device::GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration) {
  if (!declaration) return D3DERR_INVALIDCALL;
  *declaration = declaration_;
  if (declaration_) declaration_->AddRef();
  return D3D_OK;
}

HRESULT Device::SetFVF(DWORD fvf) {
  Unbind(declaration_);
  fvf_ = fvf;
  state_.layout = LayoutFromFVF(fvf);
  return D3D_OK;
}

HRESULT Device::GetFVF(DWORD* fvf) {
  if (!fvf) return D3DERR_INVALIDCALL;
  *fvf = fvf_;
  return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
  if (stream >= caps_.MaxStreams || stream >= kMaxStreams || stride > caps_.MaxStreamStride) {
    return D3DERR_INVALIDCALL;
  }
  VertexBuffer* object = static_cast<VertexBuffer*>(buffer);
  Rebind(streams_[stream], object);
  state_.streams[stream] = {object ? &object->Data() : nullptr, offset, stride};
  return D3D_OK;
}

HRESULT Device::GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset, UINT* stride) {
  if (stream >= kMaxStreams || !buffer || !offset || !stride) return D3DERR_INVALIDCALL;
  *buffer = streams_[stream];
  if (*buffer) (*buffer)->AddRef();
  *offset = state_.streams[stream].offset;
  *stride = state_.streams[stream].stride;
  return D3D_OK;
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer9* indices) {
  IndexBuffer* object = static_cast<IndexBuffer*>(indices);
  Rebind(indices_, object);
  state_.indices = object ? &object->Data() : nullptr;
  return D3D_OK;
}

HRESULT Device::GetIndices(IDirect3DIndexBuffer9** indices) {
  if (!indices) return D3DERR_INVALIDCALL;
  *indices = indices_;
  if (indices_) indices_->AddRef();
  return D3D_OK;
}

// Every stream the layout reads must be bound and hold vertices [0, vertexEnd).
HRESULT Device::CheckStreams(int64_t vertexEnd) const {
  for (const D3DVERTEXELEMENT9& element : state_.layout) {
    if (element.Stream >= kMaxStreams || !streams_[element.Stream]) return D3DERR_INVALIDCALL;
    const StreamBinding& binding = state_.streams[element.Stream];
    const int64_t end = int64_t{binding.offset} + int64_t{binding.stride} * (vertexEnd - 1) + element.Offset +
                      DeclTypeBytes(element.Type);
    if (end > streams_[element.Stream]->Size()) return D3DERR_INVALIDCALL;
  }
  return D3D_OK;
}

HRESULT Device::CheckIndices(const DrawCall& call) const {
  const UINT count = VerticesOf(call.type, call.primitiveCount);
  const UINT size = indices_->IndexSize();
  if ((uint64_t{call.start} + count) * size > indices_->Size()) return D3DERR_INVALIDCALL;
  const uint8_t* first = indices_->Data().bytes.data() + static_cast<size_t>(call.start) * size;
  const bool within = size == 2 ? IndicesWithin<uint16_t>(first, count, call.minIndex, call.vertexCount)
                                : IndicesWithin<uint32_t>(first, count, call.minIndex, call.vertexCount);
  return within ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
  if (!inScene_) return D3DERR_INVALIDCALL;
  if (primitiveCount == 0) return D3D_OK;
  const UINT vertices = VerticesOf(type, primitiveCount);
  if (vertices == 0 || primitiveCount > caps_.MaxPrimitiveCount || state_.layout.empty()) return D3DERR_INVALIDCALL;
  if (FAILED(CheckStreams(int64_t{startVertex} + vertices))) return D3DERR_INVALIDCALL;
  DrawCall call;
  call.type = type;
  call.start = startVertex;
  call.primitiveCount = primitiveCount;
  return Submit(call, vertices);
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                                     UINT startIndex, UINT primitiveCount) {
  if (!inScene_) return D3DERR_INVALIDCALL;
  if (primitiveCount == 0) return D3D_OK;
  if (!indices_ || VerticesOf(type, primitiveCount) == 0 || vertexCount == 0 ||
      primitiveCount > caps_.MaxPrimitiveCount || state_.layout.empty() || int64_t{baseVertex} + minIndex < 0) {
    return D3DERR_INVALIDCALL;
  }
  DrawCall call;
  call.type = type;
  call.indexed = true;
  call.baseVertex = baseVertex;
  call.minIndex = minIndex;
  call.vertexCount = vertexCount;
  call.start = startIndex;
  call.primitiveCount = primitiveCount;
  if (FAILED(CheckIndices(call)) || FAILED(CheckStreams(int64_t{baseVertex} + minIndex + vertexCount))) {
    return D3DERR_INVALIDCALL;
  }
  return Submit(call, vertexCount);
}

// Draws from program memory; stream 0 is left unbound, as in Direct3D.
HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) {
  if (!inScene_ || !vertices || stride == 0) return D3DERR_INVALIDCALL;
  if (primitiveCount == 0) return D3D_OK;
  const UINT count = VerticesOf(type, primitiveCount);
  if (count == 0 || primitiveCount > caps_.MaxPrimitiveCount ||
      state_.layout.empty()) {
    return D3DERR_INVALIDCALL;
  }
  for (const D3DVERTEXELEMENT9& element : state_.layout) {
    if (element.Stream != 0 || element.Offset + DeclTypeBytes(element.Type) > stride) return D3DERR_INVALIDCALL;
  }
  DrawCall call;
  call.type = type;
  call.primitiveCount = primitiveCount;
  call.userVertices = vertices;
  call.userStride = stride;
  Unbind(streams_[0]);
  state_.streams[0] = {};
  return Submit(call, count);
}

HRESULT Device::Submit(const DrawCall& call, UINT vertexCount) {
  CurrentBackend().Draw(state_, call);
  if (IsRecording()) Record(call, vertexCount);
  return D3D_OK;
}

void Device::Record(const DrawCall& call, UINT vertexCount) const {
  DrawRecord record{call.type, call.indexed, call.primitiveCount, vertexCount, call.start, {}, {}, 0,
                    {textures_[0], textures_[1]}, fvf_, TargetTexture(),
                    state_.renderStates[D3DRS_CULLMODE], state_.renderStates[D3DRS_CLIPPLANEENABLE],
                    state_.renderStates[D3DRS_FILLMODE], state_.renderStates[D3DRS_ZENABLE]};
  const EffectBinding& binding = state_.effect;
  if (binding.effect) {
    record.effect = binding.effect->path;
    if (binding.technique < binding.effect->techniques.size()) {
      record.technique = binding.effect->techniques[binding.technique].name;
    }
    record.pass = binding.pass;
  }
  Recorded().draws.push_back(std::move(record));
}

}  // namespace platform
