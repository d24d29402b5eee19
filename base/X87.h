// The x87 floating-point unit's control and status words. Calculator numbers are
// 80-bit extended values, and their results depend on the precision and rounding
// fields of the control word, so every computation that must be exact sets the
// word it needs and gives the caller's back.
#ifndef KWIX_BASE_X87_H
#define KWIX_BASE_X87_H

#include <cstdint>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "calculator numbers need the 80-bit extended format with a 64-bit significand");

using Extended = long double;

// All six exceptions masked, 64-bit precision, round to nearest, infinity bit set.
constexpr uint16_t kMaskedExtendedControlWord = 0x133F;
// What a new process starts with: the same without the (ignored) infinity bit.
constexpr uint16_t kStandingControlWord = 0x037F;

// Exception flags of the status word.
constexpr uint16_t kX87Invalid = 0x0001;
constexpr uint16_t kX87Overflow = 0x0008;
constexpr uint16_t kX87AllFlags = 0x003F;

inline uint16_t GetX87ControlWord() {
  uint16_t cw;
  __asm__ __volatile__("fnstcw %0" : "=m"(cw) : : "memory");
  return cw;
}

inline void SetX87ControlWord(uint16_t cw) { __asm__ __volatile__("fldcw %0" : : "m"(cw) : "memory"); }

inline uint16_t GetX87StatusWord() {
  uint16_t sw;
  __asm__ __volatile__("fnstsw %0" : "=m"(sw) : : "memory");
  return sw;
}

inline void ClearX87Exceptions() { __asm__ __volatile__("fnclex" : : : "memory"); }

// Forces v through memory at this point, so that no arithmetic on it is moved across the
// control-word changes of MaskedExtendedScope.
inline void Settle(Extended& v) { __asm__ __volatile__("" : "+m"(v)); }

// For the life of the scope: everything masked, 64-bit precision, round to nearest.
// On leaving, pending flags are cleared and the caller's control word comes back.
class MaskedExtendedScope {
 public:
  MaskedExtendedScope() : saved_(GetX87ControlWord()) {
    ClearX87Exceptions();
    SetX87ControlWord(kMaskedExtendedControlWord);
  }
  ~MaskedExtendedScope() {
    ClearX87Exceptions();
    SetX87ControlWord(saved_);
  }
  MaskedExtendedScope(const MaskedExtendedScope&) = delete;
  MaskedExtendedScope& operator=(const MaskedExtendedScope&) = delete;

  // Exception flags raised since the scope began.
  uint16_t RaisedFlags() const { return GetX87StatusWord() & kX87AllFlags; }

 private:
  uint16_t saved_;
};

#endif
