/*
 * vekkit fixed-point maths: 16.16 arithmetic, elementary functions and
 * random numbers.
 *
 * A VEKFIXED holds value x 65536 in a signed 32-bit integer: 0x10000 is 1.0,
 * 0x8000 is 0.5. Angles are in radians. Everything is integer arithmetic
 * (polynomials with fixed coefficients, Newton iterations, range reduction),
 * so results are the same on every machine. Every function is pure except
 * the two random functions, which share one unsynchronised generator.
 */
#ifndef VEKKIT_FIXMATH_H
#define VEKKIT_FIXMATH_H

#include <vekkit/records.h>

/* a x b: the exact product shifted right by 16, so it rounds toward minus
   infinity (vekFixMul(-1, 1) is -1 raw); a product that does not fit wraps. */
VEKKIT_EXPORT VEKFIXED VEKAPI vekFixMul(VEKFIXED a, VEKFIXED b);

/* a / b, truncated toward zero. Never traps: a quotient beyond the 32-bit
   range saturates to 0x7FFFFFFF or -0x80000000 by its sign, and so does a
   division by zero (taking the sign of a; 0 / 0 gives 0). The functions
   below that can divide by zero (vekFixTan where the cosine is 0,
   vekFixATan2(0, 0)) inherit this. */
VEKKIT_EXPORT VEKFIXED VEKAPI vekFixDiv(VEKFIXED a, VEKFIXED b);

/* a rounded to a plain integer, halves upward: 2.5 gives 3, -2.5 gives -2.
   Values from 32767.5 up give 32768. */
VEKKIT_EXPORT LONG VEKAPI vekFixRound(VEKFIXED a);

/* A random integer in [0, n) for n from 1 to 32767. Only the low 16 bits of
   n count, as a signed 16-bit value (a negative one gives values from n to
   0). The generator is seeded from GetTickCount on the first call of this or
   vekFixRand in the process. */
VEKKIT_EXPORT LONG VEKAPI vekIntRand(LONG n);

/* A random fixed-point number in [0, n) for positive n; same generator. */
VEKKIT_EXPORT VEKFIXED VEKAPI vekFixRand(VEKFIXED n);

/* The square root of x; 0 for x <= 0. */
VEKKIT_EXPORT VEKFIXED VEKAPI vekFixSqrt(VEKFIXED x);

/* The integer square root of n, rounded down; n itself for n < 2 (so a
   negative n comes back unchanged). */
VEKKIT_EXPORT LONG VEKAPI vekLongSqrt(LONG n);

/* Sine, cosine and tangent of an angle in radians. The tangent saturates
   where the cosine is 0. */
VEKKIT_EXPORT VEKFIXED VEKAPI vekFixSin(VEKFIXED angle);
VEKKIT_EXPORT VEKFIXED VEKAPI vekFixCos(VEKFIXED angle);
VEKKIT_EXPORT VEKFIXED VEKAPI vekFixTan(VEKFIXED angle);

/* The angle of the point (x, y) in [-pi, pi]: y comes first, as in C's
   atan2. The origin gives 1 raw (about 0). */
VEKKIT_EXPORT VEKFIXED VEKAPI vekFixATan2(VEKFIXED y, VEKFIXED x);

/* The arc tangent of x, in [-pi/2, pi/2]. */
VEKKIT_EXPORT VEKFIXED VEKAPI vekFixATan(VEKFIXED x);

/* The arc sine of x in [-1, 1], in [-pi/2, pi/2]: vekFixASin(0x10000) is
   about pi/2. Each of the two names returns the function it names, with y
   and x of vekFixATan2 in the order that gives it. */
VEKKIT_EXPORT VEKFIXED VEKAPI vekFixASin(VEKFIXED x);

/* The arc cosine of x in [-1, 1], in [0, pi]: vekFixACos(0x10000) is about
   0, vekFixACos(0) about pi/2. */
VEKKIT_EXPORT VEKFIXED VEKAPI vekFixACos(VEKFIXED x);

/* Natural and base-10 logarithms of x > 0. For x <= 0 the result is the
   most negative base-2 logarithm, -0x80000000, divided by log2 of the base
   (vekFixLog(0) is -1488529512 raw). */
VEKKIT_EXPORT VEKFIXED VEKAPI vekFixLog(VEKFIXED x);
VEKKIT_EXPORT VEKFIXED VEKAPI vekFixLog10(VEKFIXED x);

/* e^x and 10^x. Results of 2^15 and more saturate at 0x7FFFFFFF; results of
   2^-15 and less give its reciprocal, 2 raw. */
VEKKIT_EXPORT VEKFIXED VEKAPI vekFixExp(VEKFIXED x);
VEKKIT_EXPORT VEKFIXED VEKAPI vekFixExp10(VEKFIXED x);

/* base raised to exponent. A whole exponent from 0 to 256 is applied by
   repeated squaring and multiplication with vekFixMul (so 2^3 is exactly 8,
   and a result that does not fit wraps), which works for negative bases too;
   any other exponent goes through the base-2 logarithm and exponential and
   needs base > 0. A base of 0 gives 0, also for exponent 0. */
VEKKIT_EXPORT VEKFIXED VEKAPI vekFixPow(VEKFIXED base, VEKFIXED exponent);

#endif
