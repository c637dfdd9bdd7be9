// Menus, the menu stack, and the sprite container that draws them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "GuiFixture.h"
#include "gui/GUIKey.h"
#include "gui/GUIRect.h"
#include "gui/cMenu.h"

namespace {

using Strings = std::vector<std::string>;
constexpr GUIRect kUnit{0, 1, 1, 1};  // (0,0) to (1,1)
constexpr GUIRect kFarAway{5, 6, 1, 1};

// A widget that logs every call it gets.
class FakeComponent : public iGUIComponent {
 public:
  FakeComponent(std::string name, Strings* log, GUIRect rect, int result, int id)
      : iGUIComponent(id), name_(std::move(name)), log_(log), rect_(rect), result_(result) {}

  bool HitTest(float x, float y) override { return rect_.Contains(x, y); }
  int OnClick(float, float) override { return Log("click"); }
  int OnHover(float, float) override { return Log("hover"); }
  int OnPress(float, float) override { return Log("press"); }
  int OnKey(unsigned code) override { return Log("key"), iGUIComponent::OnKey(code); }
  int OnChar(char) override { return Log("char"); }
  void OnClickAnywhere(float, float) override { Log("anywhere"); }
  void DrawSprites(cSpriteContainer* container) override {
    Log("sprites" + std::to_string(GetLayer()));
    container->AddSprite(rect_.Sprite(nullptr, 0xFFFFFFFF));
  }
  void DrawText() override { Log("text" + std::to_string(GetLayer())); }
  void SetPosition(float x, float y) override { rect_.MoveTo(x, y); }
  const float* GetPosition() override { return rect_.Position(); }
  void Reset() override { Log("reset"); }

