// Writes the images of the GUI widgets into data/gui/ as 32-bit TGA files with
// alpha: labelled dialog buttons (ok, cancel, apply, create) in four states
// (the fourth greyed, for a disabled button), the close button in three, the
// checkbox, the combobox parts, the two edit-box backgrounds with their legend
// swatches, and the window background; the
// engine selection screen (title, engine, quit and BUY buttons), the toolbar's
// icon buttons, the engine icons, the warning mark and the wireframe colour;
// and the engine descriptions, data/engineDescription.txt.
// Build and run from the repository root:
//   g++ -std=c++20 -O2 tools/make_gui_images.cpp -isystem /usr/include/stb $(pkg-config --cflags --libs freetype2)
//     -o /tmp/make_gui_images && /tmp/make_gui_images
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

namespace {

const char* kOutput = "data/gui/";
const char* kLabelFont = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf";

struct Color {
  float r, g, b, a;
};

Color Mix(Color a, Color b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Color Rgb(int r, int g, int b, float a = 1.0f) { return {r / 255.0f, g / 255.0f, b / 255.0f, a}; }

// Straight-alpha RGBA canvas, row 0 at the top.
class Image {
 public:
  Image(int width, int height) : width_(width), height_(height), pixels_(width * height, Color{0, 0, 0, 0}) {}
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Source-over with the colour's alpha scaled by coverage.
  void Blend(int x, int y, Color c, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0.0f) return;
    Color& d = pixels_[y * width_ + x];
    const float a = c.a * std::min(coverage, 1.0f);
    const float out = a + d.a * (1.0f - a);
    if (out <= 0.0f) return;
    auto channel = [&](float s, float t) { return (s * a + t * d.a * (1.0f - a)) / out; };
    d = {channel(c.r, d.r), channel(c.g, d.g), channel(c.b, d.b), out};
  }

  // Fills by a signed distance (negative inside), anti-aliased over one pixel;
  // the colour may vary with the pixel's row.
  void Fill(const std::function<float(float, float)>& distance, const std::function<Color(float)>& colorAtRow) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        const float coverage = std::clamp(0.5f - distance(x + 0.5f, y + 0.5f), 0.0f, 1.0f);
        Blend(x, y, colorAtRow((y + 0.5f) / height_), coverage);
      }
  }

  bool Save(const std::string& name) const {
    std::vector<unsigned char> bytes;
    bytes.reserve(pixels_.size() * 4);
    for (const Color& c : pixels_)
      for (float v : {c.r, c.g, c.b, c.a})
        bytes.push_back(static_cast<unsigned char>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)));
    const std::string path = kOutput + name + ".tga";
    const bool ok = stbi_write_tga(path.c_str(), width_, height_, 4, bytes.data()) != 0;
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.c_str());
    return ok;
  }

 private:
  int width_, height_;
  std::vector<Color> pixels_;
};

// Signed distance to a rounded rectangle inset by `inset` pixels from the image edges.
std::function<float(float, float)> RoundRect(const Image& image, float inset, float radius) {
  const float cx = image.Width() * 0.5f, cy = image.Height() * 0.5f;
  const float hx = cx - inset - radius, hy = cy - inset - radius;
  return [=](float x, float y) {
    const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
  };
}

// Distance to a polyline drawn `width` pixels wide.
std::function<float(float, float)> Stroke(std::vector<std::pair<float, float>> points, float width) {
  return [=](float x, float y) {
    float best = 1e9f;
    for (size_t i = 0; i + 1 < points.size(); ++i) {
      const auto [ax, ay] = points[i];
      const auto [bx, by] = points[i + 1];
      const float dx = bx - ax, dy = by - ay;
      const float t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
      best = std::min(best, std::hypot(x - ax - t * dx, y - ay - t * dy));
    }
    return best - width * 0.5f;
  };
}

// Signed distance to a triangle with corners in clockwise or counter-clockwise order.
std::function<float(float, float)> Triangle(float x0, float y0, float x1, float y1, float x2, float y2) {
  auto outline = Stroke({{x0, y0}, {x1, y1}, {x2, y2}, {x0, y0}}, 0.0f);
  return [=](float x, float y) {
    auto side = [&](float ax, float ay, float bx, float by) { return (bx - ax) * (y - ay) - (by - ay) * (x - ax); };
    const float s0 = side(x0, y0, x1, y1), s1 = side(x1, y1, x2, y2), s2 = side(x2, y2, x0, y0);
    const bool inside = (s0 >= 0 && s1 >= 0 && s2 >= 0) || (s0 <= 0 && s1 <= 0 && s2 <= 0);
    return inside ? -outline(x, y) : outline(x, y);
  };
}

