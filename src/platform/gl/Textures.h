// GL textures behind the front end's TextureData, uploaded when dirty, and
// sampler objects for the Direct3D sampler states.
#pragma once

#include <epoxy/gl.h>

#include <array>
#include <map>
#include <vector>

#include "platform/device/Backend.h"
#include "platform/gl/StateCache.h"
#include "platform/gl/TextureFormat.h"

namespace platform::gl {

struct GLTexture {
  GLuint name = 0;
  GLint levels = 1;          // levels allocated in GL (a full chain for automatic mipmaps)
  bool automaticMips = false;
  bool mipsStale = false;    // level 0 was written or drawn into since the chain was generated
  bool chainOnCPU = false;   // level 0 last came from CPU memory the CPU filter can halve
  TextureFormat format;
};

class Textures {
 public:
  explicit Textures(StateCache& cache) : cache_(cache) {}
  Textures(const Textures&) = delete;
  Textures& operator=(const Textures&) = delete;

  // Whether automatic mip chains of textures filled from CPU memory are made
  // on the CPU (where the filter covers the format) rather than by GL.
  void UseCPUMipChains(bool use) { cpuMipChains_ = use; }

  // The GL texture, created and uploaded as needed; null for a format GL cannot hold.
  GLTexture* Prepare(TextureData& texture);

  // Binds the texture (or none) to `unit` with the sampler states of that unit.
  void Bind(int unit, TextureData* texture, const DWORD* samplerStates);

  // Level 0 of a render target was drawn into: its chain must be regenerated before sampling.
  static void MarkDrawn(TextureData& texture);

  // Frees the GL texture; returns its name (0 if it had none) so framebuffers can drop it.
  GLuint Release(TextureData& texture);
  void ReleaseSamplers();

 private:
  void Allocate(const TextureData& texture, GLTexture& gl);
  void Upload(const TextureData& texture, GLTexture& gl);
  void MakeChain(const TextureData& texture, GLTexture& gl);

  bool cpuMipChains_ = false;
  GLuint SamplerFor(const DWORD* samplerStates);

  StateCache& cache_;
  std::map<std::array<DWORD, 5>, GLuint> samplers_;
  std::vector<uint8_t> chainLevels_;  // kept between frames: two levels of a chain being made
};

}  // namespace platform::gl
