#include <gtest/gtest.h>

#include <string>

#include "base/cException.h"

namespace {

TEST(Exception, KeepsMessageUpTo254Characters) {
  EXPECT_STREQ(cException(L"Device lost").GetMessage(), L"Device lost");
  EXPECT_STREQ(cException(nullptr).GetMessage(), L"Unknown exception. Closing Application");

  const std::wstring exact(254, L'a');
  EXPECT_EQ(std::wstring(cException(exact.c_str()).GetMessage()), exact);
  const std::wstring longer = std::wstring(254, L'b') + L"cut";
  EXPECT_EQ(std::wstring(cException(longer.c_str()).GetMessage()), std::wstring(254, L'b'));
}

}  // namespace