std::function<Color(float)> Solid(Color c) {
  return [=](float) { return c; };
}
std::function<Color(float)> Gradient(Color top, Color bottom) {
  return [=](float t) { return Mix(top, bottom, t); };
}

// The looks of a push button; only the labelled ones have a disabled look.
enum class State { Idle, Over, Pressed, Disabled };
const char* Suffix(State s) {
  switch (s) {
    case State::Over: return "_over";
    case State::Pressed: return "_click";
    case State::Disabled: return "_disabled";
    default: return "_idle";
  }
}

struct Look {
  Color top, bottom, border, ink;
  float sink;  // the pressed face moves down by this many pixels
};

Look LookOf(State state) {
  switch (state) {
    case State::Over:
      return {Rgb(86, 128, 190), Rgb(52, 86, 140), Rgb(170, 205, 255), Rgb(255, 255, 255), 0};
    case State::Pressed:
      return {Rgb(28, 40, 62), Rgb(44, 62, 94), Rgb(110, 150, 210), Rgb(210, 225, 245), 1};
    case State::Disabled:  // a grey face, unlike every look a usable button has
      return {Rgb(122, 124, 132), Rgb(86, 88, 96), Rgb(200, 202, 210), Rgb(208, 210, 216), 0};
    default:
      return {Rgb(58, 78, 112), Rgb(34, 48, 74), Rgb(104, 128, 168), Rgb(225, 232, 242), 0};
  }
}

// A bevelled button face with a one-pixel border and a soft top sheen.
void Face(Image& image, const Look& look, float radius) {
  image.Fill(RoundRect(image, 0.5f, radius), Solid(look.border));
  image.Fill(RoundRect(image, 2.0f, radius - 1.5f), Gradient(look.top, look.bottom));
  image.Fill([&](float x,
                 float y) { return std::max(RoundRect(image, 2.0f, radius - 1.5f)(x, y), y - image.Height() * 0.45f); },
             Solid(Rgb(255, 255, 255, 0.10f)));
}

class Labeler {
 public:
  Labeler() {
    ok_ = FT_Init_FreeType(&library_) == 0 && FT_New_Face(library_, kLabelFont, 0, &face_) == 0;
    if (!ok_) std::fprintf(stderr, "cannot open %s\n", kLabelFont);
  }
  ~Labeler() {
    if (face_) FT_Done_Face(face_);
    if (library_) FT_Done_FreeType(library_);
  }
  bool Ok() const { return ok_; }

  // Centres the text horizontally on a baseline given as a fraction of the height.
  void DrawAt(Image& image, const std::string& text, int pixelHeight, float baselineAt, Color ink) {
    FT_Set_Pixel_Sizes(face_, 0, pixelHeight);
    int width = 0;
    for (char ch : text)
      if (FT_Load_Char(face_, ch, FT_LOAD_DEFAULT) == 0) width += face_->glyph->advance.x >> 6;
    const int left = (image.Width() - width) / 2;
    const int baseline = static_cast<int>(image.Height() * baselineAt);
    Glyphs(image, text, left, baseline + 1, Rgb(0, 0, 0, 0.5f));
    Glyphs(image, text, left, baseline, ink);
  }

  // Centres the text in the image; a darker copy one pixel below lifts it off the face.
  void Draw(Image& image, const std::string& text, int pixelHeight, Color ink, float sink) {
    FT_Set_Pixel_Sizes(face_, 0, pixelHeight);
    int width = 0;
    for (char ch : text)
      if (FT_Load_Char(face_, ch, FT_LOAD_DEFAULT) == 0) width += face_->glyph->advance.x >> 6;
    const int ascender = face_->size->metrics.ascender >> 6, descender = face_->size->metrics.descender >> 6;
    const int left = (image.Width() - width) / 2;
    const int baseline = static_cast<int>((image.Height() + ascender + descender) / 2 + sink);
    Glyphs(image, text, left, baseline + 1, Rgb(0, 0, 0, 0.45f));
    Glyphs(image, text, left, baseline, ink);
  }

