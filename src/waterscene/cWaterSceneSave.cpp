// Writing the water scene as a text file of "[key]=value" lines.
#include <cstring>
#include <initializer_list>
#include <string>

#include "waterscene/SaveFileText.h"
#include "settings/TypeIds.h"
#include "base/WriteFileSafely.h"
#include "waterscene/cWaterScene.h"
#include "engine/iWaterEngine.h"
#include "geometry/cGeomipmapGrid.h"
#include "geometry/iWaterGeometry.h"
#include "heightmap/iHeightmap.h"
#include "normalmap/iNormalmap.h"

namespace {

using Keys = std::initializer_list<const char*>;

template <class T>
T ReadField(const cEngineSettings& settings, size_t offset) {
  T value;
  std::memcpy(&value, reinterpret_cast<const char*>(&settings) + offset, sizeof value);
  return value;
}

// The text of a save file as it is built, one "[key]=value" line after another.
class cSaveText {
 public:
  explicit cSaveText(const cEngineSettings& settings) : settings_(settings) {}

  // "[key]=word"; an unknown type writes an empty word, which loads as nothing.
  void TypeLine(const char* key, SettingKind kind, int id) {
    const char* word = TypeWord(kind, id);
    Line(key);
    text_ += word ? word : "";
    text_ += "\r\n";
  }

  // The lines of `keys` with the record's values, each in the format of its kind.
  void FieldLines(Keys keys) {
    for (const char* key : keys) {
      const SettingKey* entry = FindSettingKey(key);
      if (!entry) continue;
      Line(key);
      if (entry->kind == SettingKind::Float) {
        AppendSaveFloat(&text_, ReadField<float>(settings_, entry->offset));
      } else if (entry->kind == SettingKind::Bool) {
        AppendSaveInt(&text_, ReadField<unsigned char>(settings_, entry->offset) != 0 ? 1 : 0);
      } else {
        AppendSaveInt(&text_, ReadField<int>(settings_, entry->offset));
      }
      text_ += "\r\n";
    }
  }

  const std::string& Text() const { return text_; }

 private:
  void Line(const char* key) {
    text_ += '[';
    text_ += key;
    text_ += "]=";
  }

