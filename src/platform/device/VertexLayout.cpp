#include "platform/device/VertexLayout.h"

namespace platform {
namespace {

void Append(std::vector<D3DVERTEXELEMENT9>& layout, WORD& offset, BYTE type, BYTE usage, BYTE usageIndex) {
  layout.push_back({0, offset, type, D3DDECLMETHOD_DEFAULT, usage, usageIndex});
  offset = static_cast<WORD>(offset + DeclTypeBytes(type));
}

// D3DFVF_TEXCOORDSIZEn: two bits per set, 0 meaning two floats.
BYTE TexcoordType(DWORD fvf, UINT set) {
  static constexpr BYTE kTypes[4] = {D3DDECLTYPE_FLOAT2, D3DDECLTYPE_FLOAT3, D3DDECLTYPE_FLOAT4,
                                     D3DDECLTYPE_FLOAT1};
  return kTypes[(fvf >> (16 + 2 * set)) & 3];
}

}  // namespace

UINT DeclTypeBytes(BYTE type) {
  switch (type) {
    case D3DDECLTYPE_FLOAT1:
    case D3DDECLTYPE_D3DCOLOR:
    case D3DDECLTYPE_UBYTE4:
    case D3DDECLTYPE_SHORT2:
    case D3DDECLTYPE_UBYTE4N:
      return 4;
    case D3DDECLTYPE_FLOAT2:
    case D3DDECLTYPE_SHORT4:
      return 8;
    case D3DDECLTYPE_FLOAT3:
      return 12;
    case D3DDECLTYPE_FLOAT4:
      return 16;
    default:
      return 0;
  }
}

std::vector<D3DVERTEXELEMENT9> LayoutFromFVF(DWORD fvf) {
  std::vector<D3DVERTEXELEMENT9> layout;
  WORD offset = 0;
  const DWORD position = fvf & D3DFVF_POSITION_MASK;
  if (position == D3DFVF_XYZ) Append(layout, offset, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0);
  if (position == D3DFVF_XYZRHW) Append(layout, offset, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITIONT, 0);
  if (fvf & D3DFVF_NORMAL) Append(layout, offset, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0);
  if (fvf & D3DFVF_PSIZE) Append(layout, offset, D3DDECLTYPE_FLOAT1, D3DDECLUSAGE_PSIZE, 0);
  if (fvf & D3DFVF_DIFFUSE) Append(layout, offset, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0);
  if (fvf & D3DFVF_SPECULAR) Append(layout, offset, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1);
  const UINT sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  for (UINT set = 0; set < sets && set < 8; ++set) {
    Append(layout, offset, TexcoordType(fvf, set), D3DDECLUSAGE_TEXCOORD, static_cast<BYTE>(set));
  }
  return layout;
}

bool ReadDeclaration(const D3DVERTEXELEMENT9* elements, std::vector<D3DVERTEXELEMENT9>& out) {
  out.clear();
  for (UINT i = 0; i <= MAXD3DDECLLENGTH; ++i) {
    const D3DVERTEXELEMENT9& element = elements[i];
    if (element.Stream == 0xFF) return true;
    if (DeclTypeBytes(element.Type) == 0) return false;
    out.push_back(element);
  }
  return false;
}

}  // namespace platform
