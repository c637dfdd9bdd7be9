// The two vertex streams every water geometry draws from, and their layouts.
#pragma once

#include "platform/d3d9.h"

// Stream 0: one entry per grid vertex.
struct WaterVertex {
  float x, y, z;  // world position; y is the water height
  float u, v;     // where the engines sample the heightmap, normal map and foam
};
static_assert(sizeof(WaterVertex) == 20);

// Stream 1: written each frame by the fixed-function and shader model 1 engines.
struct WaterVertexExtra {
  float s, t, q;   // texture coordinate set 1
  D3DCOLOR color;  // alpha carries the reflection weight
};
static_assert(sizeof(WaterVertexExtra) == 16);

constexpr DWORD WATER_VERTEX_FVF = D3DFVF_XYZ;
constexpr DWORD WATER_VERTEX_EXTRA_FVF = D3DFVF_DIFFUSE | D3DFVF_TEX1;

// 16-bit indices address at most this many vertices.
constexpr int MAX_WATER_VERTICES = 65536;

// Creates the stream-0-only layout, or with `twoStreams` the layout that adds stream 1.
HRESULT CreateWaterDeclaration(IDirect3DDevice9* device, bool twoStreams, IDirect3DVertexDeclaration9** declaration);
