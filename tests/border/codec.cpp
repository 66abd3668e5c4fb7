// A codec file that reaches for a program header.
#include "program.h"
