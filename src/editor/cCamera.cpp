#include "editor/cCamera.h"

#include <algorithm>
#include <cmath>

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

// The view's first column: its x axis in world space. After a mouse look the
// right field points the other way, the direction being built as up x right.
void cCamera::MoveRight(float distance) {
  GetView();
  position += distance * D3DXVECTOR3(view._11, view._21, view._31);
}

// The inverse of what MouseLook builds: direction = (-sin yaw cos pitch,
// sin pitch, -cos yaw cos pitch).
void cCamera::BeginMouseLook() {
  D3DXVECTOR3 forward;
  D3DXVec3Normalize(&forward, &direction);
  pitch = std::asin(std::clamp(forward.y, -1.0f, 1.0f));
  yaw = std::atan2(-forward.x, -forward.z);
  pitchDegrees = pitch / kDegreesToRadians;
  const POINT centre = ScreenCentre();
  SetCursorPos(centre.x, centre.y);
}

POINT cCamera::ScreenCentre() { return POINT{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2}; }

void cCamera::MouseLook(float sensitivity) {
  const POINT centre = ScreenCentre();
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