  const cEngineSettings& settings_;
  std::string text_;
};

const Keys kFFTHeightmapKeys = {"integer heightmap texture format", "heightmap resolution", "heightmap grid size",
                                "fft heightmap amplitude", "fft heightmap normalization factor",
                                "fft heightmap smoothnes", "wind .x", "wind .z"};
const Keys kPerlinHeightmapKeys = {"integer heightmap texture format", "heightmap resolution", "heightmap grid size",
                                   "perlin heightmap persistence", "perlin octave count", "perlin squared height"};
const Keys kFDNormalmapKeys = {"fd normalmap amplitude", "fd normalmap generation method"};
const Keys kSimpleGridKeys = {"simple grid size .x", "simple grid size .z", "simple grid tesselation .x",
                              "simple grid tesselation .z"};
const Keys kRadialGridKeys = {"radial grid radius offset scale", "radial grid first level offset",
                              "radial grid first radius", "radial grid height fallof distance",
                              "radial grid max grid radius", "radial grid resolution"};
const Keys kGeomipmapGridKeys = {"geomipmap grid height fallof distance", "geomipmap grid last level fallof distance",
                                 "geomipmap grid level 0 tesselation", "geomipmap grid size .x",
                                 "geomipmap grid size .z", "geomipmap grid x axes patch count",
                                 "geomipmap grid z axes patch count"};
const Keys kGeometryKeys = {"extrude geometry", "geometry extrusion strength", "geometry uv scale on extrusion .x",
                            "geometry uv scale on extrusion .y", "geometry default uv scale .x",
                            "geometry default uv scale .y", "geometry origin .x", "geometry origin .y",
                            "geometry origin .z"};

const Keys kFoamKeys = {"enable foam rendering", "foam start height", "foam scale", "foam tiling",
                        "foam distortion", "foam translation", "max foam distance"};
const Keys kSunlightKeys = {"enable sunlight reflection", "sunlight color .r", "sunlight color .g",
                            "sunlight color .b", "sunlight area", "sunlight power", "sunlight position .x",
                            "sunlight position .y", "sunlight position .z"};
const Keys kDepthKeys = {"enable depth effects", "depth texture resolution", "depth plane height", "depth limit",
                         "depth clip plane height", "shore transparency", "shore foam scale"};
const Keys kGPUExtrusionKeys = {"enable GPU vertex extrusion", "GPU vertex extrusion strength",
                                "GPU vertex UV scale on extrusion .x", "GPU vertex UV scale on extrusion .y",
                                "GPU vertex height fallof distance"};
const Keys kEngineKeys = {"enable reflection", "reflection resolution", "reflection plane height",
                          "reflection clip plane height", "enable refraction", "refraction resolution",
                          "refraction clip plane height", "engine reflection strength",
                          "engine full reflection distance", "engine global transparency",
                          "engine reflection diffuse color .r", "engine reflection diffuse color .g",
                          "engine reflection diffuse color .b", "engine refraction diffuse color .r",
                          "engine refraction diffuse color .g", "engine refraction diffuse color .b"};

bool HasData(const iNormalmap& normalmap) {
  if (normalmap.GetTypeId() == NORMALMAP_FD_TEX) return normalmap.GetTexture() != nullptr;
  return normalmap.GetNormals() != nullptr;
}

bool IsBuilt(const iWaterGeometry& geometry) {
  if (const auto* grid = dynamic_cast<const cGeomipmapGrid*>(&geometry)) return !grid->GetPatches().empty();
  return geometry.GetVertexBuffer() != nullptr;
}

void WriteHeightmapBlock(iHeightmap* heightmap, cEngineSettings* settings, cSaveText* text) {
  if (!heightmap || !heightmap->GetHeights()) return;
  heightmap->FillSettings(settings);
  const int type = heightmap->GetTypeId();
  text->TypeLine("heightmap type", SettingKind::HeightmapType, type);
  text->FieldLines(type == HEIGHTMAP_FFT ? kFFTHeightmapKeys : kPerlinHeightmapKeys);
  text->FieldLines({"heightmap update coef"});
}

void WriteNormalmapBlock(iNormalmap* normalmap, cEngineSettings* settings, cSaveText* text) {
  if (!normalmap || !HasData(*normalmap)) return;
  normalmap->FillSettings(settings);
  const int type = normalmap->GetTypeId();
  text->TypeLine("normalmap type", SettingKind::NormalmapType, type);
  if (type == NORMALMAP_FD_RAW || type == NORMALMAP_FD_TEX) text->FieldLines(kFDNormalmapKeys);
}

void WriteGeometryBlock(iWaterGeometry* geometry, cEngineSettings* settings, cSaveText* text) {
  if (!geometry || !IsBuilt(*geometry)) return;
  geometry->FillSettings(settings);
  const int type = geometry->GetTypeId();
  text->TypeLine("geometry type", SettingKind::GeometryType, type);
  if (type == GEOMETRY_SIMPLE) text->FieldLines(kSimpleGridKeys);
  if (type == GEOMETRY_RADIAL) text->FieldLines(kRadialGridKeys);
  if (type == GEOMETRY_GEOMIPMAP) text->FieldLines(kGeomipmapGridKeys);
  text->FieldLines(kGeometryKeys);
}

// The passes that have a target copy their settings in even when the engine is
// not initialised; the engine block itself needs an initialised engine.
void WriteEngineBlock(cWaterScene* scene, cSaveText* text) {
  if (!scene->engine) return;
  cEngineSettings& settings = scene->settings;
  if (scene->reflectionTarget.GetTexture()) scene->reflectionTarget.FillSettings(settings);
  if (scene->refractionTarget.GetTexture()) scene->refractionTarget.FillSettings(settings);
  if (scene->depthTarget.GetTexture()) scene->depthTarget.FillSettings(settings);
  if (!scene->engine->IsInitialised()) return;
  scene->engine->FillSettings(&settings);
  const int type = scene->engine->GetTypeId();
  text->TypeLine("engine type", SettingKind::EngineType, type);
  if (type == ENGINE_SM1 || type == ENGINE_SM2 || type == ENGINE_SM3) text->FieldLines(kFoamKeys);
  if (type == ENGINE_SM2 || type == ENGINE_SM3) {
    text->FieldLines(kSunlightKeys);
    text->FieldLines(kDepthKeys);
  }
  if (type == ENGINE_SM3) text->FieldLines(kGPUExtrusionKeys);
  text->FieldLines(kEngineKeys);
}

}  // namespace

bool cWaterScene::Save(const char* path) {
  if (!heightmap && !normalmap && !geometry && !engine) return true;
  cSaveText text(settings);
  WriteHeightmapBlock(heightmap, &settings, &text);
  WriteNormalmapBlock(normalmap, &settings, &text);
  WriteGeometryBlock(geometry, &settings, &text);
  text.TypeLine("working environment", SettingKind::EngineType, workingEnvironment);
  WriteEngineBlock(this, &text);
  return WriteFileSafely(path, text.Text());
}

