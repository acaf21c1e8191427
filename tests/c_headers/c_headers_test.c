/* The public headers of the two libraries compile as C and their routines link and run from
   a C program. */
#include "dorvex.h"
#include "pmverdan.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

static int failures = 0;

static void check(int ok, const char* what) {
    if (!ok) {
        fprintf(stderr, "FAILED: %s\n", what);
        ++failures;
    }
}

int main(void) {
    PropRecord prop;
    PropvRecord propv;
    char text[23];
    int32_t number = -1103;
    int32_t source = 2;
    int32_t status = 7;
    memset(&prop, 0, sizeof prop);
    memset(&propv, 0, sizeof propv);

    check(fabs(qerfi(0.5)) < 1e-6, "qerfi(0.5) is 0");
    check(qerfi(0.1) > 1.28 && qerfi(0.1) < 1.29, "qerfi(0.1) is about 1.2816");
    qlrps(100.0, 0.0, 301.0, 1, 15.0, 0.005, &prop);
    check(fabs(prop.wn - 100.0 / 47.7) < 1e-12, "qlrps sets the wave number");
    check(prop.kwx == 0, "qlrps accepts the default parameters");

    {
        double pfl[] = {2.0, 100.0, 10.0, 50.0, 12.0};
        PmvRadial* radial = pmv_radial_open(pfl);
        check(radial != NULL, "pmv_radial_open takes a profile");
        check(fabs(pmv_radial_mean_elevation(radial, 0, 2) - 24.0) < 1e-12,
              "pmv_radial_mean_elevation of the whole profile");
        pmv_radial_close(radial);
    }

    GlobeErrMsg(text, (int32_t)sizeof text, &number);
    check(memcmp(text, "Error Reading Tile c10g", sizeof text) == 0, "GlobeErrMsg(-1103)");
    THandler(NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, NULL, NULL, NULL, NULL, &status, NULL,
             &source);
    check(status == -1, "THandler without arguments refuses");
    CloseGlobe();

    if (failures == 0)
        printf("c_headers: 1 passed, 0 failed\n");
    return failures == 0 ? 0 : 1;
}
