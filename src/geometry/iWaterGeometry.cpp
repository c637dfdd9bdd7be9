#include "geometry/iWaterGeometry.h"

void FillGeometrySettings(cEngineSettings* settings, int typeId, const D3DXVECTOR3& origin, bool extruded,
                          float strength, const D3DXVECTOR2& extrusionUVScale, const D3DXVECTOR2& defaultUVScale) {
  settings->geometryType = typeId;
  settings->geometryOriginX = origin.x;
  settings->geometryOriginY = origin.y;
  settings->geometryOriginZ = origin.z;
  settings->extrudeGeometry = extruded;
  settings->geometryExtrusionStrength = strength;
  settings->geometryExtrusionUVScaleX = extrusionUVScale.x;
  settings->geometryExtrusionUVScaleY = extrusionUVScale.y;
  settings->geometryDefaultUVScaleX = defaultUVScale.x;
  settings->geometryDefaultUVScaleY = defaultUVScale.y;
}
