// The editor started on a headless device, with helpers that compare a built
// menu to its expected rows.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../app/EditorTest.h"
#include "ExpectedMenus.h"
#include "gui/cButton.h"
#include "gui/cCheckbox.h"
#include "gui/cCombobox.h"
#include "gui/cEditbox.h"
#include "gui/cGUIManager.h"
#include "gui/cSpriteContainer.h"
#include "gui/cTextarea.h"
#include "gui/cWindow.h"
#include "editor/cMenuBuilder.h"
#include "scene/D3DTexture.h"

class EditorMenuTest : public EditorTest {
 protected:
  // The items of a combobox, read through selection and then unselected again.
  static std::vector<std::wstring> ItemsOf(cCombobox* list) {
    std::vector<std::wstring> items;
    for (int i = 1; list->Select(i), list->GetSelected() == i; ++i) items.push_back(list->GetSelectedText());
    list->Reset();
    return items;
  }

  static std::wstring Joined(const std::vector<std::wstring>& items) {
    std::wstring joined;
    for (const std::wstring& item : items) joined += (joined.empty() ? L"" : L"|") + item;
    return joined;
  }

  D3DTexture* Cached(const wchar_t* name) const {
    return dynamic_cast<D3DTexture*>(editor->resourceCache->Find(name));
  }

  D3DTexture* FirstSprite(iGUIComponent* component) {
    cSpriteContainer* container = editor->spriteContainer;
    container->Clear();
    const bool visible = component->IsVisible();
    component->SetVisible(true);  // hidden groups draw nothing
    component->DrawSprites(container);
    component->SetVisible(visible);
    return container->GetSprites().empty() ? nullptr : container->GetSprites()[0].texture;
  }

  static ExpectedKind KindOf(iGUIComponent* c) {
    if (dynamic_cast<cWindow*>(c)) return kWindow;
    if (dynamic_cast<cButton*>(c)) return kButton;
    if (dynamic_cast<cTextarea*>(c)) return kText;
    if (dynamic_cast<cEditbox*>(c)) return kEditbox;
    if (dynamic_cast<cCheckbox*>(c)) return kCheckbox;
    return kCombobox;
  }

  // The rectangle's corners are inside, points just past its right and bottom edges are not.
  static void ExpectExtent(iGUIComponent* c, const ExpectedRow& row) {
    constexpr float e = 0.0005f;
    EXPECT_TRUE(c->HitTest(row.x + e, row.y - e));
    EXPECT_TRUE(c->HitTest(row.x + row.width - e, row.y - row.height + e));
    EXPECT_FALSE(c->HitTest(row.x + row.width + e, row.y - row.height / 2));
    EXPECT_FALSE(c->HitTest(row.x + row.width / 2, row.y - row.height - e));
  }

  // Opens the list and picks its first item; the id reported, -1 without items.
  static int PickFirst(cCombobox* list, float x, float y, float size) {
    list->OnClick(x + 7 * size / 8 + size / 14, y - size / 14);
    const GUIRect row = list->RowRect(1);
    const int event = list->OnClick(row.x + row.width / 2, row.y - row.height / 4);
    list->Reset();
    list->OnKey(1);
    return event;
  }

  static int Events(iGUIComponent* c, int* hover) {
    *hover = c->OnHover(0, 0);
    const int click = c->OnClick(0, 0);
    if (auto* box = dynamic_cast<cCheckbox*>(c)) box->SetChecked(0);
    return click;
  }

  void ExpectRow(iGUIComponent* c, const ExpectedRow& row, const std::vector<int>& hidden) {
    ASSERT_EQ(KindOf(c), row.kind);
    EXPECT_EQ(c->GetId(), row.id);
    EXPECT_EQ(c->GetGroup(), row.group);
    EXPECT_EQ(c->GetLayer(), row.layer);
    EXPECT_FLOAT_EQ(c->GetPosition()[0], row.x);
    EXPECT_FLOAT_EQ(c->GetPosition()[1], row.y);
    EXPECT_EQ(c->IsVisible(), std::find(hidden.begin(), hidden.end(), row.group) == hidden.end());
    EXPECT_EQ(c->OnKey(1), row.escape == 0 ? -1 : row.escape);
    if (auto* list = dynamic_cast<cCombobox*>(c)) {
      EXPECT_NEAR(list->RowRect(1).width, 5 * row.width / 8, 1e-5f);
      if (row.text) {
        EXPECT_EQ(Joined(ItemsOf(list)), row.text);
        EXPECT_EQ(PickFirst(list, row.x, row.y, row.width), row.click);
      }
      return;
    }
    ExpectExtent(c, row);
    if (auto* area = dynamic_cast<cTextarea*>(c)) {
      EXPECT_STREQ(area->GetText(), row.text);
    }
    if (auto* box = dynamic_cast<cEditbox*>(c)) {
      EXPECT_STREQ(box->GetText(), row.text);
    }
    if (row.kind != kText) {
      const D3DTexture* image = row.image ? Cached(row.image) : nullptr;
      if (row.image) {
        EXPECT_NE(image, nullptr) << "not preloaded";
      }
      if (row.kind == kCheckbox) image = Cached(L"data/gui/checkbox_unchecked.tga");
      EXPECT_EQ(FirstSprite(c), image);
      int hover = 0;
      const int click = Events(c, &hover);
      const bool reports = row.kind == kButton || row.kind == kCheckbox;
      EXPECT_EQ(click, reports ? row.click : (row.kind == kEditbox ? 0 : -1));
      if (row.kind == kButton) {
        EXPECT_EQ(hover, row.hover);
      }
    }
  }

  // Every component of the menu, in order, against the rows.
  void ExpectMenu(const cMenu* menu, const std::vector<ExpectedRow>& rows, const std::vector<int>& hidden) {
    ASSERT_NE(menu, nullptr);
    const auto& components = menu->Components();
    ASSERT_EQ(components.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
      SCOPED_TRACE("menu " + std::to_string(menu->GetId()) + " row " + std::to_string(i));
      ExpectRow(components[i].get(), rows[i], hidden);
    }
  }

  void Choose(int event) { editor->OnGUIEvent(event, nullptr); }
};
