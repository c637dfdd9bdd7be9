#include <gtest/gtest.h>

#include <string>

#include "base/cException.h"

namespace {

TEST(Exception, KeepsMessageUpTo254Characters) {
  EXPECT_STREQ(cException(L"Device lost").GetMessage(), L"Device lost");
  EXPECT_STREQ(cException(nullptr).GetMessage(), L"Unknown exception. Closing Application");
  const std::wstring exact(254, L'a');
  EXPECT_EQ(cException(exact.c_str()).GetMessage(), exact);
  EXPECT_EQ(cException((exact + L"cut").c_str()).GetMessage(), exact);
}

}  // namespace
