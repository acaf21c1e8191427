/* A model library that has only one routine, to test how the program reports the others.
   It also writes into the message text so the round trip of that text can be checked. */
#include "pmverdan.h"

#include <string.h>

__attribute__((visibility("default"))) double qerfi(double q) {
    return 0.5 - q;
}

__attribute__((visibility("default"))) void lrprop(double d, PropRecord* prop, PropaRecord* propa) {
    (void)propa;
    prop->dist = d;
    memcpy(prop->msgText, "seen", 4);
}
