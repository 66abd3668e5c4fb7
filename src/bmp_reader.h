#pragma once

// The image state (`width`, `height`, `texels`) and the decoding that fills
// it are the codec's; this is the programs' way in, from a file.
#include "bmp/bmp_decoder.h"

// Opens fileName (a regular file only) and decodes it into the image state.
// On failure prints the message on standard output; the outcome says which.
Outcome readBmp(const char *fileName);
