#include <gtest/gtest.h>

#include <algorithm>
#include <span>

#include "PlatformFixture.h"
#include "platform/d3dx/FontFace.h"
#include "platform/d3dx/GlyphAtlas.h"
#include "platform/d3dx/TextLayout.h"

using platform::Recorded;
using platform::d3dx::FontFace;
using platform::d3dx::GlyphAtlas;
using platform::d3dx::TextLayout;

namespace {

bool Overlap(const GlyphAtlas::Slot& a, const GlyphAtlas::Slot& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

struct TextVertex {
  float x, y, z, rhw;
  D3DCOLOR color;
  float u, v;
};

class FontTest : public platform::testing::PlatformFixture {
 protected:
  void SetUp() override {
    PlatformFixture::SetUp();
    font_ = Create(16, L"arial");
    ASSERT_NE(font_, nullptr);
    spy_ = platform::testing::InstallSpy();
  }
  ID3DXFont* Create(INT height, LPCWSTR face) {
    ID3DXFont* font = nullptr;
    const HRESULT hr = D3DXCreateFontW(device, height, 0, FW_NORMAL, D3DX_DEFAULT, FALSE, DEFAULT_CHARSET,
                                       OUT_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face, &font);
    return SUCCEEDED(hr) ? Keep(font) : nullptr;
  }
  // Draws inside a scene and returns DrawTextW's result.
  INT Draw(const wchar_t* text, RECT rect, DWORD format, INT count = -1) {
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    const INT height = font_->DrawTextW(nullptr, text, count, &rect, format, D3DCOLOR_ARGB(200, 10, 20, 30));
    EXPECT_EQ(device->EndScene(), D3D_OK);
    return height;
  }
  // The vertices live in the font until its next call: read each batch at once.
  std::span<const TextVertex> LastVertices() const {
    const platform::DrawCall& call = spy_->calls.back();
    return {static_cast<const TextVertex*>(call.userVertices), call.primitiveCount * 3};
  }
  ID3DXFont* font_ = nullptr;
  platform::testing::SpyBackend* spy_ = nullptr;
};

}  // namespace

TEST_F(FontTest, DrawsOneBatchOfGlyphQuadsWithTextStatesFromAWhiteAlphaAtlas) {
  EXPECT_EQ(Draw(L"fps: 60.0", RECT{10, 60, 300, 200}, DT_WORDBREAK), 16);
  ASSERT_EQ(spy_->calls.size(), 1u);
  const platform::DrawCall& call = spy_->calls[0];
  EXPECT_EQ(std::tuple(call.type, call.primitiveCount, call.userStride),
            std::tuple(D3DPT_TRIANGLELIST, 2u * 8, UINT{sizeof(TextVertex)}));  // the space draws nothing
  for (const TextVertex& v : LastVertices()) {  // inside the rectangle, sampling inside the atlas
    EXPECT_TRUE(v.x >= 9.5f && v.y >= 59.5f && v.y <= 60.0f + 16 && v.u >= 0.0f && v.v <= 1.0f) << v.x << "," << v.y;
    EXPECT_EQ(std::tuple(v.color, v.rhw), std::tuple(D3DCOLOR_ARGB(200, 10, 20, 30), 1.0f));
  }
  ASSERT_EQ(Recorded().texts.size(), 1u);
  const platform::TextRecord& text = Recorded().texts[0];
  EXPECT_EQ(std::tuple(text.text, text.rect.left, text.rect.bottom, text.format),
            std::tuple(std::wstring(L"fps: 60.0"), 10, 200, DWORD{DT_WORDBREAK}));
  EXPECT_EQ(std::tuple(text.color, text.fontHeight, text.face),
            std::tuple(D3DCOLOR_ARGB(200, 10, 20, 30), 16, std::wstring(L"arial")));
  ASSERT_EQ(Recorded().draws.size(), 1u);
  EXPECT_EQ(Recorded().draws[0].fvf, DWORD{D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1});
  const platform::DrawState& state = spy_->states.at(0);
  const std::pair<D3DRENDERSTATETYPE, DWORD> renderStates[] = {
      {D3DRS_ALPHABLENDENABLE, TRUE},   {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA}, {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
      {D3DRS_ALPHATESTENABLE, FALSE},   {D3DRS_ZENABLE, D3DZB_FALSE},        {D3DRS_CULLMODE, D3DCULL_NONE}};
  for (const auto& [type, value] : renderStates) EXPECT_EQ(state.renderStates[type], value) << type;
  EXPECT_EQ(std::tuple(state.stageStates[0][D3DTSS_COLOROP], state.stageStates[0][D3DTSS_ALPHAARG1],
                       state.stageStates[0][D3DTSS_ALPHAARG2], state.stageStates[1][D3DTSS_COLOROP]),
            std::tuple(DWORD{D3DTOP_MODULATE}, DWORD{D3DTA_TEXTURE}, DWORD{D3DTA_DIFFUSE}, DWORD{D3DTOP_DISABLE}));
  EXPECT_EQ(std::tuple(state.samplerStates[0][D3DSAMP_ADDRESSU], state.samplerStates[0][D3DSAMP_MINFILTER]),
            std::tuple(DWORD{D3DTADDRESS_CLAMP}, DWORD{D3DTEXF_LINEAR}));
  EXPECT_EQ(state.effect.effect, nullptr);
  const platform::TextureData* atlas = state.textures[0];
  ASSERT_NE(atlas, nullptr);
  EXPECT_EQ(std::tuple(atlas->format, atlas->pool), std::tuple(D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  bool covered = false;
  for (size_t i = 0; i < atlas->memory[0].size(); i += 4) {  // white, coverage in alpha
    ASSERT_EQ(std::tuple(atlas->memory[0][i], atlas->memory[0][i + 2]), std::tuple(255, 255));
    covered = covered || atlas->memory[0][i + 3] == 255;
  }
  EXPECT_TRUE(covered);
}

TEST_F(FontTest, PutsBackEveryStateItChanged) {
  IDirect3DTexture9* texture = Texture(4, 4);
  ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
  ASSERT_EQ(device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE), D3D_OK);
  ASSERT_EQ(device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW), D3D_OK);
  ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1), D3D_OK);
  ASSERT_EQ(device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP), D3D_OK);
  ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1), D3D_OK);
  Draw(L"state", RECT{0, 0, 200, 50}, 0);
  IDirect3DBaseTexture9* bound = nullptr;
  ASSERT_EQ(device->GetTexture(0, &bound), D3D_OK);
  EXPECT_EQ(bound, texture);
  if (bound) bound->Release();
  EXPECT_EQ(std::tuple(RenderState(D3DRS_ZENABLE), RenderState(D3DRS_CULLMODE), RenderState(D3DRS_ALPHABLENDENABLE),
                       StageState(0, D3DTSS_COLOROP), SamplerState(0, D3DSAMP_ADDRESSU), Fvf()),
            std::tuple(DWORD{D3DZB_TRUE}, DWORD{D3DCULL_CW}, DWORD{FALSE}, DWORD{D3DTOP_SELECTARG1},
                       DWORD{D3DTADDRESS_WRAP}, DWORD{D3DFVF_XYZ | D3DFVF_TEX1}));
}

