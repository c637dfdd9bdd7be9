// Writes the island mesh and its two textures into data/meshes/:
//   island.x   text .x mesh: a 21x21 height grid, sand below 6 units, grass above
//   sand.tga, grass.tga   64x64 24-bit noise textures
// Build and run from the repository root:
//   g++ -std=c++20 -O2 tools/make_island.cpp -o /tmp/make_island && /tmp/make_island
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kGrid = 21;           // vertices per side
constexpr float kHalfSize = 300.0f; // the grid covers x in [-300, 300] and z in [300, 900]
constexpr float kCentreZ = 600.0f;
constexpr float kSandHeight = 6.0f;

// Small deterministic generator so the output is the same on every run.
uint32_t seed = 12345u;
int Noise(int amplitude) {
  seed = seed * 1103515245u + 12345u;
  return static_cast<int>((seed >> 16) % (2 * amplitude + 1)) - amplitude;
}

int Clamp(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

bool WriteTga(const char* path, int r, int g, int b) {
  const int size = 64;
  const uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, size, 0, size, 0, 24, 0x20};
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  std::fwrite(header, 1, sizeof(header), file);
  for (int i = 0; i < size * size; ++i) {
    const int shade = Noise(18);
    const uint8_t pixel[3] = {static_cast<uint8_t>(Clamp(b + shade)), static_cast<uint8_t>(Clamp(g + shade)),
                              static_cast<uint8_t>(Clamp(r + shade))};
    std::fwrite(pixel, 1, 3, file);
  }
  return std::fclose(file) == 0;
}

float Height(float x, float z) {
  const float dx = x / 260.0f, dz = (z - kCentreZ) / 260.0f;
  return -40.0f + 110.0f * std::exp(-2.5f * (dx * dx + dz * dz)) + 6.0f * std::sin(x * 0.05f) * std::cos(z * 0.04f);
}

void WriteMaterial(FILE* file, const char* name, const char* texture) {
  std::fprintf(file,
               "Material %s {\n 1.000000;1.000000;1.000000;1.000000;;\n 0.000000;\n 0.000000;0.000000;0.000000;;\n"
               " 0.000000;0.000000;0.000000;;\n TextureFilename {\n  \"%s\";\n }\n}\n\n",
               name, texture);
}

bool WriteMesh(const char* path) {
  FILE* file = std::fopen(path, "w");
  if (!file) return false;
  std::fprintf(file, "xof 0303txt 0032\n\n");
  WriteMaterial(file, "Sand", "sand.tga");
  WriteMaterial(file, "Grass", "grass.tga");

  std::vector<float> x(kGrid * kGrid), y(kGrid * kGrid), z(kGrid * kGrid);
  for (int j = 0; j < kGrid; ++j) {
    for (int i = 0; i < kGrid; ++i) {
      const int v = j * kGrid + i;
      x[v] = -kHalfSize + 2.0f * kHalfSize * i / (kGrid - 1);
      z[v] = kCentreZ - kHalfSize + 2.0f * kHalfSize * j / (kGrid - 1);
      y[v] = Height(x[v], z[v]);
    }
  }
  // Clockwise seen from above, so the top faces the camera with the default culling.
  std::vector<int> faces;
  for (int j = 0; j + 1 < kGrid; ++j) {
    for (int i = 0; i + 1 < kGrid; ++i) {
      const int v00 = j * kGrid + i, v10 = v00 + 1, v01 = v00 + kGrid, v11 = v01 + 1;
      faces.insert(faces.end(), {v00, v01, v10, v10, v01, v11});
    }
  }
  const int vertexCount = kGrid * kGrid, faceCount = static_cast<int>(faces.size() / 3);

  std::fprintf(file, "Mesh Island {\n %d;\n", vertexCount);
  for (int v = 0; v < vertexCount; ++v) {
    std::fprintf(file, " %.2f;%.2f;%.2f;%c\n", x[v], y[v], z[v], v + 1 < vertexCount ? ',' : ';');
  }
  std::fprintf(file, " %d;\n", faceCount);
  for (int f = 0; f < faceCount; ++f) {
    std::fprintf(file, " 3;%d,%d,%d;%c\n", faces[3 * f], faces[3 * f + 1], faces[3 * f + 2],
                 f + 1 < faceCount ? ',' : ';');
  }
  std::fprintf(file, " MeshTextureCoords {\n  %d;\n", vertexCount);
  for (int v = 0; v < vertexCount; ++v) {
    std::fprintf(file, "  %.4f;%.4f;%c\n", (x[v] + kHalfSize) / (2.0f * kHalfSize),
                 (kCentreZ + kHalfSize - z[v]) / (2.0f * kHalfSize), v + 1 < vertexCount ? ',' : ';');
  }
  std::fprintf(file, " }\n MeshMaterialList {\n  2;\n  %d;\n", faceCount);
  for (int f = 0; f < faceCount; ++f) {
    const float top = (y[faces[3 * f]] + y[faces[3 * f + 1]] + y[faces[3 * f + 2]]) / 3.0f;
    std::fprintf(file, "  %d%c\n", top < kSandHeight ? 0 : 1, f + 1 < faceCount ? ',' : ';');
  }
  std::fprintf(file, "  {Sand}\n  {Grass}\n }\n}\n");
  return std::fclose(file) == 0;
}

}  // namespace

int main() {
  const bool written = WriteTga("data/meshes/sand.tga", 196, 178, 128) &&
                       WriteTga("data/meshes/grass.tga", 74, 122, 52) && WriteMesh("data/meshes/island.x");
  if (!written) std::fprintf(stderr, "make_island: cannot write data/meshes (run from the repository root)\n");
  return written ? 0 : 1;
}
