#include "platform/Platform.h"

// stb is compiled here with its own warnings silenced.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include "platform/WindowSystem.h"
#include "platform/device/Device.h"
#include "platform/device/Surface.h"
#include "platform/device/Texture.h"
#include "platform/headless/HeadlessBackend.h"

namespace platform {
namespace {

std::unique_ptr<Backend>& InstalledBackend() {
  static std::unique_ptr<Backend> backend;
  return backend;
}

}  // namespace

void InstallBackend(std::unique_ptr<Backend> backend) { InstalledBackend() = std::move(backend); }

// A process that never chose a backend gets the headless one.
Backend& CurrentBackend() {
  if (!HasBackend()) UseHeadlessBackend();
  return *InstalledBackend();
}

bool HasBackend() { return InstalledBackend() != nullptr; }

void UseHeadlessBackend(const HeadlessProfile& profile) {
  InstallBackend(std::make_unique<headless::HeadlessBackend>(profile));
  Recorded().Clear();
  WindowSystem::Instance().Reset();
}

Record& Recorded() {
  static Record record;
  return record;
}

bool ReadBackBuffer(IDirect3DDevice9* device, std::vector<uint8_t>& bgra, UINT& width, UINT& height) {
  if (!device) return false;
  SurfaceData& surface = static_cast<Device*>(device)->BackBuffer().Data();
  if (!CurrentBackend().ReadSurface(surface, bgra)) return false;
  width = surface.width;
  height = surface.height;
  return true;
}

bool ReadTexture(IDirect3DTexture9* texture, UINT level, std::vector<uint8_t>& bgra) {
  if (!texture || level >= texture->GetLevelCount()) return false;
  return CurrentBackend().ReadSurface(static_cast<Texture*>(texture)->Level(level).Data(), bgra);
}

bool SavePng(const char* path, const std::vector<uint8_t>& bgra, UINT width, UINT height) {
  const size_t bytes = static_cast<size_t>(width) * height * 4;
  if (!path || width == 0 || height == 0 || bgra.size() < bytes) return false;
  std::vector<uint8_t> rgba(bgra.begin(), bgra.begin() + static_cast<std::ptrdiff_t>(bytes));
  for (size_t i = 0; i < bytes; i += 4) std::swap(rgba[i], rgba[i + 2]);
  const int stride = static_cast<int>(width * 4);
  return stbi_write_png(path, static_cast<int>(width), static_cast<int>(height), 4, rgba.data(), stride) != 0;
}

}  // namespace platform
