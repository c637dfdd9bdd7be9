#include "settings/cEngineSettings.h"

#include "settings/TypeIds.h"

namespace {

#define SETTING(key, kind, field) SettingKey{key, SettingKind::kind, offsetof(cEngineSettings, field)}

const SettingKey kKeys[] = {
    SETTING("heightmap type", HeightmapType, heightmapType),
    SETTING("normalmap type", NormalmapType, normalmapType),
    SETTING("geometry type", GeometryType, geometryType),
    SETTING("engine type", EngineType, engineType),
    SETTING("integer heightmap texture format", Bool, integerHeightmapTextureFormat),
    SETTING("heightmap resolution", Int, heightmapResolution),
    SETTING("heightmap grid size", Int, heightmapGridSize),
    SETTING("heightmap update coef", Float, heightmapUpdateCoef),
    SETTING("perlin octave count", Int, perlinOctaveCount),
    SETTING("perlin squared height", Bool, perlinSquaredHeight),
    SETTING("perlin heightmap persistence", Float, perlinPersistence),
    SETTING("wind .x", Float, windX),
    SETTING("wind .z", Float, windZ),
    SETTING("fft heightmap amplitude", Float, fftAmplitude),
    SETTING("fft heightmap normalization factor", Float, fftNormalizationFactor),
    SETTING("fft heightmap smoothnes", Float, fftSmoothness),
    SETTING("fd normalmap generation method", Int, fdNormalmapMethod),
    SETTING("fd normalmap amplitude", Float, fdNormalmapAmplitude),
    SETTING("extrude geometry", Bool, extrudeGeometry),
    SETTING("geometry extrusion strength", Float, geometryExtrusionStrength),
    SETTING("geometry uv scale on extrusion .x", Float, geometryExtrusionUVScaleX),
    SETTING("geometry uv scale on extrusion .y", Float, geometryExtrusionUVScaleY),
    SETTING("geometry default uv scale .x", Float, geometryDefaultUVScaleX),
    SETTING("geometry default uv scale .y", Float, geometryDefaultUVScaleY),
    SETTING("geometry origin .x", Float, geometryOriginX),
    SETTING("geometry origin .y", Float, geometryOriginY),
    SETTING("geometry origin .z", Float, geometryOriginZ),
    SETTING("radial grid max grid radius", Float, radialMaxRadius),
    SETTING("radial grid resolution", Int, radialResolution),
    SETTING("radial grid first radius", Float, radialFirstRadius),
    SETTING("radial grid radius offset scale", Float, radialRadiusOffsetScale),
    SETTING("radial grid first level offset", Float, radialFirstLevelOffset),
    SETTING("radial grid height fallof distance", Float, radialHeightFalloffDistance),
    SETTING("simple grid size .x", Float, simpleGridSizeX),
    SETTING("simple grid size .z", Float, simpleGridSizeZ),
    SETTING("simple grid tesselation .x", Int, simpleGridTessellationX),
    SETTING("simple grid tesselation .z", Int, simpleGridTessellationZ),
    SETTING("geomipmap grid size .x", Float, geomipmapSizeX),
    SETTING("geomipmap grid size .z", Float, geomipmapSizeZ),
    SETTING("geomipmap grid x axes patch count", Int, geomipmapPatchCountX),
    SETTING("geomipmap grid z axes patch count", Int, geomipmapPatchCountZ),
    SETTING("geomipmap grid last level fallof distance", Float, geomipmapLastLevelFalloffDistance),
    SETTING("geomipmap grid height fallof distance", Float, geomipmapHeightFalloffDistance),
    SETTING("geomipmap grid level 0 tesselation", Int, geomipmapLevel0Tessellation),
    SETTING("enable reflection", Bool, enableReflection),
    SETTING("reflection resolution", Int, reflectionResolution),
    SETTING("reflection plane height", Float, reflectionPlaneHeight),
    SETTING("reflection clip plane height", Float, reflectionClipPlaneHeight),
    SETTING("enable refraction", Bool, enableRefraction),
    SETTING("refraction resolution", Int, refractionResolution),
    SETTING("refraction clip plane height", Float, refractionClipPlaneHeight),
    SETTING("enable depth effects", Bool, enableDepthEffects),
    SETTING("depth texture resolution", Int, depthTextureResolution),
    SETTING("depth plane height", Float, depthPlaneHeight),
    SETTING("depth clip plane height", Float, depthClipPlaneHeight),
    SETTING("depth limit", Float, depthLimit),
    SETTING("shore transparency", Float, shoreTransparency),
    SETTING("shore foam scale", Float, shoreFoamScale),
    SETTING("engine reflection strength", Float, engineReflectionStrength),
    SETTING("engine full reflection distance", Float, engineFullReflectionDistance),
    SETTING("engine global transparency", Float, engineGlobalTransparency),
    SETTING("engine reflection diffuse color .r", Float, engineReflectionColorR),
    SETTING("engine reflection diffuse color .g", Float, engineReflectionColorG),
    SETTING("engine reflection diffuse color .b", Float, engineReflectionColorB),
    SETTING("engine refraction diffuse color .r", Float, engineRefractionColorR),
    SETTING("engine refraction diffuse color .g", Float, engineRefractionColorG),
    SETTING("engine refraction diffuse color .b", Float, engineRefractionColorB),
    SETTING("enable foam rendering", Bool, enableFoam),
    SETTING("foam start height", Float, foamStartHeight),
    SETTING("foam scale", Float, foamScale),
    SETTING("foam tiling", Float, foamTiling),
    SETTING("foam distortion", Float, foamDistortion),
    SETTING("foam translation", Float, foamTranslation),
    SETTING("max foam distance", Float, maxFoamDistance),
    SETTING("enable sunlight reflection", Bool, enableSunlight),
    SETTING("sunlight color .r", Float, sunlightColorR),
    SETTING("sunlight color .g", Float, sunlightColorG),
    SETTING("sunlight color .b", Float, sunlightColorB),
    SETTING("sunlight area", Float, sunlightArea),
    SETTING("sunlight power", Float, sunlightPower),
    SETTING("sunlight position .x", Float, sunlightPositionX),
    SETTING("sunlight position .y", Float, sunlightPositionY),
    SETTING("sunlight position .z", Float, sunlightPositionZ),
    SETTING("enable GPU vertex extrusion", Bool, enableGPUExtrusion),
    SETTING("GPU vertex height fallof distance", Float, gpuHeightFalloffDistance),
    SETTING("GPU vertex extrusion strength", Float, gpuExtrusionStrength),
    SETTING("GPU vertex UV scale on extrusion .x", Float, gpuExtrusionUVScaleX),
    SETTING("GPU vertex UV scale on extrusion .y", Float, gpuExtrusionUVScaleY),
};

#undef SETTING

struct TypeWordEntry {
  SettingKind kind;
  int id;
  const char* word;
};

const TypeWordEntry kTypeWords[] = {
    {SettingKind::HeightmapType, HEIGHTMAP_FFT, "fft"},
    {SettingKind::HeightmapType, HEIGHTMAP_PERLIN, "perlin"},
    {SettingKind::NormalmapType, NORMALMAP_FFT, "fft"},
    {SettingKind::NormalmapType, NORMALMAP_FD_RAW, "fdraw"},
    {SettingKind::NormalmapType, NORMALMAP_FD_TEX, "fdtex"},
    {SettingKind::GeometryType, GEOMETRY_SIMPLE, "simple"},
    {SettingKind::GeometryType, GEOMETRY_RADIAL, "radial"},
    {SettingKind::GeometryType, GEOMETRY_GEOMIPMAP, "geomipmap"},
    {SettingKind::EngineType, ENGINE_FFP, "ffp"},
    {SettingKind::EngineType, ENGINE_SM1, "sm1"},
    {SettingKind::EngineType, ENGINE_SM2, "sm2"},
    {SettingKind::EngineType, ENGINE_SM3, "sm3"},
};

// Not tolower: the process locale must not change which keys match.
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::span<const SettingKey> EngineSettingKeys() { return kKeys; }

const SettingKey* FindSettingKey(std::string_view key) {
  for (const SettingKey& entry : kKeys) {
    if (EqualsIgnoringCase(entry.key, key)) return &entry;
  }
  return nullptr;
}

const char* TypeWord(SettingKind kind, int id) {
  for (const TypeWordEntry& entry : kTypeWords) {
    if (entry.kind == kind && entry.id == id) return entry.word;
  }
  return nullptr;
}

int TypeIdFromWord(SettingKind kind, std::string_view word) {
  for (const TypeWordEntry& entry : kTypeWords) {
    if (entry.kind == kind && EqualsIgnoringCase(entry.word, word)) return entry.id;
  }
  return 0;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}