TEST_F(FontTest, CalcRectMeasuresWithoutDrawing) {
  RECT rect{20, 30, 20, 30};
  EXPECT_EQ(font_->DrawTextW(nullptr, L"Create heightmap", -1, &rect, DT_CALCRECT, 0xFFFFFFFF), 16);
  EXPECT_EQ(std::tuple(rect.left, rect.top, rect.bottom), std::tuple(20, 30, 46));
  EXPECT_GT(rect.right, 20 + 80);
  const LONG oneLine = rect.right - rect.left;
  RECT wrapped{0, 0, oneLine - 1, 0};
  EXPECT_EQ(font_->DrawTextW(nullptr, L"Create heightmap", -1, &wrapped, DT_CALCRECT | DT_WORDBREAK, 0), 32);
  EXPECT_LT(wrapped.right, oneLine);
  EXPECT_TRUE(spy_->calls.empty());
  EXPECT_TRUE(Recorded().texts.empty());
}

TEST_F(FontTest, ClipsAtTheSidesUnlessNoClip) {
  const auto drawRightEdge = [&](DWORD format) {
    Draw(L"WWWWWWWW", RECT{0, 0, 30, 16}, format);
    float x = 0;
    for (const TextVertex& vertex : LastVertices()) x = std::max(x, vertex.x);
    return x;
  };
  EXPECT_GT(drawRightEdge(DT_NOCLIP), 60.0f);
  EXPECT_LE(drawRightEdge(0), 29.5f);
  ASSERT_EQ(spy_->calls.size(), 2u);
  EXPECT_LT(spy_->calls[1].primitiveCount, spy_->calls[0].primitiveCount);
}

