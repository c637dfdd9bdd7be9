#include "platform/d3dx/Font.h"

#include <algorithm>
#include <cwchar>

#include "platform/Platform.h"
#include "platform/d3dx/TextRenderStates.h"
#include "platform/Utf8.h"

namespace platform::d3dx {

namespace {

constexpr INT kMaxHeight = 1024;

}  // namespace

Font::Font(IDirect3DDevice9* device, std::unique_ptr<FontFace> face, INT height, std::wstring faceName)
    : device_(device), face_(std::move(face)), height_(height), faceName_(std::move(faceName)) {
  device_->AddRef();
}

Font::~Font() {
  if (texture_) texture_->Release();
  device_->Release();
}

INT Font::DrawTextW(ID3DXSprite* /*sprite*/, LPCWSTR text, INT count, RECT* rect, DWORD format, D3DCOLOR color) {
  if (!text) return 0;
  const std::wstring_view view(text, count < 0 ? std::wcslen(text) : static_cast<size_t>(count));
  const RECT area = rect ? *rect : RECT{0, 0, 0, 0};
  if (!rect) format |= DT_NOCLIP;
  const TextLayout layout(*face_, view, area, format);
  if (format & DT_CALCRECT) {
    if (rect) *rect = layout.Bounds();
    return layout.Result();
  }
  Record(view, area, format, color);
  if (!AddGlyphs(layout.Glyphs())) {
    // Full: start over with only this text's glyphs.
    atlas_.Clear();
    glyphs_.clear();
    CacheGlyphs(layout.Glyphs());
  }
  vertices_.clear();
  for (const PlacedGlyph& placed : layout.Glyphs()) AddQuad(placed, area, format, color);
  if (!vertices_.empty() && FAILED(Draw())) return 0;
  return layout.Result();
}

// False when the atlas filled up before every glyph was in.
bool Font::AddGlyphs(const std::vector<PlacedGlyph>& glyphs) {
  for (const PlacedGlyph& placed : glyphs) {
    if (glyphs_.count(placed.glyph)) continue;
    GlyphBitmap bitmap;
    CachedGlyph cached;
    if (face_->Render(placed.glyph, bitmap) && bitmap.width > 0 && bitmap.height > 0 &&
        !atlas_.Add(static_cast<UINT>(bitmap.width), static_cast<UINT>(bitmap.height), bitmap.coverage.data(),
                    cached.slot)) {
      return false;
    }
    cached.left = bitmap.left;
    cached.top = bitmap.top;
    glyphs_.emplace(placed.glyph, cached);  // blank glyphs keep an empty slot
  }
  return true;
}

// After a clear: what still does not fit is left out of this text.
void Font::CacheGlyphs(const std::vector<PlacedGlyph>& glyphs) {
  for (const PlacedGlyph& placed : glyphs) {
    if (!AddGlyphs({placed})) glyphs_.emplace(placed.glyph, CachedGlyph());
  }
}

void Font::AddQuad(const PlacedGlyph& placed, const RECT& rect, DWORD format, D3DCOLOR color) {
  const CachedGlyph& glyph = glyphs_.at(placed.glyph);
  if (glyph.slot.width == 0) return;
  const float width = static_cast<float>(atlas_.Width()), height = static_cast<float>(atlas_.Height());
  float x0 = static_cast<float>(placed.x + glyph.left);
  float x1 = x0 + static_cast<float>(glyph.slot.width);
  const float y0 = static_cast<float>(placed.baseline - glyph.top);
  const float y1 = y0 + static_cast<float>(glyph.slot.height);
  float u0 = static_cast<float>(glyph.slot.x) / width;
  float u1 = static_cast<float>(glyph.slot.x + glyph.slot.width) / width;
  const float v0 = static_cast<float>(glyph.slot.y) / height;
  const float v1 = static_cast<float>(glyph.slot.y + glyph.slot.height) / height;
  if (!(format & DT_NOCLIP)) {
    const float left = static_cast<float>(rect.left), right = static_cast<float>(rect.right);
    if (x1 <= left || x0 >= right) return;
    const float texelsPerPixel = (u1 - u0) / (x1 - x0);
    if (x0 < left) u0 += (left - x0) * texelsPerPixel, x0 = left;
    if (x1 > right) u1 -= (x1 - right) * texelsPerPixel, x1 = right;
  }
  // Direct3D 9 samples pixel centres at whole coordinates: shift by half a pixel.
  const auto vertex = [&](float x, float y, float u, float v) {
    return Vertex{x - 0.5f, y - 0.5f, 0.0f, 1.0f, color, u, v};
  };
  vertices_.insert(vertices_.end(), {vertex(x0, y0, u0, v0), vertex(x1, y0, u1, v0), vertex(x0, y1, u0, v1),
                                     vertex(x1, y0, u1, v0), vertex(x1, y1, u1, v1), vertex(x0, y1, u0, v1)});
}

HRESULT Font::UploadAtlas() {
  D3DSURFACE_DESC desc{};
  if (texture_ && (FAILED(texture_->GetLevelDesc(0, &desc)) || desc.Height != atlas_.Height())) {
    texture_->Release();
    texture_ = nullptr;
  }
  if (!texture_) {
    const HRESULT hr = device_->CreateTexture(atlas_.Width(), atlas_.Height(), 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                              &texture_, nullptr);
    if (FAILED(hr)) return hr;
  } else if (!atlas_.Dirty()) {
    return D3D_OK;
  }
  D3DLOCKED_RECT locked;
  HRESULT hr = texture_->LockRect(0, &locked, nullptr, 0);
  if (FAILED(hr)) return hr;
  for (UINT y = 0; y < atlas_.Height(); ++y) {
    auto* row = static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
    for (UINT x = 0; x < atlas_.Width(); ++x) {
      row[x * 4] = row[x * 4 + 1] = row[x * 4 + 2] = 255;
      row[x * 4 + 3] = atlas_.Coverage(x, y);
    }
  }
  hr = texture_->UnlockRect(0);
  if (SUCCEEDED(hr)) atlas_.MarkUploaded();
  return hr;
}

HRESULT Font::Draw() {
  HRESULT hr = UploadAtlas();
  if (FAILED(hr)) return hr;
  TextRenderStates states(device_, texture_, kFVF);
  hr = states.Result();
  if (SUCCEEDED(hr)) {
    hr = device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(vertices_.size() / 3), vertices_.data(),
                                  sizeof(Vertex));
  }
  const HRESULT restored = states.Restore();
  return FAILED(hr) ? hr : restored;
}

void Font::Record(std::wstring_view text, const RECT& rect, DWORD format, D3DCOLOR color) const {
  if (!IsRecording()) return;
  Recorded().texts.push_back(TextRecord{std::wstring(text), rect, format, color, height_, faceName_});
}

}  // namespace platform::d3dx

HRESULT D3DXCreateFontW(IDirect3DDevice9* device, INT height, UINT /*width*/, UINT weight, UINT /*mipLevels*/,
                        BOOL italic, DWORD /*charSet*/, DWORD /*outputPrecision*/, DWORD /*quality*/,
                        DWORD /*pitchAndFamily*/, LPCWSTR faceName, ID3DXFont** font) {
  using namespace platform::d3dx;
  if (!device || !font || height > kMaxHeight || height < -kMaxHeight) return D3DERR_INVALIDCALL;
  *font = nullptr;
  const std::wstring name = faceName ? faceName : L"";
  auto face = FontFace::Create(platform::Utf8FromWide(name.c_str()), height, weight >= FW_BOLD, italic != FALSE);
  if (!face) return E_FAIL;
  *font = new Font(device, std::move(face), height, name);
  return D3D_OK;
}