 private:
  int Log(const std::string& what) {
    log_->push_back(name_ + "." + what);
    return result_;
  }
  std::string name_;
  Strings* log_;
  GUIRect rect_;
  int result_;
};

class MenuTest : public GuiFixture {
 protected:
  FakeComponent* AddFake(cMenu& menu, const char* name, GUIRect rect = kUnit, int result = -1, int id = 0) {
    return menu.Add(new FakeComponent(name, &log, rect, result, id));
  }
  // Alpha the top menu's component gets in the next drawing.
  unsigned DrawnAlpha(FakeComponent* component) {
    manager->DrawSprites(0, sprites.get());
    return component->GetAlpha();
  }
  cGUIManager* manager = cGUIManager::Instance();  // shut down after each test
  Strings log;
};

TEST_F(MenuTest, DispatchOrderAndTargetsOfEveryKindOfInput) {
  cMenu menu(1, Record);
  auto* a = AddFake(menu, "a", kUnit, 5);
  auto* b = AddFake(menu, "b", kFarAway, 6);
  auto* c = AddFake(menu, "c", kUnit, -1);
  AddFake(menu, "hidden", kUnit, 7)->SetVisible(false);
  AddFake(menu, "disabled", kUnit, 8)->SetEnabled(false);
  a->AddHotkey(GUIKEY_ESCAPE, 1018);
  a->AddHotkey(GUIKEY_ESCAPE, 1019);  // only the first pair counts
  b->AddHotkey(GUIKEY_BACKSPACE, 77);
  // A click is announced to every component, whatever its state, before the hit ones get it.
  menu.OnClick(0.5f, 0.5f);
  EXPECT_EQ(log, (Strings{"a.anywhere", "a.click", "b.anywhere", "c.anywhere", "c.click", "hidden.anywhere",
                          "disabled.anywhere"}));
  EXPECT_EQ(events, (decltype(events){{5, a}, {-1, c}}));  // -1 reaches the callback too
  log.clear();
  events.clear();
  menu.OnPress(1.0f, 0.0f);  // corners: edges count
  menu.OnHover(0.0f, 1.0f);
  menu.OnKey(GUIKEY_ESCAPE);  // keys and characters skip the hit test
  menu.OnChar('q');
  EXPECT_EQ(log, (Strings{"a.press", "c.press", "a.hover", "c.hover", "a.key", "b.key", "c.key", "a.char", "b.char",
                          "c.char"}));
  EXPECT_EQ(EventIds(), (std::vector<int>{5, -1, 5, -1, 1018, -1, -1, 5, 6, -1}));
}

TEST_F(MenuTest, FindGroupsResetAndAlphaApplyToTheComponentsAndAnOffMenuTakesNothing) {
  cMenu menu(1, Record);
  auto* first = AddFake(menu, "first", kUnit, 0, 42);
  auto* second = AddFake(menu, "second", kUnit, 0, 42);
  second->SetGroup(3);
  EXPECT_EQ(std::tuple(menu.Find(42), menu.Find(99)), std::tuple(first, nullptr));
  menu.SetGroupVisible(3, false);
  EXPECT_TRUE(first->IsVisible());
  EXPECT_FALSE(second->IsVisible());
  menu.SetAlpha(17);
  EXPECT_EQ(second->GetAlpha(), 17);
  menu.ResetAll();
  EXPECT_EQ(log, (Strings{"first.reset", "second.reset"}));
  log.clear();  // a disabled, hidden or empty menu ignores input, and a hidden one is not drawn
  menu.SetEnabled(false);
  menu.OnClick(0.5f, 0.5f);
  menu.OnKey(GUIKEY_ESCAPE);
  menu.SetEnabled(true);
  menu.SetVisible(false);
  menu.OnPress(0.5f, 0.5f);
  menu.OnChar('x');
  cMenu(2, Record).OnClick(0, 0);
  manager->PushMenu(&menu, false);
  manager->DrawSprites(0, sprites.get());
  manager->DrawText(0);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(events.empty());
}

// A callback may switch menus during a dispatch, which goes on over the menu it started with.
cMenu* nextMenu = nullptr;
void OpenNext(int eventId, iGUIComponent*) {
  if (eventId != 1) return;
  cGUIManager::Instance()->PopMenu();
  cGUIManager::Instance()->PushMenu(nextMenu, true);
}

TEST_F(MenuTest, DispatchContinuesOverTheOldTopMenuWhenACallbackSwitchesMenus) {
  cMenu first(1, OpenNext), second(2, OpenNext);
  nextMenu = &second;
  AddFake(first, "a", kUnit, 1);
  AddFake(first, "b", kUnit, 2);
  AddFake(second, "c", kUnit, 1);
  manager->PushMenu(&first, false);
  manager->OnClick(0.5f, 0.5f);
  EXPECT_EQ(log, (Strings{"a.anywhere", "a.click", "b.anywhere", "b.click"}));
  EXPECT_EQ(manager->GetTopMenu(), &second);
}

TEST_F(MenuTest, ManagerSendsInputToTheTopMenuAndDrawsEveryMenu) {
  manager->OnClick(0, 0);  // an empty stack takes everything without harm
  manager->OnKey(GUIKEY_ESCAPE);
  manager->PopMenu();
  manager->DrawSprites(0, sprites.get());
  cMenu bottom(1, Record), top(2, Record);
  AddFake(bottom, "bottom");
  AddFake(top, "top");
  manager->PushMenu(&bottom, false);
  manager->PushMenu(&top, 289, false);
  EXPECT_EQ(manager->GetCaller(), 289);
  manager->OnPress(0.5f, 0.5f);
  manager->OnKey(GUIKEY_DIGIT0);
  manager->DrawSprites(0, sprites.get());
  EXPECT_EQ(log, (Strings{"top.press", "top.key", "bottom.sprites0", "top.sprites0"}));
  manager->PopMenu();
  EXPECT_EQ(manager->GetTopMenu(), &bottom);
  manager->PushMenu(&top, false);
  EXPECT_EQ(manager->GetCaller(), 0);
  manager->ClearMenus();
  EXPECT_EQ(manager->GetTopMenu(), nullptr);
  manager->PushMenu(&top, false);
  manager->PopMenu();  // the last one goes too
  EXPECT_EQ(manager->GetTopMenu(), nullptr);
}

// A push with a fade starts the top menu transparent and brings it in linearly
// over a quarter second; without one, or with a duration of zero or less, it is opaque at once.
TEST_F(MenuTest, PushedMenuFadesInLinearlyOverAQuarterSecondUnlessNotFaded) {
  cMenu bottom(1, Record), top(2, Record);
  auto* under = AddFake(bottom, "under");
  auto* faded = AddFake(top, "faded");
  under->SetAlpha(200);
  faded->SetAlpha(3);
  manager->PushMenu(&bottom, false);
  manager->PushMenu(&top, false);
  EXPECT_EQ(DrawnAlpha(faded), 255u);
  manager->PushMenu(&top, true);
  for (auto [step, alpha] : {std::pair{0.0, 0u}, {0.125, 127u}, {0.0625, 191u}, {0.0625, 255u}, {1.0, 255u}}) {
    Advance(step);
    EXPECT_EQ(DrawnAlpha(faded), alpha) << step;
  }
  EXPECT_EQ(under->GetAlpha(), 200);  // only the top menu fades
  for (float duration : {0.0f, -1.0f}) {
    manager->SetFadeDuration(duration);
    manager->PushMenu(&top, true);
    EXPECT_EQ(DrawnAlpha(faded), 255u) << duration;
  }
  manager->SetFadeDuration(0.25f);
  manager->PushMenu(&bottom, true);  // a new push starts from transparent again
  manager->DrawText(0);
  EXPECT_EQ(under->GetAlpha(), 0);
}

TEST_F(MenuTest, RendersLayersZeroThen56Then57WithTextsAfterTheirSprites) {
  cMenu bottom(1, Record), top(2, Record);
  AddFake(bottom, "a")->SetLayer(57);
  AddFake(bottom, "b");
  AddFake(top, "c")->SetLayer(56);
  AddFake(top, "d");
  AddFake(top, "e")->SetLayer(3);  // not a drawn layer
  manager->PushMenu(&bottom, false);
  manager->PushMenu(&top, false);
  D3DXMATRIX view;
  D3DXMatrixIdentity(&view);
  const D3DXVECTOR3 eye(0, 0, 0);
  ASSERT_EQ(manager->Render(device, sprites.get(), &eye, &view), S_OK);
  EXPECT_EQ(log, (Strings{"b.sprites0", "d.sprites0", "b.text0", "d.text0", "c.sprites56", "c.text56", "a.sprites57",
                          "a.text57"}));
  EXPECT_EQ(platform::Recorded().draws.size(), 4u);  // the container is cleared per layer: 2 + 1 + 1
}

class SpriteContainerTest : public GuiFixture {
 protected:
  void AddQuad(D3DTexture* texture = nullptr, float x1 = 0, float y1 = 0, float x2 = 1, float y2 = -1,
               D3DCOLOR color = 0xFFFFFFFF) {
    sprites->AddSprite(SpriteRecord{texture, x1, y1, x2, y2, color});
  }
  // The description and the first `count` vertices of the bound buffer.
  D3DVERTEXBUFFER_DESC Bound(std::vector<cSpriteContainer::Vertex>* vertices = nullptr, UINT count = 0) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    UINT offset = 0, stride = 0;
    D3DVERTEXBUFFER_DESC desc{};
    EXPECT_EQ(device->GetStreamSource(0, &buffer, &offset, &stride), S_OK);
    if (!buffer) return desc;
    EXPECT_EQ(stride, 24u);
    buffer->GetDesc(&desc);
    void* data = nullptr;
    if (vertices && SUCCEEDED(buffer->Lock(0, 0, &data, D3DLOCK_READONLY))) {
      vertices->resize(count);
      std::memcpy(vertices->data(), data, count * sizeof(cSpriteContainer::Vertex));
      buffer->Unlock();
    }
    buffer->Release();
    return desc;
  }
  HRESULT Render(const D3DXVECTOR3& eye = {0, 0, 0}, const D3DXMATRIX* view = nullptr) {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    return sprites->Render(device, &eye, view ? view : &identity);
  }
};

