// A full-screen headless device for the length of one benchmark, inside a
// scene so that draws count.
#pragma once

#include "platform/Platform.h"

class BenchDevice {
 public:
  BenchDevice() {
    platform::UseHeadlessBackend();
    d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = 1024;
    parameters.BackBufferHeight = 768;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = reinterpret_cast<HWND>(0x10);
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    if (!d3d_ || FAILED(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, parameters.hDeviceWindow,
                                           D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device_)) ||
        FAILED(device_->BeginScene())) {
      Release();
    }
  }
  ~BenchDevice() { Release(); }
  BenchDevice(const BenchDevice&) = delete;
  BenchDevice& operator=(const BenchDevice&) = delete;

  IDirect3D9* d3d() const { return d3d_; }
  IDirect3DDevice9* get() const { return device_; }

 private:
  void Release() {
    if (device_) device_->Release();
    if (d3d_) d3d_->Release();
    device_ = nullptr;
    d3d_ = nullptr;
  }

  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
};
