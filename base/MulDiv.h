// MulDiv: a × b / c with the product in 64 bits and the quotient rounded to the
// nearest integer, halves away from zero; -1 when c is 0 or the result does not fit.
// Windows builds use kernel32's own; native builds use the same rounding reproduced here.
#ifndef KWIX_BASE_MULDIV_H
#define KWIX_BASE_MULDIV_H

#include <cstdint>

#ifdef _WIN32
extern "C" __declspec(dllimport) int __stdcall MulDiv(int number, int numerator, int denominator);
#else
int MulDiv(int number, int numerator, int denominator);
#endif

// The rounding of MulDiv without the system; kept in every build so the Windows
// tests can hold it against kernel32's.
int PortableMulDiv(int number, int numerator, int denominator);

#endif
