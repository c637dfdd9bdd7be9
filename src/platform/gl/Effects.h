// Draws under an effect pass: compiles each technique and pass of an effect
// file once, then uploads the binding's parameter values by name and binds its
// samplers to texture units in file order.
#pragma once

#include <vector>

#include "platform/gl/Program.h"
#include "platform/gl/StateCache.h"
#include "platform/gl/Textures.h"

namespace platform::gl {

class Effects {
 public:
  Effects(StateCache& cache, Textures& textures) : cache_(cache), textures_(textures) {}
  Effects(const Effects&) = delete;
  Effects& operator=(const Effects&) = delete;

  // Makes the binding's pass program current with its values; false when the
  // pass does not compile (reported once) or the binding names no pass.
  bool Apply(const DrawState& state);
  void Release(EffectProgram& effect);
  // Builds every technique and pass not built yet; the failures' messages go to `errors`.
  bool Compile(EffectProgram& effect, std::string& errors);

 private:
  struct Pass {
    Program program;
    bool built = false;
    std::vector<GLint> locations;  // parallel to the effect's parameters
    std::vector<int> units;        // texture unit of each sampler parameter, -1 otherwise
  };
  Pass* PassFor(const EffectBinding& binding, bool alphaTest);
  void Build(const EffectProgram& effect, UINT technique, bool alphaTest, Pass& pass);
  void Upload(const DrawState& state, Pass& pass);

  StateCache& cache_;
  Textures& textures_;
};

}  // namespace platform::gl
