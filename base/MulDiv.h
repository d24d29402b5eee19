// MulDiv: a × b / c with the product in 64 bits and the quotient rounded to the
// nearest integer, halves away from zero; -1 when c is 0 or the result does not fit.
// Windows builds use kernel32's own; native builds the same rounding reproduced here.
#ifndef KWIX_BASE_MULDIV_H
#define KWIX_BASE_MULDIV_H

#ifdef _WIN32
extern "C" __declspec(dllimport) int __stdcall MulDiv(int number, int numerator, int denominator);
#else
int MulDiv(int number, int numerator, int denominator);
#endif

#endif
