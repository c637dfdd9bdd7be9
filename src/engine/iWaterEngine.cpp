#include "engine/iWaterEngine.h"

#include <cfloat>
#include <cmath>

namespace {

float Clamp01(float value) {
  if (!(value > 0.0f)) return 0.0f;
  return value < 1.0f ? value : 1.0f;
}

}  // namespace

float ColorChannel(D3DCOLOR color, int shift) { return static_cast<float>((color >> shift) & 0xFFu) / 255.0f; }

float SquareWithinFloat(float x) {
  const double square = static_cast<double>(x) * x;
  // NaN as well: a stored NaN would be saved as "nan".
  return square <= FLT_MAX ? static_cast<float>(square) : FLT_MAX;
}

iWaterEngine::iWaterEngine()
    : remapMatrix_(0.5f, 0.0f, 0.0f, 0.0f, 0.0f, -0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.5f, 0.5f, 0.0f, 1.0f) {
  SetReflectionColor(DEFAULT_REFLECTION_COLOR);
}

void iWaterEngine::SetFullReflectionDistance(float distance) {
  fullReflectionDistanceSquared_ = SquareWithinFloat(distance);
}

void iWaterEngine::SetGlobalTransparency(float transparency) { globalTransparency_ = Clamp01(transparency); }

void iWaterEngine::SetReflectionColor(D3DCOLOR color) {
  reflectionColor_ =
      D3DXVECTOR4(ColorChannel(color, 16), ColorChannel(color, 8), ColorChannel(color, 0), ColorChannel(color, 24));
}

void iWaterEngine::SetRefractionColor(float r, float g, float b) {
  refractionColor_ = D3DXVECTOR3(Clamp01(r), Clamp01(g), Clamp01(b));
}

void iWaterEngine::FillCommonSettings(cEngineSettings* settings) const {
  settings->engineType = GetTypeId();
  settings->enableReflection = reflectionTexture_ != nullptr;
  settings->enableRefraction = refractionTexture_ != nullptr;
  settings->engineReflectionStrength = reflectionStrength_;
  settings->engineFullReflectionDistance = std::sqrt(fullReflectionDistanceSquared_);
  settings->engineGlobalTransparency = globalTransparency_;
  settings->engineReflectionColorR = reflectionColor_.x;
  settings->engineReflectionColorG = reflectionColor_.y;
  settings->engineReflectionColorB = reflectionColor_.z;
  settings->enableDepthEffects = false;
  settings->enableFoam = false;
  settings->enableSunlight = false;
  settings->enableGPUExtrusion = false;
}

void iWaterEngine::TakeCommonValues(float reflectionStrength, float fullReflectionDistance, float globalTransparency) {
  SetFullReflectionDistance(fullReflectionDistance);
  SetGlobalTransparency(globalTransparency);
  SetReflectionStrength(reflectionStrength);
  initialised_ = true;
}