TEST_F(FontTest, CountLimitsTheTextAndEmptyTextDrawsNothing) {
  Draw(L"abcdef", RECT{0, 0, 100, 20}, 0, 3);
  ASSERT_EQ(Recorded().texts.size(), 1u);
  EXPECT_EQ(Recorded().texts[0].text, L"abc");
  ASSERT_EQ(spy_->calls.size(), 1u);
  EXPECT_EQ(spy_->calls[0].primitiveCount, 6u);
  EXPECT_EQ(Draw(L"", RECT{0, 0, 100, 20}, 0), 0);
  EXPECT_EQ(spy_->calls.size(), 1u);
  EXPECT_EQ(Recorded().texts.size(), 2u);
}

TEST_F(FontTest, ManyLargeGlyphsOverflowTheAtlasGracefully) {
  font_ = Create(150, L"Tahoma");
  ASSERT_NE(font_, nullptr);
  std::wstring text;
  for (wchar_t c = L'A'; c <= L'Z'; ++c) text += c;
  for (wchar_t c = L'a'; c <= L'z'; ++c) text += c;
  for (wchar_t c = 0x391; c <= 0x3C9; ++c) text += c;  // Greek
  for (wchar_t c = 0x410; c <= 0x44F; ++c) text += c;  // Cyrillic
  EXPECT_EQ(Draw(text.c_str(), RECT{0, 0, 1000, 1000}, DT_NOCLIP), 150);
  ASSERT_EQ(spy_->calls.size(), 1u);
  EXPECT_GT(spy_->calls[0].primitiveCount, 2u * 20);
  EXPECT_LE(spy_->calls[0].primitiveCount, 2u * text.size());
  EXPECT_EQ(Draw(L"ok", RECT{0, 0, 1000, 1000}, 0), 150);
  EXPECT_EQ(spy_->calls.back().primitiveCount, 4u);
}

TEST_F(FontTest, SurvivesDeviceLossAndChecksItsCreationArguments) {
  EXPECT_EQ(font_->OnLostDevice(), D3D_OK);
  platform::headless::LoseDevice();
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
  ASSERT_EQ(device->Reset(&parameters), D3D_OK);
  EXPECT_EQ(font_->OnResetDevice(), D3D_OK);
  EXPECT_EQ(Draw(L"again", RECT{0, 0, 200, 50}, 0), 16);
  ID3DXFont* font = nullptr;
  EXPECT_EQ(D3DXCreateFontW(nullptr, 16, 0, FW_NORMAL, 1, FALSE, 0, 0, 0, 0, L"arial", &font), D3DERR_INVALIDCALL);
  EXPECT_EQ(D3DXCreateFontW(device, 100000, 0, FW_NORMAL, 1, FALSE, 0, 0, 0, 0, L"arial", &font), D3DERR_INVALIDCALL);
  EXPECT_EQ(font, nullptr);
}

TEST(GlyphAtlas, PacksWithoutOverlapAndGrowsWhenFull) {
  GlyphAtlas atlas;
  std::vector<GlyphAtlas::Slot> slots;
  for (int i = 0; i < 400; ++i) {
    const UINT width = 5 + i % 20, height = 8 + i % 13;
    const std::vector<uint8_t> bitmap(width * height, static_cast<uint8_t>(i));
    GlyphAtlas::Slot slot;
    ASSERT_TRUE(atlas.Add(width, height, bitmap.data(), slot)) << i;
    EXPECT_EQ(slot.width, width);
    EXPECT_TRUE(slot.x + width <= atlas.Width() && slot.y + height <= atlas.Height()) << i;
    EXPECT_EQ(atlas.Coverage(slot.x + width - 1, slot.y + height - 1), static_cast<uint8_t>(i));
    for (const auto& other : slots) ASSERT_FALSE(Overlap(slot, other)) << i;
    slots.push_back(slot);
  }
  EXPECT_GT(atlas.Height(), GlyphAtlas::kInitialHeight);
  // Earlier glyphs survive growth.
  EXPECT_EQ(std::tuple(atlas.Coverage(slots[0].x, slots[0].y), atlas.Coverage(slots[1].x, slots[1].y)),
            std::tuple(0, 1));
}

