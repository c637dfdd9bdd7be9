#include "editor/cCamera.h"

#include "platform/win32.h"

const D3DXMATRIX* cCamera::GetView() {
  target = position + direction;
  D3DXMatrixLookAtLH(&view, &position, &target, &up);
  return &view;
}

bool cCamera::Apply(IDirect3DDevice9* device) {
  GetView();
  return device != nullptr && SUCCEEDED(device->SetTransform(D3DTS_VIEW, &view));
}

void cCamera::MoveForward(float distance) { position += distance * direction; }

void cCamera::MouseLook(float sensitivity) {
  const POINT centre{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
  POINT cursor = centre;
  GetCursorPos(&cursor);
  const int dx = centre.x - cursor.x;
  const int dy = centre.y - cursor.y;
  yaw -= static_cast<float>(dx) * sensitivity * kDegreesToRadians;
  const float step = static_cast<float>(dy) * sensitivity;
  // A step that would reach the limit is refused whole, so the view never flips.
  if (pitchDegrees + step > -kPitchLimit && pitchDegrees + step < kPitchLimit) {
    pitch += kDegreesToRadians * step;
    pitchDegrees += step;
  }
  D3DXMATRIX rotation;
  const D3DXVECTOR3 xAxis(1.0f, 0.0f, 0.0f);
  const D3DXVECTOR3 yAxis(0.0f, 1.0f, 0.0f);
  D3DXVec3TransformCoord(&right, &xAxis, D3DXMatrixRotationY(&rotation, yaw));
  D3DXVec3TransformCoord(&up, &yAxis, D3DXMatrixRotationAxis(&rotation, &right, pitch));
  D3DXVec3Cross(&direction, &up, &right);
  SetCursorPos(centre.x, centre.y);
}
