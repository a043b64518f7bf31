// Arithmetic that rounds once per operation, to the width of its type, on
// every machine and whatever the compiler's flags.
//
// Two things stand between C++ source and that promise:
//
// - Excess precision. The x87 unit of i386 keeps every intermediate result
//   in an 80-bit register with a 64-bit significand, so a float or double
//   "result" is not rounded to its width until it happens to be stored
//   (FLT_EVAL_METHOD 2), and GCC does not fix that for C++.
// - Contraction. A compiler allowed to contract fuses a * b + c into one
//   fused multiply-add that rounds once instead of twice.
//
// So every operation's result goes through memory of its own width
// (`stored`): that rounds an x87 register to the width, and no fused
// operation can reach across it. On the x87, `precision_scope` also sets
// the unit to round significands to 53 bits, which makes each register
// result one correct rounding of the exact result:
//
// - double operations (the circle): the exact product is rounded once to
//   53 bits. With a float radius, every product lies in double's normal
//   range (2^-298 to 2^258), so the store to double does not round again.
// - float operations (the square and the cuboid): a product of two floats
//   (48 bits) is exact at 53 bits, and so is a sum that lands below float's
//   normal range; the store is then the only rounding. Any other sum is
//   rounded to 53 bits and then to 24 on the store. Rounding twice is
//   harmless when the first precision is at least twice the second plus
//   two (53 >= 2 * 24 + 2): the result equals the single correct rounding.
//   An overflow stays finite in the register, whose exponent is wider, and
//   becomes infinity on the store, as one rounding would make it.
//
// Where SSE2 or any IEEE unit without excess precision does the arithmetic
// (FLT_EVAL_METHOD 0), the scope does nothing and the stores cost a few
// instructions.
#pragma once

#include <cfloat>

#if defined(__FAST_MATH__) || __FINITE_MATH_ONLY__ ||                \
    defined(__ASSOCIATIVE_MATH__) || defined(__RECIPROCAL_MATH__) || \
    defined(__NO_SIGNED_ZEROS__)
#error \
    "shapecalc must not be built with -ffast-math or any of its parts: it would print other digits"
#endif

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#define SHAPECALC_X87_CONTROL 1
#else
#define SHAPECALC_X87_CONTROL 0
#endif

#if FLT_EVAL_METHOD == 2 && !SHAPECALC_X87_CONTROL
#error \
    "this machine evaluates floating point with excess precision that shapecalc cannot control"
#elif FLT_EVAL_METHOD != 0 && FLT_EVAL_METHOD != 2
#error "unknown FLT_EVAL_METHOD: shapecalc cannot promise its digits here"
#endif
#undef SHAPECALC_X87_CONTROL

namespace float_width {

// `x`, rounded to the width of T by a trip through memory.
template <class T>
inline T stored(T x) {
#if defined(__GNUC__)
  __asm__("" : "+m"(x));
  return x;
#else
  volatile T v = x;
  return v;
#endif
}

template <class T>
inline T mul(T a, T b) {
  return stored(a * b);
}

template <class T>
inline T add(T a, T b) {
  return stored(a + b);
}

// For its lifetime, x87 significands are rounded to 53 bits; elsewhere
// nothing.
class precision_scope {
 public:
#if FLT_EVAL_METHOD == 2
  precision_scope() {
    __asm__ volatile("fnstcw %0" : "=m"(saved_));
    // Precision control, bits 8-9 of the control word: 10b is 53 bits.
    const unsigned short doubled = (saved_ & ~0x0300u) | 0x0200u;
    __asm__ volatile("fldcw %0" : : "m"(doubled));
  }
  ~precision_scope() { __asm__ volatile("fldcw %0" : : "m"(saved_)); }

 private:
  unsigned short saved_;
#else
  precision_scope() = default;
#endif
  precision_scope(const precision_scope&) = delete;
  precision_scope& operator=(const precision_scope&) = delete;
};

}  // namespace float_width
