// One image queued for the sprite container: a texture (null draws the colour
// alone) stretched over the corners (x1, y1) top-left and (x2, y2) bottom-right.
#pragma once

#include "platform/d3d9.h"

class D3DTexture;

struct SpriteRecord {
  D3DTexture* texture = nullptr;
  float x1 = 0.0f;
  float y1 = 0.0f;
  float x2 = 0.0f;
  float y2 = 0.0f;
  D3DCOLOR color = 0;
};