TEST_F(SpriteContainerTest, QuadsFaceTheCameraJustBeyondUnitDistance) {
  // A camera at (10, 20, 30) looking down +x: right is -z, up is +y.
  const D3DXVECTOR3 eye(10, 20, 30), at(11, 20, 30), upHint(0, 1, 0);
  D3DXMATRIX view;
  D3DXMatrixLookAtLH(&view, &eye, &at, &upHint);
  AddQuad();
  AddQuad(nullptr, -0.5f, 0.25f, 0.5f, -0.25f, 0x80FF0000);
  ASSERT_EQ(Render(eye, &view), S_OK);
  std::vector<cSpriteContainer::Vertex> v;
  Bound(&v, 8);
  ASSERT_EQ(v.size(), 8u);
  const D3DXVECTOR3 q(11.001f, 20, 30), right(0, 0, -1), up(0, 1, 0);  // q: eye + 1.001 * forward
  const struct { D3DXVECTOR3 p; float u, v; } expected[] = {
      {q - right * 0.5f - up * 0.25f, 0, 1}, {q - right * 0.5f + up * 0.25f, 0, 0},
      {q + right * 0.5f - up * 0.25f, 1, 1}, {q + right * 0.5f + up * 0.25f, 1, 0}};
  for (int i = 0; i < 4; ++i) {
    const D3DXVECTOR3 error = D3DXVECTOR3(v[4 + i].x, v[4 + i].y, v[4 + i].z) - expected[i].p;
    EXPECT_LT(D3DXVec3Length(&error), 2e-4f) << i;
    EXPECT_EQ(std::tuple(v[4 + i].u, v[4 + i].v, v[4 + i].color),
              std::tuple(expected[i].u, expected[i].v, 0x80FF0000u));
  }
  EXPECT_EQ(v[0].color, 0xFFFFFFFFu);
}

