// Draws without an effect: picks (or generates) the shader for the state's
// key, then sets its matrices, clip planes and textures.
#pragma once

#include <map>
#include <memory>

#include "platform/gl/FixedFunctionKey.h"
#include "platform/gl/Program.h"
#include "platform/gl/StateCache.h"
#include "platform/gl/Textures.h"

namespace platform::gl {

class FixedFunction {
 public:
  FixedFunction(StateCache& cache, Textures& textures) : cache_(cache), textures_(textures) {}
  FixedFunction(const FixedFunction&) = delete;
  FixedFunction& operator=(const FixedFunction&) = delete;

  // Makes the program of the state current with its uniforms and textures; false
  // when its shaders do not build.
  bool Apply(const DrawState& state);
  void Release();

 private:
  struct Entry {
    Program program;
    bool built = false;
    GLint world = -1, viewProjection = -1, textureMatrices = -1;
  };
  Entry& EntryFor(const FixedFunctionKey& key);

  StateCache& cache_;
  Textures& textures_;
  std::map<FixedFunctionKey, std::unique_ptr<Entry>> programs_;
};

}  // namespace platform::gl
