#include "base/IsBoxVisible.h"

int ComputeOutcode(const D3DXVECTOR4& clip) {
  int code = 0;
  if (clip.x < -clip.w) code |= 1;
  else if (clip.x > clip.w) code |= 2;
  if (clip.y < -clip.w) code |= 4;
  else if (clip.y > clip.w) code |= 8;
  if (clip.z < 0.0f) code |= 16;
  else if (clip.z > clip.w) code |= 32;
  return code;
}

bool IsBoxVisible(const D3DXVECTOR3& a, const D3DXVECTOR3& b, const D3DXMATRIX* matrix) {
  if (!matrix) return true;
  int common = ~0;
  for (int corner = 0; corner < 8; ++corner) {
    const D3DXVECTOR3 point((corner & 1) ? b.x : a.x, (corner & 2) ? b.y : a.y, (corner & 4) ? b.z : a.z);
    D3DXVECTOR4 clip;
    D3DXVec3Transform(&clip, &point, matrix);
    const int code = ComputeOutcode(clip);
    if (code == 0) return true;
    common &= code;
  }
  return common == 0;
}
