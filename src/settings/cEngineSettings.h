// Every tunable parameter of the current engine and its components. Components
// copy their parameters in (FillSettings), the save file is written from it and
// read back into it, and the menus are refreshed from it after a load.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

struct cEngineSettings {
  int heightmapType;
  int normalmapType;
  int geometryType;
  int engineType;

  bool integerHeightmapTextureFormat;
  int heightmapResolution;
  int heightmapGridSize;
  float heightmapUpdateCoef;
  int perlinOctaveCount;
  bool perlinSquaredHeight;
  float perlinPersistence;
  float windX;
  float windZ;
  float fftAmplitude;
  float fftNormalizationFactor;
  float fftSmoothness;

  int fdNormalmapMethod;
  float fdNormalmapAmplitude;

  bool extrudeGeometry;
  float geometryExtrusionStrength;
  float geometryExtrusionUVScaleX;
  float geometryExtrusionUVScaleY;
  float geometryDefaultUVScaleX;
  float geometryDefaultUVScaleY;
  float geometryOriginX;
  float geometryOriginY;
  float geometryOriginZ;
  float radialMaxRadius;
  int radialResolution;
  float radialFirstRadius;
  float radialRadiusOffsetScale;
  float radialFirstLevelOffset;
  float radialHeightFalloffDistance;
  float simpleGridSizeX;
  float simpleGridSizeZ;
  int simpleGridTessellationX;
  int simpleGridTessellationZ;
  float geomipmapSizeX;
  float geomipmapSizeZ;
  int geomipmapPatchCountX;
  int geomipmapPatchCountZ;
  float geomipmapLastLevelFalloffDistance;
  float geomipmapHeightFalloffDistance;
  int geomipmapLevel0Tessellation;

  bool enableReflection;
  int reflectionResolution;
  float reflectionPlaneHeight;
  float reflectionClipPlaneHeight;
  bool enableRefraction;
  int refractionResolution;
  float refractionClipPlaneHeight;
  bool enableDepthEffects;
  int depthTextureResolution;
  float depthPlaneHeight;
  float depthClipPlaneHeight;
  float depthLimit;
  float shoreTransparency;
  float shoreFoamScale;

  float engineReflectionStrength;
  float engineFullReflectionDistance;
  float engineGlobalTransparency;
  float engineReflectionColorR;
  float engineReflectionColorG;
  float engineReflectionColorB;
  float engineRefractionColorR;
  float engineRefractionColorG;
  float engineRefractionColorB;

  bool enableFoam;
  float foamStartHeight;
  float foamScale;
  float foamTiling;
  float foamDistortion;
  float foamTranslation;
  float maxFoamDistance;

  bool enableSunlight;
  float sunlightColorR;
  float sunlightColorG;
  float sunlightColorB;
  float sunlightArea;
  float sunlightPower;
  float sunlightPositionX;
  float sunlightPositionY;
  float sunlightPositionZ;

  bool enableGPUExtrusion;
  float gpuHeightFalloffDistance;
  float gpuExtrusionStrength;
  float gpuExtrusionUVScaleX;
  float gpuExtrusionUVScaleY;
};

// One save-file key of the record. Type keys hold a type word in the file.
enum class SettingKind { Int, Float, Bool, HeightmapType, NormalmapType, GeometryType, EngineType };

struct SettingKey {
  const char* key;
  SettingKind kind;
  size_t offset;
};

// Every key of the record, in field order.
std::span<const SettingKey> EngineSettingKeys();

// The key that matches `key` ignoring ASCII case, or null. Every byte counts:
// a key with an embedded NUL or a trailing blank matches nothing.
const SettingKey* FindSettingKey(std::string_view key);

// Type words of the file: "fft", "perlin", "fdraw", ... and back; 0 for an unknown word.
const char* TypeWord(SettingKind kind, int id);
int TypeIdFromWord(SettingKind kind, std::string_view word);

// ASCII letters compared without case, every other byte exactly.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