 private:
  void Glyphs(Image& image, const std::string& text, int pen, int baseline, Color ink) {
    for (char ch : text) {
      if (FT_Load_Char(face_, ch, FT_LOAD_RENDER) != 0) continue;
      const FT_GlyphSlot g = face_->glyph;
      for (unsigned row = 0; row < g->bitmap.rows; ++row)
        for (unsigned col = 0; col < g->bitmap.width; ++col)
          image.Blend(pen + g->bitmap_left + col, baseline - g->bitmap_top + row, ink,
                      g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0f);
      pen += g->advance.x >> 6;
    }
  }

  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  bool ok_ = false;
};

bool LabelledButton(Labeler& labeler, const std::string& name, const std::string& label) {
  bool ok = true;
  for (State state : {State::Idle, State::Over, State::Pressed, State::Disabled}) {
    Image image(128, 64);
    const Look look = LookOf(state);
    Face(image, look, 12.0f);
    labeler.Draw(image, label, 28, look.ink, look.sink);
    ok = image.Save(name + Suffix(state)) && ok;
  }
  return ok;
}

// A square button with an icon drawn by `icon` in the look's ink colour.
bool IconButton(const std::string& name, const std::function<std::function<float(float, float)>(float sink)>& icon) {
  bool ok = true;
  for (State state : {State::Idle, State::Over, State::Pressed}) {
    Image image(32, 32);
    const Look look = LookOf(state);
    Face(image, look, 6.0f);
    image.Fill(icon(look.sink), Solid(look.ink));
    ok = image.Save(name + Suffix(state)) && ok;
  }
  return ok;
}

// A text field: dark inset face with a coloured rim (the rim tells the two kinds apart).
bool Field(const std::string& name, int width, int height, Color rim, float radius) {
  Image image(width, height);
  image.Fill(RoundRect(image, 0.5f, radius), Solid(rim));
  image.Fill(RoundRect(image, 2.0f, radius - 1.5f), Gradient(Rgb(12, 16, 24, 0.92f), Rgb(26, 32, 44, 0.92f)));
  return image.Save(name);
}

bool Swatch(const std::string& name, Color rim) {
  Image image(16, 16);
  image.Fill(RoundRect(image, 0.5f, 3.0f), Solid(rim));
  image.Fill(RoundRect(image, 3.0f, 1.0f), Solid(Mix(rim, Rgb(255, 255, 255), 0.35f)));
  return image.Save(name);
}

bool Panel(const std::string& name, int width, int height, float radius, float alpha) {
  Image image(width, height);
  image.Fill(RoundRect(image, 0.5f, radius), Solid(Rgb(96, 124, 170, alpha)));
  image.Fill(RoundRect(image, 2.5f, radius - 2.0f),
             Gradient(Rgb(30, 40, 60, alpha * 0.92f), Rgb(14, 18, 28, alpha * 0.92f)));
  return image.Save(name);
}

bool Checkbox(bool checked) {
  Image image(32, 32);
  image.Fill(RoundRect(image, 1.0f, 6.0f), Solid(Rgb(150, 178, 220)));
  image.Fill(RoundRect(image, 3.5f, 4.0f), Gradient(Rgb(18, 24, 36, 0.95f), Rgb(36, 46, 66, 0.95f)));
  if (checked) image.Fill(Stroke({{8.5f, 16.5f}, {13.5f, 22.0f}, {23.5f, 10.0f}}, 4.0f), Solid(Rgb(120, 220, 140)));
  return image.Save(checked ? "checkbox_checked" : "checkbox_unchecked");
}

// The hover highlight of a list row: a soft bar that fades out towards both ends.
bool Highlight() {
  Image image(128, 16);
  const auto bar = RoundRect(image, 0.5f, 6.0f);
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x) {
      const float edge = std::min(x + 0.5f, image.Width() - x - 0.5f) / 24.0f;
      const float coverage = std::clamp(0.5f - bar(x + 0.5f, y + 0.5f), 0.0f, 1.0f) * std::min(edge, 1.0f);
      image.Blend(x, y, Rgb(110, 170, 255, 0.55f), coverage);
    }
  return image.Save("select1");
}


using Shape = std::function<float(float, float)>;

Shape Union(std::vector<Shape> shapes) {
  return [=](float x, float y) {
    float best = 1e9f;
    for (const Shape& shape : shapes) best = std::min(best, shape(x, y));
    return best;
  };
}

