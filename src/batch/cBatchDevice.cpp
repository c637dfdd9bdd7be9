#include "batch/cBatchDevice.h"

#include "base/SafeRelease.h"
#include "platform/Platform.h"

namespace {

constexpr const char* kWindowClass = "WaterBatch";

}  // namespace

cBatchDevice::~cBatchDevice() {
  if (device_) {
    device_->EndScene();
    device_->Release();
  }
  if (d3d_) d3d_->Release();
  if (window_) DestroyWindow(window_);
}

bool cBatchDevice::Create(bool gpu, std::string* error) {
  D3DPRESENT_PARAMETERS parameters{};
  parameters.BackBufferCount = 1;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parameters.EnableAutoDepthStencil = TRUE;
  parameters.AutoDepthStencilFormat = D3DFMT_D16;
  if (gpu) {
    std::string reason;
    if (!platform::UseGLBackend(&reason)) {
      *error = "--gpu needs a display with OpenGL 3.3: " + reason;
      return false;
    }
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExA(&windowClass);
    window_ = CreateWindowExA(0, kWindowClass, "water-batch", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, 64, 64, nullptr,
                              nullptr, nullptr, nullptr);
    parameters.Windowed = TRUE;
    parameters.hDeviceWindow = window_;
    parameters.BackBufferWidth = parameters.BackBufferHeight = 64;
    parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
  } else {
    // A full-screen mode the headless backend lists.
    platform::UseHeadlessBackend();
    parameters.hDeviceWindow = reinterpret_cast<HWND>(0x10);
    parameters.BackBufferWidth = 640;
    parameters.BackBufferHeight = 480;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
  }
  d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
  if (!d3d_ || (gpu && !window_) ||
      FAILED(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, parameters.hDeviceWindow,
                                D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device_)) ||
      FAILED(device_->BeginScene())) {
    // A device is kept only inside its scene, so the destructor may end it.
    SafeRelease(device_);
    *error = gpu ? "the OpenGL device could not be created" : "the headless device could not be created";
    return false;
  }
  return true;
}
