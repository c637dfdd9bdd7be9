// The managed buffers one grid mesh draws from: WaterVertex entries, their 16-bit
// indices (a triangle list) and the optional second stream.
#pragma once

#include "base/SafeRelease.h"
#include "geometry/WaterVertex.h"

class cGridBuffers {
 public:
  cGridBuffers() = default;
  cGridBuffers(const cGridBuffers&) = delete;
  cGridBuffers& operator=(const cGridBuffers&) = delete;
  ~cGridBuffers() { Release(); }

  // Replaces every buffer (the second stream is dropped) with new, unfilled ones.
  bool Create(IDirect3DDevice9* device, int vertexCount, int indexCount);
  // Creates the second stream if it does not exist yet.
  bool CreateExtraStream(IDirect3DDevice9* device);
  void Release();

  // Leaves vertex stream 1 empty. A device with a single stream cannot have
  // anything there, and refuses the call, so only a bound stream is cleared.
  static HRESULT ClearStreamOne(IDirect3DDevice9* device);

  // Two triangles per quad of a row-major grid of (quadsX + 1) * (quadsZ + 1) vertices.
  static void FillQuadIndices(WORD* indices, int quadsX, int quadsZ);

  bool LockVertices(WaterVertex** vertices, DWORD flags);
  bool LockIndices(WORD** indices);
  bool LockExtra(WaterVertexExtra** extra);
  bool UnlockVertices();
  bool UnlockIndices();
  bool UnlockExtra();

  // Binds the streams and indices and draws `primitiveCount` triangles over the
  // first `vertexCount` vertices. Stream 1 is the second stream when `withExtra`
  // and it exists, else nothing.
  bool Draw(IDirect3DDevice9* device, IDirect3DVertexDeclaration9* declaration, bool withExtra, int vertexCount,
            int primitiveCount) const;

  bool IsCreated() const { return vertexBuffer_ && indexBuffer_; }
  IDirect3DVertexBuffer9* GetVertexBuffer() const { return vertexBuffer_; }
  IDirect3DVertexBuffer9* GetExtraStream() const { return extraStream_; }
  int GetVertexCount() const { return vertexCount_; }
  int GetIndexCount() const { return indexCount_; }

 private:
  IDirect3DVertexBuffer9* vertexBuffer_ = nullptr;
  IDirect3DIndexBuffer9* indexBuffer_ = nullptr;
  IDirect3DVertexBuffer9* extraStream_ = nullptr;
  int vertexCount_ = 0;
  int indexCount_ = 0;
};
