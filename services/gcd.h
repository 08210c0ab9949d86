#ifndef GCD_H
#define GCD_H

// Greatest common divisor of the magnitudes; GCD(a, 0) is |a| and GCD(0, 0) is 0.
// The one answer an int cannot hold, 2^31 (INT_MIN with 0 or with itself), wraps to INT_MIN.
int GCD(int a, int b);

#endif
