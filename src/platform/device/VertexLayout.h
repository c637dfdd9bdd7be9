// Vertex layouts: FVF codes as declaration elements, and declaration checks.
#pragma once

#include <vector>

#include "platform/d3d9.h"

namespace platform {

// The elements an FVF describes, all on stream 0, in FVF order.
std::vector<D3DVERTEXELEMENT9> LayoutFromFVF(DWORD fvf);

// Bytes of one element of `type`; 0 for an unknown type.
UINT DeclTypeBytes(BYTE type);

// Reads elements up to D3DDECL_END. False when the array has no end marker
// within MAXD3DDECLLENGTH elements or holds an unknown type.
bool ReadDeclaration(const D3DVERTEXELEMENT9* elements, std::vector<D3DVERTEXELEMENT9>& out);

}  // namespace platform
