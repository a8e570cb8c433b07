#pragma once

// What the standard library's <cmath> overloads call and Wine's math.h does not declare: the
// long double forms (in the MSVC ABI long double is double, so each is the double function, as
// in Microsoft's own header), and a few functions that ucrtbase.dll exports.
#include_next <math.h>

#ifdef __cplusplus
extern "C" {
#endif
__declspec(dllimport) double __cdecl erfc(double x);
__declspec(dllimport) float __cdecl erfcf(float x);
__declspec(dllimport) double __cdecl nexttoward(double x, long double toward);
__declspec(dllimport) float __cdecl nexttowardf(float x, long double toward);
#ifdef __cplusplus
}
#endif

#define QZ_LONG_DOUBLE_1(name)                           \
    static __inline long double name##l(long double x) { \
        return name((double)x);                          \
    }
#define QZ_LONG_DOUBLE_2(name)                                          \
    static __inline long double name##l(long double x, long double y) { \
        return name((double)x, (double)y);                              \
    }
QZ_LONG_DOUBLE_1(acos)
QZ_LONG_DOUBLE_1(asin)
QZ_LONG_DOUBLE_1(atan)
QZ_LONG_DOUBLE_2(atan2)
QZ_LONG_DOUBLE_1(ceil)
QZ_LONG_DOUBLE_1(cos)
QZ_LONG_DOUBLE_1(cosh)
QZ_LONG_DOUBLE_1(exp)
QZ_LONG_DOUBLE_1(fabs)
QZ_LONG_DOUBLE_1(floor)
QZ_LONG_DOUBLE_2(fmod)
QZ_LONG_DOUBLE_1(log)
QZ_LONG_DOUBLE_1(log10)
QZ_LONG_DOUBLE_2(pow)
QZ_LONG_DOUBLE_1(sin)
QZ_LONG_DOUBLE_1(sinh)
QZ_LONG_DOUBLE_1(sqrt)
QZ_LONG_DOUBLE_1(tan)
QZ_LONG_DOUBLE_1(tanh)
QZ_LONG_DOUBLE_1(acosh)
QZ_LONG_DOUBLE_1(asinh)
QZ_LONG_DOUBLE_1(atanh)
QZ_LONG_DOUBLE_1(cbrt)
QZ_LONG_DOUBLE_1(erf)
QZ_LONG_DOUBLE_1(erfc)
QZ_LONG_DOUBLE_1(exp2)
QZ_LONG_DOUBLE_1(expm1)
QZ_LONG_DOUBLE_2(fdim)
QZ_LONG_DOUBLE_2(fmax)
QZ_LONG_DOUBLE_2(fmin)
QZ_LONG_DOUBLE_2(hypot)
QZ_LONG_DOUBLE_1(lgamma)
QZ_LONG_DOUBLE_1(log1p)
QZ_LONG_DOUBLE_1(log2)
QZ_LONG_DOUBLE_1(logb)
QZ_LONG_DOUBLE_1(nearbyint)
QZ_LONG_DOUBLE_2(nextafter)
QZ_LONG_DOUBLE_2(nexttoward)
QZ_LONG_DOUBLE_2(remainder)
QZ_LONG_DOUBLE_1(tgamma)
#undef QZ_LONG_DOUBLE_1
#undef QZ_LONG_DOUBLE_2
static __inline long double frexpl(long double x, int* exponent) {
    return frexp((double)x, exponent);
}
static __inline long double ldexpl(long double x, int exponent) {
    return ldexp((double)x, exponent);
}
static __inline int ilogbl(long double x) {
    return ilogb((double)x);
}
static __inline long double remquol(long double x, long double y, int* quotient) {
    return remquo((double)x, (double)y, quotient);
}
static __inline long double scalbnl(long double x, int exponent) {
    return scalbn((double)x, exponent);
}
static __inline long double scalblnl(long double x, long exponent) {
    return scalbln((double)x, exponent);
}
static __inline long double modfl(long double x, long double* integral) {
    double whole;
    const double fraction = modf((double)x, &whole);
    *integral = whole;
    return fraction;
}
