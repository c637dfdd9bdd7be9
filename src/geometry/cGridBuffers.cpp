#include "geometry/cGridBuffers.h"

bool cGridBuffers::Create(IDirect3DDevice9* device, int vertexCount, int indexCount) {
  Release();
  if (FAILED(device->CreateVertexBuffer(vertexCount * sizeof(WaterVertex), 0, WATER_VERTEX_FVF, D3DPOOL_MANAGED,
                                        &vertexBuffer_, nullptr)))
    return false;
  if (FAILED(device->CreateIndexBuffer(indexCount * sizeof(WORD), 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indexBuffer_,
                                       nullptr)))
    return false;
  vertexCount_ = vertexCount;
  indexCount_ = indexCount;
  return true;
}

bool cGridBuffers::CreateExtraStream(IDirect3DDevice9* device) {
  if (extraStream_) return true;
  return SUCCEEDED(device->CreateVertexBuffer(vertexCount_ * sizeof(WaterVertexExtra), 0, WATER_VERTEX_EXTRA_FVF,
                                              D3DPOOL_MANAGED, &extraStream_, nullptr));
}

void cGridBuffers::Release() {
  SafeRelease(extraStream_);
  SafeRelease(vertexBuffer_);
  SafeRelease(indexBuffer_);
  vertexCount_ = 0;
  indexCount_ = 0;
}

HRESULT cGridBuffers::ClearStreamOne(IDirect3DDevice9* device) {
  IDirect3DVertexBuffer9* bound = nullptr;
  UINT offset = 0, stride = 0;
  const HRESULT result = device->GetStreamSource(1, &bound, &offset, &stride);
  if (FAILED(result) || !bound) return result;
  bound->Release();
  return device->SetStreamSource(1, nullptr, 0, 0);
}

void cGridBuffers::FillQuadIndices(WORD* indices, int quadsX, int quadsZ) {
  const int w = quadsX + 1;
  for (int j = 0; j < quadsZ; ++j) {
    for (int i = 0; i < quadsX; ++i) {
      const WORD near = static_cast<WORD>(j * w + i);
      const WORD far = static_cast<WORD>((j + 1) * w + i);
      *indices++ = near;
      *indices++ = far;
      *indices++ = static_cast<WORD>(near + 1);
      *indices++ = static_cast<WORD>(near + 1);
      *indices++ = far;
      *indices++ = static_cast<WORD>(far + 1);
    }
  }
}

bool cGridBuffers::LockVertices(WaterVertex** vertices, DWORD flags) {
  return vertexBuffer_ && SUCCEEDED(vertexBuffer_->Lock(0, 0, reinterpret_cast<void**>(vertices), flags));
}

bool cGridBuffers::LockIndices(WORD** indices) {
  return indexBuffer_ && SUCCEEDED(indexBuffer_->Lock(0, 0, reinterpret_cast<void**>(indices), 0));
}

bool cGridBuffers::LockExtra(WaterVertexExtra** extra) {
  return extraStream_ && SUCCEEDED(extraStream_->Lock(0, 0, reinterpret_cast<void**>(extra), 0));
}

bool cGridBuffers::UnlockVertices() { return SUCCEEDED(vertexBuffer_->Unlock()); }

bool cGridBuffers::UnlockIndices() { return SUCCEEDED(indexBuffer_->Unlock()); }

bool cGridBuffers::UnlockExtra() { return SUCCEEDED(extraStream_->Unlock()); }

bool cGridBuffers::Draw(IDirect3DDevice9* device, IDirect3DVertexDeclaration9* declaration, bool withExtra,
                        int vertexCount, int primitiveCount) const {
  const bool second = withExtra && extraStream_;
  return SUCCEEDED(device->SetVertexDeclaration(declaration)) &&
         SUCCEEDED(device->SetStreamSource(0, vertexBuffer_, 0, sizeof(WaterVertex))) &&
         SUCCEEDED(second ? device->SetStreamSource(1, extraStream_, 0, sizeof(WaterVertexExtra))
                          : ClearStreamOne(device)) &&
         SUCCEEDED(device->SetIndices(indexBuffer_)) &&
         SUCCEEDED(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, vertexCount, 0, primitiveCount));
}
