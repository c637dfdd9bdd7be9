// Writes the images of the GUI widgets into data/gui/ as 32-bit TGA files with
// alpha: labelled dialog buttons (ok, cancel, apply, create) and the close
// button in three states, the checkbox, the combobox parts, the two edit-box
// backgrounds with their legend swatches, and the window background.
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

// The three looks of every push button.
enum class State { Idle, Over, Pressed };
const char* Suffix(State s) { return s == State::Idle ? "_idle" : s == State::Over ? "_over" : "_click"; }

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
  for (State state : {State::Idle, State::Over, State::Pressed}) {
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
  ok = Field("selectionPanel", 256, 32, Rgb(104, 128, 168), 6.0f) && ok;
  ok = Highlight() && ok;
  // Edit boxes: green rim for values read every frame, amber for values read at create time.
  const Color live = Rgb(96, 200, 120), atCreate = Rgb(230, 170, 70);
  ok = Field("custom_editbox1", 256, 32, live, 5.0f) && ok;
  ok = Field("custom_editbox2", 256, 32, atCreate, 5.0f) && ok;
  ok = Swatch("custom_color1", live) && ok;
  ok = Swatch("custom_color2", atCreate) && ok;
  ok = Panel("custom_window1", 256, 256, 14.0f, 0.86f) && ok;
  return ok ? 0 : 1;
}
