// A text font. Besides pixel rectangles it takes rectangles in GUI coordinates,
// converted with the projection and display mode captured from the device.
#pragma once

#include "platform/d3dx9.h"
#include "scene/iResource.h"

class cFont : public iResource {
 public:
  cFont(IDirect3DDevice9* device, int height, const wchar_t* faceName, cResourceManager* manager);
  ~cFont() override { Destroy(); }

  // Replaces the font with a new one of this height and face.
  bool Create(IDirect3DDevice9* device, int height, const wchar_t* faceName);
  void OnLostDevice() override;
  void Destroy() override;
  void OnResetDevice(IDirect3DDevice9* device) override;

  // Rectangle in pixels; nothing is drawn without a font.
  void DrawText(const wchar_t* text, int top, int left, int bottom, int right, DWORD format, D3DCOLOR color);
  // Rectangle in GUI coordinates.
  void DrawTextGUI(const wchar_t* text, float top, float left, float bottom, float right, DWORD format,
                   D3DCOLOR color);
  // The height in GUI units that DrawTextGUI with these arguments covers; 0
  // without a font or text.
  float TextHeightGUI(const wchar_t* text, float top, float left, float bottom, float right, DWORD format) const;

 private:
  void CaptureView(IDirect3DDevice9* device);
  RECT PixelRect(float top, float left, float bottom, float right) const;

  ID3DXFont* font = nullptr;
  D3DXMATRIX projection{};
  D3DDISPLAYMODE displayMode{};
};
