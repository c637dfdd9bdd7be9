// The editor's only camera: W and S move it along its view direction, A and D
// sideways; in fly mode the mouse turns it by yaw and pitch.
#pragma once

#include "platform/d3dx9.h"

class cCamera {
 public:
  static constexpr float kDegreesToRadians = 0.017453292f;
  static constexpr float kPitchLimit = 89.0f;  // degrees, exclusive

  // target = position + direction; the view looks from position at target.
  const D3DXMATRIX* GetView();
  // GetView, then the view transform of the device.
  bool Apply(IDirect3DDevice9* device);
  void MoveForward(float distance);
  // Along the view's right axis, to the screen's right (negative: left).
  void MoveRight(float distance);
  // Takes yaw and pitch from the current direction and centres the cursor, so
  // mouse look goes on from the view as it is.
  void BeginMouseLook();
  // Turns by the cursor's distance from the screen centre (degrees per pixel),
  // rebuilds the axes from the two angles and puts the cursor back at the centre.
  void MouseLook(float sensitivity);
  // The centre of the screen in pixels, where mouse look keeps the cursor.
  static POINT ScreenCentre();

  D3DXVECTOR3 position{0.0f, 100.0f, 100.0f};
  D3DXVECTOR3 target{0.0f, 0.0f, 100.0f};
  D3DXVECTOR3 direction{0.0f, 0.0f, 1.0f};
  D3DXVECTOR3 right{1.0f, 0.0f, 0.0f};
  D3DXVECTOR3 up{0.0f, 1.0f, 0.0f};
  D3DXMATRIX view{};
  float pitch = 0.0f;  // radians
  float yaw = 0.0f;    // radians
  float pitchDegrees = 0.0f;
};
