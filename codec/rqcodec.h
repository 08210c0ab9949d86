#ifndef RQCODEC_H
#define RQCODEC_H

// The codec library: decoding, playing and probing media through a C interface.
// Handles are opaque 64-bit values (0: none); times are unsigned 64-bit microseconds;
// strings are UTF-8; a success result is a non-zero int.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Global set-up ---- */

/* ---- Player ---- */

/* ---- Picture, sound and subtitle processing ---- */

/* ---- Probe ---- */

#ifdef __cplusplus
}
#endif

#endif