Shape Ring(float cx, float cy, float radius, float width) {
  return [=](float x, float y) { return std::fabs(std::hypot(x - cx, y - cy) - radius) - width * 0.5f; };
}

Shape Disc(float cx, float cy, float radius) {
  return [=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; };
}

// An arrow from (x, y0) to (x, y1) with its head at y1.
Shape Arrow(float x, float y0, float y1, float width) {
  const float head = y1 < y0 ? 7.0f : -7.0f;
  return Union({Stroke({{x, y0}, {x, y1}}, width), Stroke({{x - 7, y1 + head}, {x, y1}, {x + 7, y1 + head}}, width)});
}

// A wave line across the icon at height y.
Shape Wave(float y, float amplitude, float width) {
  std::vector<std::pair<float, float>> points;
  for (int i = 0; i <= 24; ++i) {
    const float x = 10.0f + 44.0f * i / 24.0f;
    points.emplace_back(x, y + amplitude * std::sin(i / 24.0f * 2.0f * 3.14159265f * 1.5f));
  }
  return Stroke(points, width);
}

// Toolbar buttons: a symbol over a short label, so each says what it opens.
bool ToolbarButton(Labeler& labeler, const std::string& name, const std::string& label,
                   const std::function<Shape(float sink)>& symbol) {
  bool ok = true;
  for (State state : {State::Idle, State::Over, State::Pressed}) {
    Image image(64, 64);
    const Look look = LookOf(state);
    Face(image, look, 10.0f);
    image.Fill(symbol(look.sink), Solid(look.ink));
    labeler.DrawAt(image, label, 15, 0.9f + look.sink / 64.0f, look.ink);
    ok = image.Save(name + Suffix(state)) && ok;
  }
  return ok;
}

bool ToolbarButtons(Labeler& labeler) {
  bool ok = true;
  ok = ToolbarButton(labeler, "new", "New", [](float s) {
    return Stroke({{20, 6 + s}, {38, 6 + s}, {46, 14 + s}, {46, 42 + s}, {20, 42 + s}, {20, 6 + s}}, 3.0f);
  }) && ok;
  ok = ToolbarButton(labeler, "heightmap_menu", "Height", [](float s) {
    return Stroke({{8, 40 + s}, {20, 22 + s}, {28, 32 + s}, {40, 10 + s}, {56, 40 + s}}, 3.5f);
  }) && ok;
  ok = ToolbarButton(labeler, "normalmap_menu", "Normals", [](float s) {
    return Union({Stroke({{10, 40 + s}, {54, 40 + s}}, 3.0f), Arrow(20, 40 + s, 14 + s, 3.0f),
                  Arrow(32, 40 + s, 8 + s, 3.0f), Arrow(44, 40 + s, 14 + s, 3.0f)});
  }) && ok;
  ok = ToolbarButton(labeler, "geometry_menu", "Mesh", [](float s) {
    std::vector<Shape> lines;
    for (int i = 0; i < 4; ++i) {
      const float t = 12.0f * i;
      lines.push_back(Stroke({{14 + t, 6 + s}, {14 + t, 42 + s}}, 2.0f));
      lines.push_back(Stroke({{14, 6 + t + s}, {50, 6 + t + s}}, 2.0f));
    }
    return Union(lines);
  }) && ok;
  ok = ToolbarButton(labeler, "waterrendering_menu", "Water", [](float s) {
    return Union({Wave(14 + s, 4.0f, 3.0f), Wave(26 + s, 4.0f, 3.0f), Wave(38 + s, 4.0f, 3.0f)});
  }) && ok;
  ok = ToolbarButton(labeler, "exit1", "Exit", [](float s) {
    return Union({Stroke({{30, 8 + s}, {14, 8 + s}, {14, 42 + s}, {30, 42 + s}}, 3.0f),
                  Stroke({{24, 25 + s}, {52, 25 + s}}, 3.0f), Stroke({{44, 17 + s}, {52, 25 + s}, {44, 33 + s}}, 3.0f)});
  }) && ok;
  ok = ToolbarButton(labeler, "settings", "Setup", [](float s) {
    std::vector<Shape> gear{Ring(32, 25 + s, 11, 5.0f), Disc(32, 25 + s, 3.5f)};
    for (int i = 0; i < 8; ++i) {
      const float a = i * 3.14159265f / 4.0f;
      gear.push_back(Stroke({{32 + 12 * std::cos(a), 25 + s + 12 * std::sin(a)},
                             {32 + 18 * std::cos(a), 25 + s + 18 * std::sin(a)}}, 5.0f));
    }
    return Union(gear);
  }) && ok;
  ok = ToolbarButton(labeler, "save", "Save", [](float s) {
    return Union({Arrow(32, 6 + s, 32 + s, 3.5f), Stroke({{12, 30 + s}, {12, 42 + s}, {52, 42 + s}, {52, 30 + s}}, 3.0f)});
  }) && ok;
  ok = ToolbarButton(labeler, "load", "Load", [](float s) {
    return Union({Arrow(32, 36 + s, 6 + s, 3.5f), Stroke({{12, 30 + s}, {12, 42 + s}, {52, 42 + s}, {52, 30 + s}}, 3.0f)});
  }) && ok;
  return ok;
}

