#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "NumTextSupport.h"
#include "numtext/NumText.h"

namespace {

// Just enough of a natural number to hold 10^4608 and compare it with M × 2^E exactly.
class BigNat {
 public:
  explicit BigNat(uint64_t v) {
    while (v != 0) {
      words_.push_back(static_cast<uint32_t>(v));
      v >>= 32;
    }
  }
  void MultiplyBy(uint32_t factor) {
    uint64_t carry = 0;
    for (uint32_t& w : words_) {
      const uint64_t product = static_cast<uint64_t>(w) * factor + carry;
      w = static_cast<uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0) words_.push_back(static_cast<uint32_t>(carry));
  }
  void ShiftLeft(int bits) {
    if (words_.empty()) return;
    words_.insert(words_.begin(), static_cast<size_t>(bits / 32), 0u);
    const int rest = bits % 32;
    if (rest == 0) return;
    uint32_t carry = 0;
    for (uint32_t& w : words_) {
      const uint32_t next = w >> (32 - rest);
      w = (w << rest) | carry;
      carry = next;
    }
    if (carry != 0) words_.push_back(carry);
  }
  friend int Compare(const BigNat& a, const BigNat& b) {
    if (a.words_.size() != b.words_.size()) return a.words_.size() < b.words_.size() ? -1 : 1;
    for (size_t i = a.words_.size(); i-- > 0;) {
      if (a.words_[i] != b.words_[i]) return a.words_[i] < b.words_[i] ? -1 : 1;
    }
    return 0;
  }
  // |a - b|
  friend BigNat Distance(const BigNat& a, const BigNat& b) {
    const bool aLarger = Compare(a, b) >= 0;
    BigNat result = aLarger ? a : b;
    const BigNat& smaller = aLarger ? b : a;
    int64_t borrow = 0;
    for (size_t i = 0; i < result.words_.size(); ++i) {
      int64_t d = static_cast<int64_t>(result.words_[i]) - borrow -
                  (i < smaller.words_.size() ? static_cast<int64_t>(smaller.words_[i]) : 0);
      borrow = d < 0 ? 1 : 0;
      result.words_[i] = static_cast<uint32_t>(d + (borrow << 32));
    }
    while (!result.words_.empty() && result.words_.back() == 0) result.words_.pop_back();
    return result;
  }

 private:
  std::vector<uint32_t> words_;  // least significant first
};

BigNat PowerOfTen(int n) {
  BigNat p(1);
  for (int i = 0; i < n; ++i) p.MultiplyBy(10);
  return p;
}

// Every factor the scaling can use: 10^0..10^31, 10^32..10^480, 10^512..10^4608.
std::vector<int> TablePowers() {
  std::vector<int> powers;
  for (int n = 0; n < 32; ++n) powers.push_back(n);
  for (int n = 32; n <= 480; n += 32) powers.push_back(n);
  for (int n = 512; n <= 4608; n += 512) powers.push_back(n);
  return powers;
}

TEST(PowerTables, EveryFactorIsTheExtendedValueNearestToItsPowerOfTen) {
  const std::vector<int> powers = TablePowers();
  ASSERT_EQ(powers.size(), 56u);
  for (int n : powers) {
    // Scaling 1 by a single table power multiplies by that factor alone, exactly.
    const Extended factor = ScaleInExtended(1, n);
    const uint64_t m = SignificandOf(factor);
    const int e = (SignAndExponentOf(factor) & 0x7FFF) - 16383 - 63;
    ASSERT_EQ(SignAndExponentOf(factor) >> 15, 0) << "10^" << n;
    ASSERT_NE(m >> 63, 0u) << "10^" << n << " is not normalised";

    // factor = m × 2^e. Everything is scaled by 2^shift so that half an ulp, 2^(e-1),
    // and a quarter ulp at the bottom of a binade, 2^(e-2), are whole numbers.
    const int shift = e - 2 < 0 ? 2 - e : 0;
    BigNat entry(m);
    entry.ShiftLeft(e + shift);
    BigNat exact = PowerOfTen(n);
    exact.ShiftLeft(shift);
    // Below 2^63 × 2^e the neighbour is only half an ulp away.
    const bool bottomOfBinade = m == 0x8000000000000000u && Compare(entry, exact) > 0;
    BigNat halfGap(1);
    halfGap.ShiftLeft(e + shift - (bottomOfBinade ? 2 : 1));
    const int c = Compare(Distance(entry, exact), halfGap);
    EXPECT_TRUE(c < 0 || (c == 0 && m % 2 == 0))
        << "10^" << n << " is not rounded to nearest: significand " << std::hex << m;
  }
}

TEST(ScaleByPowerOfTen, LimitsAndDirection) {
  const Extended inf = std::numeric_limits<Extended>::infinity();
  struct Case {
    Extended x;
    int n;
    Extended expected;
  } cases[] = {
      {1.5L, 0, 1.5L},        {3, 2, 300},    {-7, 27, -7e27L}, {1, -1, 0.1L},  // one correctly rounded division
      {123456, -3, 123.456L}, {1, 5120, inf}, {0, 5120, inf},                   // regardless of x
      {-2, 9999, inf},        {1, 5119, inf},                                   // 10^5119 overflows on the way
      {1e4000L, -5120, 0},    {1, -5119, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScaleInExtended(c.x, c.n), c.expected) << static_cast<double>(c.x) << " x 10^" << c.n;
  }
}

}  // namespace
