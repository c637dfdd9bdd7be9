#include "platform/gl/Textures.h"

#include "platform/PassTiming.h"
#include "platform/gl/GLCheck.h"
#include "platform/gl/MipChain.h"

namespace platform::gl {
namespace {

GLint FullChain(UINT width, UINT height) {
  GLint levels = 1;
  for (UINT size = width > height ? width : height; size > 1; size >>= 1) ++levels;
  return levels;
}

GLint AddressMode(DWORD mode) {
  switch (mode) {
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    case D3DTADDRESS_MIRROR:
    case D3DTADDRESS_MIRRORONCE: return GL_MIRRORED_REPEAT;
    default: return GL_REPEAT;
  }
}

GLint MinFilter(DWORD min, DWORD mip) {
  const bool linear = min == D3DTEXF_LINEAR || min == D3DTEXF_ANISOTROPIC;
  switch (mip) {
    case D3DTEXF_POINT: return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    case D3DTEXF_LINEAR:
    case D3DTEXF_ANISOTROPIC: return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    default: return linear ? GL_LINEAR : GL_NEAREST;
  }
}

GLint MagFilter(DWORD mag) { return mag == D3DTEXF_LINEAR || mag == D3DTEXF_ANISOTROPIC ? GL_LINEAR : GL_NEAREST; }

const void* LevelBytes(const TextureData& texture, UINT level) {
  if (level >= texture.memory.size()) return nullptr;
  const auto& bytes = texture.memory[level];
  const size_t needed = static_cast<size_t>(texture.Pitch(level)) * texture.LevelHeight(level);
  return bytes.size() >= needed ? bytes.data() : nullptr;
}

}  // namespace

GLTexture* Textures::Prepare(TextureData& texture) {
  auto* gl = static_cast<GLTexture*>(texture.gpu);
  if (!gl) {
    const TextureFormat format = TextureFormatOf(texture.format);
    if (format.internalFormat == 0 || texture.width == 0 || texture.height == 0) return nullptr;
    gl = new GLTexture;
    gl->format = format;
    gl->automaticMips = (texture.usage & D3DUSAGE_AUTOGENMIPMAP) != 0;
    gl->levels = gl->automaticMips ? FullChain(texture.width, texture.height) : static_cast<GLint>(texture.levels);
    texture.gpu = gl;
    Allocate(texture, *gl);
    texture.dirty = !texture.memory.empty();
  }
  if (texture.dirty) {
    Upload(texture, *gl);
    texture.dirty = false;
    texture.dirtyLevels.clear();
  }
  return gl;
}

void Textures::Allocate(const TextureData& texture, GLTexture& gl) {
  GL_CHECK(glGenTextures(1, &gl.name));
  cache_.BindForWork(gl.name);
  for (GLint level = 0; level < gl.levels; ++level) {
    GL_CHECK(glTexImage2D(GL_TEXTURE_2D, level, gl.format.internalFormat, texture.LevelWidth(level),
                          texture.LevelHeight(level), 0, gl.format.format, gl.format.type, nullptr));
  }
  GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, gl.levels - 1));
  GL_CHECK(glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, gl.format.swizzle));
}

void Textures::Upload(const TextureData& texture, GLTexture& gl) {
  const PassScope scope("uploads");
  cache_.BindForWork(gl.name);
  const UINT levels = gl.automaticMips ? 1 : texture.levels;
  for (UINT level = 0; level < levels; ++level) {
    const bool stale = texture.dirtyLevels.empty() || (level < texture.dirtyLevels.size() && texture.dirtyLevels[level]);
    if (!stale) continue;
    if (const void* bytes = LevelBytes(texture, level)) {
      GL_CHECK(glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, texture.LevelWidth(level), texture.LevelHeight(level),
                               gl.format.format, gl.format.type, bytes));
    }
  }
  // The chain is made when a sampler first reads it with mip filtering.
  gl.mipsStale = gl.automaticMips;
  gl.chainOnCPU =
      cpuMipChains_ && LevelBytes(texture, 0) && BuildsMipChain(texture.format, texture.width, texture.height);
}

// From the CPU copy of level 0 where the CPU filter covers the format, else by GL.
void Textures::MakeChain(const TextureData& texture, GLTexture& gl) {
  const PassScope scope("mipmaps");
  cache_.BindForWork(gl.name);
  gl.mipsStale = false;
  const auto* top = static_cast<const uint8_t*>(LevelBytes(texture, 0));
  if (!gl.chainOnCPU || !top) {
    GL_CHECK(glGenerateMipmap(GL_TEXTURE_2D));
    return;
  }
  // Level 1 at the front, level 2 behind it; each later level overwrites the one before the last.
  const size_t levelOne = static_cast<size_t>(texture.Pitch(1)) * texture.LevelHeight(1);
  chainLevels_.resize(levelOne + levelOne / 4);
  uint8_t* halves[2] = {chainLevels_.data(), chainLevels_.data() + levelOne};
  const uint8_t* source = top;
  for (GLint level = 1; level < gl.levels; ++level) {
    uint8_t* target = halves[(level - 1) % 2];
    HalveLevel(texture.format, source, texture.LevelWidth(level - 1), target);
    GL_CHECK(glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, texture.LevelWidth(level), texture.LevelHeight(level),
                             gl.format.format, gl.format.type, target));
    source = target;
  }
}

void Textures::Bind(int unit, TextureData* texture, const DWORD* samplerStates) {
  GLTexture* gl = texture ? Prepare(*texture) : nullptr;
  if (!gl) {
    cache_.BindTexture(unit, 0);
    return;
  }
  cache_.BindTexture(unit, gl->name);
  if (gl->automaticMips && gl->mipsStale && samplerStates[D3DSAMP_MIPFILTER] != D3DTEXF_NONE) {
    MakeChain(*texture, *gl);
  }
  cache_.BindSampler(unit, SamplerFor(samplerStates));
}

void Textures::MarkDrawn(TextureData& texture) {
  auto* gl = static_cast<GLTexture*>(texture.gpu);
  if (!gl) return;
  gl->mipsStale = gl->automaticMips;
  gl->chainOnCPU = false;
}

GLuint Textures::SamplerFor(const DWORD* states) {
  const std::array<DWORD, 5> key = {states[D3DSAMP_ADDRESSU], states[D3DSAMP_ADDRESSV], states[D3DSAMP_MINFILTER],
                                    states[D3DSAMP_MAGFILTER], states[D3DSAMP_MIPFILTER]};
  auto found = samplers_.find(key);
  if (found != samplers_.end()) return found->second;
  GLuint sampler = 0;
  GL_CHECK(glGenSamplers(1, &sampler));
  GL_CHECK(glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, AddressMode(key[0])));
  GL_CHECK(glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, AddressMode(key[1])));
  GL_CHECK(glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, MinFilter(key[2], key[4])));
  GL_CHECK(glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, MagFilter(key[3])));
  samplers_.emplace(key, sampler);
  return sampler;
}

GLuint Textures::Release(TextureData& texture) {
  auto* gl = static_cast<GLTexture*>(texture.gpu);
  if (!gl) return 0;
  const GLuint name = gl->name;
  GL_CHECK(glDeleteTextures(1, &name));
  delete gl;
  texture.gpu = nullptr;
  texture.dirty = true;
  texture.dirtyLevels.clear();
  return name;
}

void Textures::ReleaseSamplers() {
  for (const auto& [key, sampler] : samplers_) GL_CHECK(glDeleteSamplers(1, &sampler));
  samplers_.clear();
}

}  // namespace platform::gl
