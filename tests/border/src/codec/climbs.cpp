// A codec file that climbs out of the codec to a platform header.
#include "../platform/platform.h"
