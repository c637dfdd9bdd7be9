// The per-vertex work of the engines that feed vertex stream 1 from the CPU each
// frame. The engines run a writer over a whole grid; the geomipmap grid runs the
// same writer over the patch vertices it writes just before drawing them.
#pragma once

#include <cstddef>

#include "geometry/WaterVertex.h"

class iWaterGeometry;

class iVertexExtraWriter {
 public:
  virtual ~iVertexExtraWriter() = default;
  // `fullDetail` is false for the flat, far patches of a geomipmap grid.
  virtual void Write(const WaterVertex& vertex, bool fullDetail, WaterVertexExtra* extra) const = 0;
  // Write with full detail for `count` vertices; one call per run of vertices
  // instead of one per vertex. May run on several threads at once.
  virtual void WriteRange(const WaterVertex* vertices, size_t count, WaterVertexExtra* extra) const = 0;
};

// Runs `writer` over every vertex of a geometry that keeps one vertex buffer for
// its whole surface: that buffer locked read-only, stream 1 rewritten. Runs of
// vertices are shared out over the thread pool; the locks stay on this thread.
bool WriteExtraStream(iWaterGeometry* geometry, const iVertexExtraWriter& writer);
