// Conservative view-frustum test of an axis-aligned box, shared by every water
// geometry and by the engine that moves its grid with the camera.
#pragma once

#include "platform/d3dx9.h"

// Clip-space outcode of a transformed point: one bit per frustum plane it lies beyond.
int ComputeOutcode(const D3DXVECTOR4& clip);

// The box spanned by corners `a` and `b` is invisible only when all eight corners
// lie beyond one and the same frustum plane under `matrix`. A null matrix sees everything.
bool IsBoxVisible(const D3DXVECTOR3& a, const D3DXVECTOR3& b, const D3DXMATRIX* matrix);