// The closed combobox shows its selection in blue: a light face keeps it legible.
bool SelectionPanel() {
  Image image(256, 32);
  image.Fill(RoundRect(image, 0.5f, 6.0f), Solid(Rgb(104, 128, 168)));
  image.Fill(RoundRect(image, 2.0f, 4.5f), Gradient(Rgb(236, 240, 248), Rgb(206, 214, 228)));
  return image.Save("selectionPanel");
}

// An engine the card cannot run shows its over image for good, so that look is
// the disabled grey face: it reads as unavailable there and as a distinct
// highlight on hover.
Look EngineLookOf(State state) { return LookOf(state == State::Over ? State::Disabled : state); }

// A button with a large title and an optional smaller line under it.
bool TitledButton(Labeler& labeler, const std::string& name, int width, int height, const std::string& title,
                  int titleHeight, const std::string& subtitle, bool engine = false,
                  std::vector<State> states = {State::Idle, State::Over, State::Pressed}) {
  bool ok = true;
  for (State state : states) {
    Image image(width, height);
    const Look look = engine ? EngineLookOf(state) : LookOf(state);
    Face(image, look, 14.0f);
    const float sink = look.sink / height;
    labeler.DrawAt(image, title, titleHeight, (subtitle.empty() ? 0.68f : 0.52f) + sink, look.ink);
    if (!subtitle.empty()) labeler.DrawAt(image, subtitle, 17, 0.8f + sink, look.ink);
    ok = image.Save(name + Suffix(state)) && ok;
  }
  return ok;
}

// The engine buttons of the selection screen; the toolbar shows the idle image
// as the engine's icon, under two names spelt with a capital letter.
bool EngineButtons(Labeler& labeler) {
  bool ok = true;
  ok = TitledButton(labeler, "ffp", 128, 128, "FFP", 44, "Fixed function", true) && ok;
  ok = TitledButton(labeler, "sm1", 128, 128, "SM1", 44, "Shader 1.x", true) && ok;
  ok = TitledButton(labeler, "sm2", 128, 128, "SM2", 44, "Shader 2.0", true) && ok;
  ok = TitledButton(labeler, "sm3", 128, 128, "SM3", 44, "Shader 3.0", true) && ok;
  ok = TitledButton(labeler, "Sm1", 128, 128, "SM1", 44, "Shader 1.x", true, {State::Idle}) && ok;
  ok = TitledButton(labeler, "Sm3", 128, 128, "SM3", 44, "Shader 3.0", true, {State::Idle}) && ok;
  ok = TitledButton(labeler, "select_engine_quit", 128, 96, "Quit", 40, "") && ok;
  ok = TitledButton(labeler, "buy", 128, 64, "BUY", 34, "") && ok;
  return ok;
}

bool SelectEngineTitle(Labeler& labeler) {
  Image image(256, 128);
  image.Fill(RoundRect(image, 0.5f, 16.0f), Solid(Rgb(96, 124, 170, 0.9f)));
  image.Fill(RoundRect(image, 3.0f, 14.0f), Gradient(Rgb(34, 52, 84, 0.92f), Rgb(14, 22, 36, 0.92f)));
  image.Fill(Union({Wave(104, 4.0f, 2.5f)}), Solid(Rgb(110, 170, 255, 0.6f)));
  labeler.DrawAt(image, "Choose a", 30, 0.36f, Rgb(255, 228, 0));
  labeler.DrawAt(image, "water engine", 30, 0.66f, Rgb(255, 228, 0));
  return image.Save("select_engine");
}

