#include "base/MulDiv.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct MulDivCase {
  int a, b, c, expected;
};

TEST(MulDiv, RoundsHalvesAwayFromZero) {
  const MulDivCase cases[] = {
      {27, 3, 2, 41},
      {-27, 3, 2, -41},
      {27, -3, 2, -41},
      {27, 3, -2, -41},
      {-27, -3, -2, -41},
      {20, 4, 3, 27},
      {20, 5, 2, 50},
      {8, 96, 72, 11},
      {8, 120, 72, 13},
      {8, 144, 72, 16},
      {5, 2, 5, 2},
      {20, 2, 5, 8},
      {7, 2, 5, 3},
      {1, 1, 3, 0},
      {2, 1, 3, 1},
      {-1, 1, 2, -1},
      {1, 1, 2, 1},
      {0, 5, 3, 0},
      {0, -5, 3, 0},
      {1, 0, 7, 0},
      {5, 5, 0, -1},
      {0, 0, 0, -1},
      {65536, 65536, 2, -1},
      {2147483647, 1, 1, 2147483647},
      {-2147483647, 1, 1, -2147483647},
      {46341, 46341, 1, -1},
      {2147483647, 2, 2, 2147483647},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PortableMulDiv(c.a, c.b, c.c), c.expected) << c.a << " * " << c.b << " / " << c.c;
    EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << "system: " << c.a << " * " << c.b << " / " << c.c;
  }
}

// In the Windows build MulDiv is kernel32's: the reproduction must agree with it.
TEST(MulDiv, AgreesWithTheSystemOnRandomOperands) {
  std::mt19937 rng(20261206);
  std::uniform_int_distribution<int> small(-5000, 5000);
  std::uniform_int_distribution<int> any(-2147483647, 2147483647);
  for (int i = 0; i < 200000; ++i) {
    int a = (i & 1) ? small(rng) : any(rng);
    int b = (i & 2) ? small(rng) : any(rng) / 65536;
    int c = small(rng);
    ASSERT_EQ(PortableMulDiv(a, b, c), MulDiv(a, b, c)) << a << " * " << b << " / " << c;
  }
}

}  // namespace
