#include "codec/rqcodec.h"