bool Warning(Labeler& labeler) {
  Image image(32, 32);
  image.Fill(Triangle(16, 2, 30.5f, 29, 1.5f, 29), Solid(Rgb(40, 30, 0)));
  image.Fill(Triangle(16, 5.5f, 27.5f, 27, 4.5f, 27), Solid(Rgb(255, 200, 40)));
  labeler.DrawAt(image, "!", 20, 0.82f, Rgb(30, 20, 0));
  return image.Save("warning");
}

// The flat colour of the wireframe water drawn before an engine exists.
bool WireColor() {
  Image image(8, 8);
  image.Fill([](float, float) { return -1.0f; }, Solid(Rgb(120, 220, 255)));
  return image.Save("wirecolor");
}

// Lines 2k and 2k+1: engine k supported and not; line 8: the notice under the buttons.
bool EngineDescriptions() {
  const char* kLines[] = {
      "Fixed function: per-vertex Fresnel reflection.\n",
      "Fixed function: not available on this card.\n",
      "Shader model 1: water drawn by effect files, with foam on the wave crests.\n",
      "Shader model 1: not available. It needs vertex shaders 1.1, pixel shaders 1.4 and two vertex streams.\n",
      "Shader model 2: per-pixel normals, foam, sunlight reflection and shore depth effects.\n",
      "Shader model 2: not available. It needs vertex and pixel shaders 2.0.\n",
      "Shader model 3: everything of shader model 2, with the waves displaced on the graphics card.\n",
      "Shader model 3: not available. It needs shader model 3.0 and floating-point vertex textures.\n",
      "Engines this graphics card cannot run are shown in grey and cannot be chosen.\n",
  };
  const char* path = "data/engineDescription.txt";
  std::FILE* file = std::fopen(path, "wb");
  bool ok = file != nullptr;
  for (const char* line : kLines) ok = ok && std::fputs(line, file) >= 0;
  if (file) ok = std::fclose(file) == 0 && ok;
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", path);
  return ok;
}

}  // namespace

int main() {
  Labeler labeler;
  if (!labeler.Ok()) return 1;
  bool ok = true;
  ok = LabelledButton(labeler, "ok", "OK") && ok;
  ok = LabelledButton(labeler, "cancel", "Cancel") && ok;
  ok = LabelledButton(labeler, "apply", "Apply") && ok;
  ok = LabelledButton(labeler, "create", "Create") && ok;
  ok = IconButton("close1",
                  [](float sink) {
                    auto a = Stroke({{10, 10 + sink}, {22, 22 + sink}}, 3.0f),
                         b = Stroke({{22, 10 + sink}, {10, 22 + sink}}, 3.0f);
                    return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
                  }) &&
       ok;
  ok = IconButton("dropDownButton", [](float sink) { return Triangle(9, 12 + sink, 23, 12 + sink, 16, 21 + sink); }) &&
       ok;
  ok = IconButton("downButton", [](float sink) { return Triangle(9, 12 + sink, 23, 12 + sink, 16, 21 + sink); }) && ok;
  ok = IconButton("upButton", [](float sink) { return Triangle(9, 20 + sink, 23, 20 + sink, 16, 11 + sink); }) && ok;
  ok = Checkbox(true) && ok;
  ok = Checkbox(false) && ok;
  ok = Panel("dropDownList", 128, 128, 6.0f, 0.94f) && ok;
  ok = SelectionPanel() && ok;
  ok = Highlight() && ok;
  // Edit boxes: the menus use box 2 for values read every frame (green rim, legend
  // swatch 1) and box 1 for values read at create time (amber rim, swatch 2).
  const Color live = Rgb(96, 200, 120), atCreate = Rgb(230, 170, 70);
  ok = Field("custom_editbox1", 256, 32, atCreate, 5.0f) && ok;
  ok = Field("custom_editbox2", 256, 32, live, 5.0f) && ok;
  ok = Swatch("custom_color1", live) && ok;
  ok = Swatch("custom_color2", atCreate) && ok;
  ok = Panel("custom_window1", 256, 256, 14.0f, 0.86f) && ok;
  ok = ToolbarButtons(labeler) && ok;
  ok = EngineButtons(labeler) && ok;
  ok = SelectEngineTitle(labeler) && ok;
  ok = Warning(labeler) && ok;
  ok = WireColor() && ok;
  ok = EngineDescriptions() && ok;
  return ok ? 0 : 1;
}