TEST(GlyphAtlas, RefusesWhatCannotFitAndClears) {
  GlyphAtlas atlas;
  GlyphAtlas::Slot slot;
  const std::vector<uint8_t> wide(GlyphAtlas::kWidth * 2, 1);
  EXPECT_FALSE(atlas.Add(GlyphAtlas::kWidth, 2, wide.data(), slot));
  const std::vector<uint8_t> tall(GlyphAtlas::kMaxHeight * 2, 1);
  EXPECT_FALSE(atlas.Add(2, GlyphAtlas::kMaxHeight, tall.data(), slot));
  const std::vector<uint8_t> big(400 * 400, 7);
  int added = 0;
  while (atlas.Add(400, 400, big.data(), slot)) ++added;
  EXPECT_EQ(std::tuple(added, atlas.Height()), std::tuple(static_cast<int>(GlyphAtlas::kMaxHeight / 401),
                                                         GlyphAtlas::kMaxHeight));
  atlas.MarkUploaded();
  atlas.Clear();
  EXPECT_EQ(std::tuple(atlas.Dirty(), atlas.Height()), std::tuple(true, GlyphAtlas::kInitialHeight));
  ASSERT_TRUE(atlas.Add(400, 100, big.data(), slot));
  EXPECT_EQ(std::tuple(slot.x, slot.y), std::tuple(0u, 0u));
}

namespace {

class TextLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    face_ = FontFace::Create("arial", 16, false, false);
    ASSERT_NE(face_, nullptr);
  }
  int Width(const std::wstring& text) {
    int width = 0;
    unsigned previous = 0;
    for (wchar_t c : text) {
      const unsigned glyph = face_->GlyphIndex(static_cast<char32_t>(c));
      width += face_->Kerning(previous, glyph) + face_->Advance(glyph);
      previous = glyph;
    }
    return width;
  }
  // The characters of each line, rebuilt from the placed glyphs' baselines.
  std::vector<std::wstring> Lines(const TextLayout& layout, const std::wstring& text) {
    std::vector<std::wstring> lines;
    int baseline = INT32_MIN;
    size_t at = 0;
    for (const auto& glyph : layout.Glyphs()) {
      while (text[at] == L'\n' || face_->GlyphIndex(static_cast<char32_t>(text[at])) != glyph.glyph) ++at;
      if (glyph.baseline != baseline) lines.emplace_back();
      baseline = glyph.baseline;
      lines.back() += text[at++];
    }
    return lines;
  }
  std::unique_ptr<FontFace> face_;
};

}  // namespace

TEST(FontFace, FacesResolveToInstalledMetricCompatibleFontsSizedByTheirCell) {
  for (const auto& [family, bold, file] : {std::tuple{"arial", false, "LiberationSans-Regular"},
                                           {"Tahoma", false, "DejaVuSans.ttf"},
                                           {"Arial", true, "LiberationSans-Bold"}}) {
    const auto face = FontFace::Create(family, 20, bold, false);
    ASSERT_NE(face, nullptr) << family;
    EXPECT_NE(face->File().find(file), std::string::npos) << face->File();
  }
  EXPECT_NE(FontFace::Create("No Such Family At All", 12, false, false), nullptr);  // falls back to a sans
  // The height is the cell's. Liberation Sans: win ascent 1854 of a 2288-unit cell.
  const auto cell = FontFace::Create("arial", 16, false, false);
  EXPECT_EQ(std::tuple(cell->LineHeight(), cell->Ascent()), std::tuple(16, 13));
  EXPECT_EQ(FontFace::Create("arial", -16, false, false)->LineHeight(), 18);  // a 16-pixel em has an 18-pixel cell
  // The em of a 16-pixel cell is about 14 pixels: capitals are about 10 high.
  platform::d3dx::GlyphBitmap bitmap;
  ASSERT_TRUE(cell->Render(cell->GlyphIndex(U'H'), bitmap));
  EXPECT_NEAR(bitmap.height, 10, 1);
  EXPECT_EQ(bitmap.coverage.size(), static_cast<size_t>(bitmap.width * bitmap.height));
}

