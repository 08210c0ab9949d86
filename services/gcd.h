#ifndef GCD_H
#define GCD_H

// Greatest common divisor of the magnitudes; GCD(a, 0) is |a| and GCD(0, 0) is 0.
int GCD(int a, int b);

#endif