TEST_F(SpriteContainerTest, DrawsOneStripPerRecordWithItsTextureUpToOneRecordLessThanItsCapacity) {
  D3DTexture image(nullptr), missing(nullptr);  // missing: a file that failed to load
  ASSERT_EQ(D3DXCreateTexture(device, 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &image.texture), S_OK);
  AddQuad(&image);
  AddQuad();
  AddQuad(&missing);
  ASSERT_EQ(Render(), S_OK);
  const auto& draws = platform::Recorded().draws;
  ASSERT_EQ(draws.size(), 3u);
  for (UINT i = 0; i < 3; ++i) {
    EXPECT_EQ(std::tuple(draws[i].type, draws[i].start, draws[i].primitiveCount, draws[i].fvf),
              std::tuple(D3DPT_TRIANGLESTRIP, 4 * i, 2u, 0x142u));
    EXPECT_EQ(draws[i].textures[0], i == 0 ? image.texture : nullptr);
  }
  DWORD colorArg = 0, zEnable = 0;
  device->GetTextureStageState(0, D3DTSS_COLORARG1, &colorArg);
  device->GetRenderState(D3DRS_ZENABLE, &zEnable);
  EXPECT_EQ(std::tuple(colorArg, zEnable), std::tuple(DWORD{D3DTA_DIFFUSE}, DWORD{TRUE}));  // the last had no texture
  sprites->Clear();
  platform::Recorded().Clear();
  ASSERT_EQ(Render(), S_OK);
  EXPECT_TRUE(draws.empty());
  for (int i = 0; i < 130; ++i) AddQuad();
  EXPECT_EQ(sprites->GetSprites().size(), 127u);
  ASSERT_EQ(Render(), S_OK);
  EXPECT_EQ(draws.size(), 127u);
  for (UINT capacity : {0u, 1u}) {
    cSpriteContainer tiny(device, nullptr, capacity);
    tiny.AddSprite(SpriteRecord{});
    EXPECT_TRUE(tiny.GetSprites().empty());
  }
}

// The device is reset around the container as the editor does on device loss.
TEST_F(SpriteContainerTest, BufferIsManagedAtFirstAndDynamicDefaultAcrossDeviceResets) {
  AddQuad();
  ASSERT_EQ(Render(), S_OK);
  D3DVERTEXBUFFER_DESC desc = Bound();
  EXPECT_EQ(std::tuple(desc.Pool, desc.Size, desc.FVF), std::tuple(D3DPOOL_MANAGED, 128u * 96u, 0x142u));
  ASSERT_EQ(device->EndScene(), S_OK);
  for (int loss = 0; loss < 2; ++loss) {
    sprites->OnLostDevice();
    ASSERT_EQ(device->Reset(&parameters), S_OK);  // nothing of the container's is left in the default pool
    ASSERT_EQ(device->BeginScene(), S_OK);
    platform::Recorded().Clear();
    EXPECT_TRUE(FAILED(Render()));  // no buffer until the reset hook runs
    sprites->OnResetDevice(device);
    ASSERT_EQ(Render(), S_OK);
    desc = Bound();
    EXPECT_EQ(std::tuple(desc.Pool, desc.Usage & D3DUSAGE_DYNAMIC, desc.Size),
              std::tuple(D3DPOOL_DEFAULT, DWORD{D3DUSAGE_DYNAMIC}, 128u * 96u));
    EXPECT_EQ(platform::Recorded().draws.size(), 1u);
    ASSERT_EQ(device->EndScene(), S_OK);
  }
  ASSERT_EQ(device->BeginScene(), S_OK);
}

}  // namespace
