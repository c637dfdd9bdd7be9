// ID3DXFont: text laid out with real glyph metrics and drawn from a glyph atlas
// in one DrawPrimitiveUP of pretransformed quads per call.
//
// Without DT_NOCLIP glyphs are cut at the left and right edges of the
// rectangle; wrapped text that runs below the bottom edge still shows, as it
// does with the fonts the editor was designed for.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/d3dx/FontFace.h"
#include "platform/d3dx/GlyphAtlas.h"
#include "platform/d3dx/TextLayout.h"

namespace platform::d3dx {

class Font : public ID3DXFont {
 public:
  // Takes a reference on the device.
  Font(IDirect3DDevice9* device, std::unique_ptr<FontFace> face, INT height, std::wstring faceName);

  INT DrawTextW(ID3DXSprite* sprite, LPCWSTR text, INT count, RECT* rect, DWORD format, D3DCOLOR color) override;
  // The atlas is a managed texture: nothing to do around a reset.
  HRESULT OnLostDevice() override { return D3D_OK; }
  HRESULT OnResetDevice() override { return D3D_OK; }

 private:
  struct CachedGlyph {
    GlyphAtlas::Slot slot;
    int left = 0, top = 0;
  };
  struct Vertex {
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
  };
  static constexpr DWORD kFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

  ~Font() override;
  bool AddGlyphs(const std::vector<PlacedGlyph>& glyphs);
  void CacheGlyphs(const std::vector<PlacedGlyph>& glyphs);
  HRESULT UploadAtlas();
  void AddQuad(const PlacedGlyph& placed, const RECT& rect, DWORD format, D3DCOLOR color);
  HRESULT Draw();
  void Record(std::wstring_view text, const RECT& rect, DWORD format, D3DCOLOR color) const;

  IDirect3DDevice9* device_;
  std::unique_ptr<FontFace> face_;
  INT height_;
  std::wstring faceName_;
  GlyphAtlas atlas_;
  std::unordered_map<unsigned, CachedGlyph> glyphs_;
  IDirect3DTexture9* texture_ = nullptr;
  std::vector<Vertex> vertices_;  // reused between calls
};

}  // namespace platform::d3dx