TEST_F(TextLayoutTest, SingleLineIsMeasuredWithAdvancesAndKerningAndEmptyTextHasNoLines) {
  const std::wstring text = L"AVA Tower";
  const TextLayout layout(*face_, text, RECT{10, 20, 10, 20}, DT_CALCRECT);
  EXPECT_EQ(std::tuple(layout.LineCount(), layout.Result()), std::tuple(1, 16));
  EXPECT_EQ(std::tuple(layout.Bounds().left, layout.Bounds().right, layout.Bounds().bottom),
            std::tuple(10, 10 + Width(text), 36));
  ASSERT_EQ(layout.Glyphs().size(), text.size());
  EXPECT_EQ(std::tuple(layout.Glyphs()[0].x, layout.Glyphs()[0].baseline), std::tuple(10, 20 + 13));
  EXPECT_EQ(layout.Glyphs()[1].x, 10 + Width(L"AV") - face_->Advance(face_->GlyphIndex(U'V')));
  const TextLayout empty(*face_, L"", RECT{5, 6, 50, 60}, DT_WORDBREAK);
  EXPECT_EQ(std::tuple(empty.LineCount(), empty.Result(), empty.Bounds().right, empty.Glyphs().size()),
            std::tuple(0, 0, 5, 0u));
}

TEST_F(TextLayoutTest, WordBreakFillsLinesUpToTheWidth) {
  const std::wstring text = L"Statistical heightmap of the sea";
  const int width = Width(L"Statistical heightmap") + 2;
  const TextLayout layout(*face_, text, RECT{0, 0, width, 100}, DT_WORDBREAK);
  EXPECT_EQ(Lines(layout, text), (std::vector<std::wstring>{L"Statistical heightmap", L"of the sea"}));
  EXPECT_EQ(layout.Result(), 32);
  // 'o' starts the second line, the space is dropped.
  EXPECT_EQ(std::tuple(layout.Glyphs()[21].x, layout.Glyphs()[21].baseline), std::tuple(0, 16 + 13));
  EXPECT_EQ(layout.Bounds().right, Width(L"Statistical heightmap"));
  const TextLayout narrower(*face_, text, RECT{0, 0, width - 4, 100}, DT_WORDBREAK);
  EXPECT_EQ(Lines(narrower, text), (std::vector<std::wstring>{L"Statistical", L"heightmap of the", L"sea"}));
}

TEST_F(TextLayoutTest, LongWordsBreakWhereTheyMustAndNewlinesAlways) {
  const std::wstring word = L"Supercalifragilistic";
  const TextLayout layout(*face_, word, RECT{0, 0, 40, 0}, DT_WORDBREAK);
  EXPECT_GT(layout.LineCount(), 2);
  for (const std::wstring& line : Lines(layout, word))
    EXPECT_LE(Width(line), 40) << std::string(line.begin(), line.end());
  const std::wstring lines = L"one\ntwo  \n\nfour";
  const TextLayout explicitBreaks(*face_, lines, RECT{0, 0, 500, 0}, 0);
  // Trailing spaces take no width.
  EXPECT_EQ(std::tuple(explicitBreaks.LineCount(), explicitBreaks.Bounds().right), std::tuple(4, Width(L"four")));
  const TextLayout single(*face_, lines, RECT{0, 0, 20, 0}, DT_SINGLELINE | DT_WORDBREAK);
  EXPECT_EQ(std::tuple(single.LineCount(), single.Result()), std::tuple(1, 16));
}

TEST_F(TextLayoutTest, AlignmentMovesLinesInsideTheRectangle) {
  const int width = Width(L"Water");
  const RECT rect{100, 50, 300, 150};
  const TextLayout center(*face_, L"Water", rect, DT_CENTER | DT_VCENTER);
  EXPECT_EQ(std::tuple(center.Glyphs()[0].x, center.Glyphs()[0].baseline),
            std::tuple(100 + (200 - width) / 2, 50 + 42 + 13));
  EXPECT_EQ(center.Result(), 42 + 16);  // from the top of the rectangle to the bottom of the text
  const TextLayout right(*face_, L"Water", rect, DT_RIGHT | DT_BOTTOM);
  EXPECT_EQ(std::tuple(right.Glyphs()[0].x, right.Bounds().right, right.Bounds().top, right.Result()),
            std::tuple(300 - width, 300, 150 - 16, 100));
}
