// Clears and draws: binds the target, turns the render states into GL state,
// picks the fixed-function or effect program, binds the vertices and draws.
#pragma once

#include <vector>

#include "platform/gl/Buffers.h"
#include "platform/gl/Effects.h"
#include "platform/gl/FixedFunction.h"
#include "platform/gl/StateCache.h"
#include "platform/gl/Targets.h"

namespace platform::gl {

class Renderer {
 public:
  Renderer(StateCache& cache, Targets& targets, Buffers& buffers, FixedFunction& fixedFunction, Effects& effects)
      : cache_(cache), targets_(targets), buffers_(buffers), fixedFunction_(fixedFunction), effects_(effects) {}
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  // Sets the state GL keeps for the whole context.
  void Initialise();

  // Clears the viewport of the state's target and depth surface.
  void Clear(const DrawState& state, DWORD flags, D3DCOLOR color, float z);
  void Draw(const DrawState& state, const DrawCall& call);
  // Glyph quads in target pixels, coloured and alpha-blended, one atlas texel per pixel.

 private:
  bool BindTarget(const DrawState& state);
  void ApplyRenderStates(const DrawState& state);

  StateCache& cache_;
  Targets& targets_;
  Buffers& buffers_;
  FixedFunction& fixedFunction_;
  Effects& effects_;
  GLuint vertexArray_ = 0;
};

}  // namespace platform::gl
