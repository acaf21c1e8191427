// libdorvex.so is dorvex_core linked whole; its exported symbols are limited to the four
// C routines of dorvex.h by the version script dorvex.map.
#include "dorvex.h"
