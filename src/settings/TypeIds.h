// Class type ids returned by GetTypeId and stored in the settings record.
#pragma once

enum HeightmapTypeId { HEIGHTMAP_FFT = 100, HEIGHTMAP_PERLIN = 101 };
enum NormalmapTypeId { NORMALMAP_FFT = 201, NORMALMAP_FD_RAW = 202, NORMALMAP_FD_TEX = 203 };
enum GeometryTypeId { GEOMETRY_SIMPLE = 301, GEOMETRY_RADIAL = 302, GEOMETRY_GEOMIPMAP = 303 };
enum EngineTypeId { ENGINE_SM1 = 401, ENGINE_SM2 = 402, ENGINE_SM3 = 403, ENGINE_FFP = 404 };
