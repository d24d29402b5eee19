// Unbounded natural numbers, just enough to hold a decimal text's exact value against a
// binary floating-point value: products with powers of five and shifts by powers of two,
// then comparison and difference. Slow and plain on purpose: it is the reference.
#ifndef KWIX_TESTS_FUZZ_BIGNATURAL_H
#define KWIX_TESTS_FUZZ_BIGNATURAL_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

class BigNatural {
 public:
  BigNatural() = default;
  explicit BigNatural(uint64_t v) {
    while (v) {
      limbs_.push_back(static_cast<uint32_t>(v));
      v >>= 32;
    }
  }

  bool IsZero() const { return limbs_.empty(); }

  BigNatural& MulAdd(uint32_t factor, uint32_t addend) {
    uint64_t carry = addend;
    for (uint32_t& limb : limbs_) {
      const uint64_t t = uint64_t{limb} * factor + carry;
      limb = static_cast<uint32_t>(t);
      carry = t >> 32;
    }
    if (carry) limbs_.push_back(static_cast<uint32_t>(carry));
    Trim();
    return *this;
  }

  BigNatural& ShiftLeft(size_t bits) {
    if (IsZero() || bits == 0) return *this;
    const size_t words = bits / 32, rest = bits % 32;
    std::vector<uint32_t> out(words, 0);
    uint32_t carry = 0;
    for (uint32_t limb : limbs_) {
      out.push_back(rest ? (limb << rest) | carry : limb);
      carry = rest ? limb >> (32 - rest) : 0;
    }
    if (carry) out.push_back(carry);
    limbs_.swap(out);
    return *this;
  }

  friend BigNatural operator*(const BigNatural& a, const BigNatural& b) {
    BigNatural r;
    if (a.IsZero() || b.IsZero()) return r;
    r.limbs_.assign(a.limbs_.size() + b.limbs_.size(), 0);
    for (size_t i = 0; i < a.limbs_.size(); ++i) {
      uint64_t carry = 0;
      for (size_t j = 0; j < b.limbs_.size(); ++j) {
        const uint64_t t = uint64_t{a.limbs_[i]} * b.limbs_[j] + r.limbs_[i + j] + carry;
        r.limbs_[i + j] = static_cast<uint32_t>(t);
        carry = t >> 32;
      }
      r.limbs_[i + b.limbs_.size()] = static_cast<uint32_t>(carry);
    }
    r.Trim();
    return r;
  }

  // -1, 0 or 1.
  static int Compare(const BigNatural& a, const BigNatural& b) {
    if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
    for (size_t i = a.limbs_.size(); i-- > 0;) {
      if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
    }
    return 0;
  }

  // |a - b|.
  static BigNatural Distance(const BigNatural& a, const BigNatural& b) {
    const bool aLarger = Compare(a, b) >= 0;
    const BigNatural& hi = aLarger ? a : b;
    const BigNatural& lo = aLarger ? b : a;
    BigNatural r = hi;
    int64_t borrow = 0;
    for (size_t i = 0; i < r.limbs_.size(); ++i) {
      int64_t t = int64_t{r.limbs_[i]} - (i < lo.limbs_.size() ? lo.limbs_[i] : 0) - borrow;
      borrow = t < 0;
      r.limbs_[i] = static_cast<uint32_t>(t + (borrow ? (int64_t{1} << 32) : 0));
    }
    r.Trim();
    return r;
  }

 private:
  void Trim() {
    while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
  }
  std::vector<uint32_t> limbs_;  // least significant first
};

// 5^n, kept once computed (a deque: references stay valid as it grows).
inline const BigNatural& PowerOfFive(size_t n) {
  static std::deque<BigNatural> powers{BigNatural(1)};
  while (powers.size() <= n) {
    BigNatural next = powers.back();
    powers.push_back(next.MulAdd(5, 0));
  }
  return powers[n];
}

#endif
