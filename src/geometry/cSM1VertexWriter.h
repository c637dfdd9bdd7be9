// Per-vertex normals for the shader model 1 engine, whose pixel shaders cannot
// sample the normal map usefully: the normal under each vertex goes into texcoord1.
#pragma once

#include "geometry/iVertexExtraWriter.h"
#include "platform/d3dx9.h"

class cSM1VertexWriter final : public iVertexExtraWriter {
 public:
  // `normals`: N*N, row-major.
  cSM1VertexWriter(const D3DXVECTOR3* normals, int normalmapSize);

  // Far vertices get a zero normal; the colour is left as it is.
  void Write(const WaterVertex& vertex, bool fullDetail, WaterVertexExtra* extra) const override;
  void WriteRange(const WaterVertex* vertices, size_t count, WaterVertexExtra* extra) const override;

 private:
  const D3DXVECTOR3* normals_;
  int normalmapSize_;
};
