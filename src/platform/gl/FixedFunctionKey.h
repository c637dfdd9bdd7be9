// The states that select a generated fixed-function shader, normalised so that
// equivalent states give equal keys (unused arguments and stages are zero).
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/device/Backend.h"

namespace platform::gl {

struct FixedFunctionStage {
  uint8_t colorOp, colorArg1, colorArg2;
  uint8_t alphaOp, alphaArg1, alphaArg2;
  uint8_t texcoordIndex;   // 0..3
  uint8_t transformCount;  // D3DTTFF_COUNTn, 0 without a texture transform
  uint8_t projected;
  uint8_t textured;        // a texture is bound (else texture arguments read white)
};

struct FixedFunctionKey {
  uint8_t pretransformed;
  uint8_t alphaTest;   // the alpha test can reject fragments
  uint8_t stageCount;  // stages before the first disabled one
  FixedFunctionStage stages[kMaxStages];

  bool operator<(const FixedFunctionKey& other) const { return std::memcmp(this, &other, sizeof(*this)) < 0; }
  bool operator==(const FixedFunctionKey& other) const { return std::memcmp(this, &other, sizeof(*this)) == 0; }
};

FixedFunctionKey MakeFixedFunctionKey(const DrawState& state);

// Whether a stage reads its texture in its colour or alpha operation.
bool ReadsTexture(const FixedFunctionStage& stage);

}  // namespace platform::gl
