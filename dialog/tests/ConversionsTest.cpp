#include "dialog/Conversions.h"

#include <gtest/gtest.h>

namespace {

TEST(Conversions, StrKeepsASpaceForTheSignThePlainConversionDoesNot) {
  EXPECT_EQ(Str(3), QStringLiteral(" 3"));
  EXPECT_EQ(Str(0), QStringLiteral(" 0"));
  EXPECT_EQ(Str(-3), QStringLiteral("-3"));
  EXPECT_EQ(PlainText(3), QStringLiteral("3"));
  EXPECT_EQ(PlainText(-3), QStringLiteral("-3"));
}

TEST(Conversions, ValReadsTheLongestNumberAfterLeadingSpaces) {
  const struct {
    const char* text;
    double number;
  } cases[] = {
      {" 3", 3},     {"3", 3},         {"  -2", -2}, {"2x", 2},   {"x2", 0},
      {"", 0},       {" ", 0},         {"1.5", 1.5}, {".5", 0.5}, {"-", 0},
      {"4e1", 40},   {"4e", 4},        {"4e+", 4},   {"12 3", 12}, {"１", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(Val(QString::fromUtf8(c.text)), c.number) << '"' << c.text << '"';
}

}  // namespace
