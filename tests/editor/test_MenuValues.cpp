#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "editor/MenuValues.h"
#include "gui/cTextarea.h"

namespace {

// Id 7 is used by a text area, then an edit box, a checkbox and a combobox, as
// ids repeat in the editor's menus; each lookup must find the control of its kind.
class MenuValuesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    menu.Add(new cTextarea(7, D3DXVECTOR2(0, 0), 0.1f, L"label", nullptr));
    box = menu.Add(new cEditbox(7, D3DXVECTOR2(0, 0), D3DXVECTOR2(0.1f, 0.1f), D3DXVECTOR2(0, 0), L"12.9", nullptr,
                                nullptr));
    check = menu.Add(new cCheckbox(7, 0, nullptr, nullptr, D3DXVECTOR2(0, 0), 0.1f, 0.1f));
    list = menu.Add(new cCombobox(7, 0, D3DXVECTOR2(0, 0), 0.25f, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    list->AddItem(L"a");
    list->AddItem(L"b");
  }

  cMenu menu{1, nullptr};
  cEditbox* box = nullptr;
  cCheckbox* check = nullptr;
  cCombobox* list = nullptr;
};

TEST_F(MenuValuesTest, LookupsFindTheirKindAndReadItsValueOrTheFallback) {
  EXPECT_EQ(FindEditbox(&menu, 7), box);
  EXPECT_EQ(FindCheckbox(&menu, 7), check);
  EXPECT_EQ(FindCombobox(&menu, 7), list);
  for (const cMenu* source : {static_cast<const cMenu*>(nullptr), static_cast<const cMenu*>(&menu)}) {
    const int id = source ? 8 : 7;
    EXPECT_EQ(FindEditbox(source, id), nullptr);
    EXPECT_EQ(FindCheckbox(source, id), nullptr);
    EXPECT_EQ(FindCombobox(source, id), nullptr);
    EXPECT_EQ(std::tuple(EditboxValue(source, id, -3.0f), EditboxInt(source, id, 9), EditboxByte(source, id, 4)),
              std::tuple(-3.0f, 9, BYTE{4}));
    EXPECT_FALSE(IsChecked(source, id));
    EXPECT_EQ(SelectedItem(source, id), -1);
  }
  EXPECT_EQ(std::tuple(EditboxValue(&menu, 7), EditboxInt(&menu, 7), EditboxByte(&menu, 7)),
            std::tuple(12.9f, 12, BYTE{12}));
  EXPECT_EQ(std::tuple(IsChecked(&menu, 7), SelectedItem(&menu, 7)), std::tuple(false, -1));
  check->SetChecked(1);
  list->Select(2);
  EXPECT_EQ(std::tuple(IsChecked(&menu, 7), SelectedItem(&menu, 7)), std::tuple(true, 2));
  box->SetText(L"300");
  EXPECT_EQ(EditboxByte(&menu, 7), 255);
  box->SetText(L"99999999999999999999");
  EXPECT_EQ(EditboxInt(&menu, 7), std::numeric_limits<int>::max());
}

TEST(MenuValueConversions, SaturateInsteadOfOverflowing) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float value;
    int integer;
    BYTE byte;
  };
  const Case cases[] = {
      {0.0f, 0, 0},          {12.9f, 12, 12},     {-12.9f, -12, 0},   {254.99f, 254, 254},
      {255.0f, 255, 255},    {300.0f, 300, 255},  {-10.0f, -10, 0},
      {2147483520.0f, 2147483520, 255},  // the largest float below 2^31
      {2147483648.0f, std::numeric_limits<int>::max(), 255},
      {-2147483648.0f, std::numeric_limits<int>::min(), 0},
      {-3.0e9f, std::numeric_limits<int>::min(), 0},
      {inf, std::numeric_limits<int>::max(), 255},
      {-inf, std::numeric_limits<int>::min(), 0},
      {nan, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(SaturatingInt(c.value), c.integer);
    EXPECT_EQ(ClampByte(c.value), c.byte);
  }
}

}  // namespace
