// The application: Direct3D object and device, display modes, the frame with
// device-loss recovery, input events from the window, timers and the scene.
#pragma once

#include <vector>

#include "app/cFrameRateCounter.h"
#include "base/cTimer.h"
#include "config/cWaterScene.h"
#include "platform/d3dx9.h"
#include "scene/cFont.h"
#include "scene/cResourceCache.h"

class cEditor {
 public:
  // The single editor, created on first use.
  static cEditor* Instance();
  static void DeleteInstance();

  // Creates the full-screen device and sets the scene up; throws cException
  // when Direct3D cannot be used.
  HRESULT Init(HWND window);
  // One frame; E_FAIL when a pending display-mode change failed.
  HRESULT Frame();
  bool ChangeDisplayMode(D3DDISPLAYMODE mode);
  bool SetDeviceStates();
  void CheckCapabilities();
  bool SetProjection();
  void DrawFps();
  bool IsQuitRequested() const { return quitRequested; }

  // The key event list never holds two equal codes.
  void AddKey(unsigned code);
  void RemoveKey(unsigned code);

  IDirect3D9* d3d = nullptr;
  D3DPRESENT_PARAMETERS presentParameters{};
  D3DDISPLAYMODE displayMode{};
  IDirect3DDevice9* device = nullptr;
  bool deviceLost = false;
  bool modeChangePending = false;
  D3DDISPLAYMODE pendingMode{};
  bool quitRequested = false;
  bool ffpSupported = true;
  bool sm1Supported = true;
  bool sm2Supported = true;
  bool sm3Supported = true;
  std::vector<D3DDISPLAYMODE> displayModes;  // full-screen modes at least 800 wide
  std::vector<unsigned> keyEvents;           // GUIKey codes in order of arrival
  char typedCharacter = 0;                   // last letter typed, lower case; 0 = none
  bool flyMode = false;
  cFont* smallFont = nullptr;  // owned by the resource manager
  cFont* largeFont = nullptr;
  cTimer simulationTimer;
  cTimer frameRateTimer;
  cTimer movementTimer;
  cTimer stopwatch;
  cFrameRateCounter frameRate;
  // Seconds taken by the last measured pipeline steps.
  float heightmapUpdateTime = 0.0f;
  float heightmapWriteTime = 0.0f;
  float geometryExtrusionTime = 0.0f;
  float normalmapComputeTime = 0.0f;
  float normalmapWriteTime = 0.0f;
  float engineRenderTime = 0.0f;
  D3DXMATRIX projection{};
  D3DXMATRIX viewProjection{};
  cWaterScene waterScene;
  cResourceCache* resourceCache = nullptr;

 private:
  cEditor();
  ~cEditor();

  void CreateDirect3D();
  void FillPresentParameters(HWND window);
  void CreateDevice(HWND window);
  void ListDisplayModes();
  void SetUpScene();
  bool SupportsVertexTextures(const D3DCAPS9& caps);
  bool ResetLostDevice();
  bool RestoreDevice();
  bool DrawFrame();
  void Update();
  void RenderScene();
};
