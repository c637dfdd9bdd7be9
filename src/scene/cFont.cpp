#include "scene/cFont.h"

#include "base/Saturate.h"

cFont::cFont(IDirect3DDevice9* device, int height, const wchar_t* faceName, cResourceManager* manager)
    : iResource(manager) {
  Create(device, height, faceName);
}

bool cFont::Create(IDirect3DDevice9* device, int height, const wchar_t* faceName) {
  Destroy();
  if (FAILED(D3DXCreateFontW(device, height, 0, FW_NORMAL, D3DX_DEFAULT, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, faceName, &font))) {
    font = nullptr;
    return false;
  }
  CaptureView(device);
  return true;
}

void cFont::CaptureView(IDirect3DDevice9* device) {
  D3DXMATRIX captured;
  D3DDISPLAYMODE mode;
  if (device == nullptr) return;
  if (SUCCEEDED(device->GetTransform(D3DTS_PROJECTION, &captured))) projection = captured;
  if (SUCCEEDED(device->GetDisplayMode(0, &mode))) displayMode = mode;
}

void cFont::OnLostDevice() {
  if (font) font->OnLostDevice();
}

void cFont::OnResetDevice(IDirect3DDevice9* device) {
  if (font) font->OnResetDevice();
  CaptureView(device);
}

void cFont::Destroy() {
  if (font) font->Release();
  font = nullptr;
}

void cFont::DrawText(const wchar_t* text, int top, int left, int bottom, int right, DWORD format,
                     D3DCOLOR color) {
  if (font == nullptr) return;
  RECT rect{left, top, right, bottom};
  font->DrawTextW(nullptr, text, -1, &rect, format, color);
}

RECT cFont::PixelRect(float top, float left, float bottom, float right) const {
  const float width = static_cast<float>(displayMode.Width);
  const float height = static_cast<float>(displayMode.Height);
  const auto column = [&](float x) { return SaturateToInt((x * projection._11 + 1.0f) * width * 0.5f); };
  const auto row = [&](float y) { return SaturateToInt(0.5f * height - height * projection._22 * y * 0.5f); };
  return RECT{column(left), row(top), column(right), row(bottom)};
}

void cFont::DrawTextGUI(const wchar_t* text, float top, float left, float bottom, float right, DWORD format,
                        D3DCOLOR color) {
  const RECT rect = PixelRect(top, left, bottom, right);
  DrawText(text, rect.top, rect.left, rect.bottom, rect.right, format, color);
}

float cFont::TextHeightGUI(const wchar_t* text, float top, float left, float bottom, float right,
                           DWORD format) const {
  const float pixelsPerUnit = 0.5f * static_cast<float>(displayMode.Height) * projection._22;
  if (font == nullptr || text == nullptr || !(pixelsPerUnit > 0.0f)) return 0.0f;
  RECT rect = PixelRect(top, left, bottom, right);
  return static_cast<float>(font->DrawTextW(nullptr, text, -1, &rect, format | DT_CALCRECT, 0)) / pixelsPerUnit;
}
