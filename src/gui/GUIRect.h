// A widget's rectangle in GUI coordinates: top-left corner (x, y), y grows
// upwards, so the rectangle spans x..x+width and y-height..y.
#pragma once

#include "gui/SpriteRecord.h"
#include "platform/d3dx9.h"

struct GUIRect {
  float x = 0.0f;  // x and y stay adjacent: GetPosition hands out &x as two floats
  float y = 0.0f;
  float width = 0.0f;
  float height = 0.0f;

  // Edges count as inside.
  bool Contains(float px, float py) const { return px >= x && px <= x + width && py <= y && py >= y - height; }
  const float* Position() const { return &x; }
  void MoveTo(float nx, float ny) {
    x = nx;
    y = ny;
  }
  SpriteRecord Sprite(D3DTexture* texture, D3DCOLOR color) const {
    return SpriteRecord{texture, x, y, x + width, y - height, color};
  }
};
