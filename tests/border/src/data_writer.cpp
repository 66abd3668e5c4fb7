// A codec file in the root that reaches for the BMP reader beside it.
#include "bmp_reader.h"
