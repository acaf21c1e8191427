/* The public header compiles as C11 and the exports link and run from C. */
#include "dorvex.h"

#include <stdio.h>
#include <string.h>

int main(void) {
    char text[23];
    int32_t number = -1103;
    int32_t source = 2;
    int32_t status = 7;
    GlobeErrMsg(text, (int32_t)sizeof text, &number);
    if (memcmp(text, "Error Reading Tile c10g", sizeof text) != 0) {
        fprintf(stderr, "GlobeErrMsg(-1103) gave \"%.23s\"\n", text);
        return 1;
    }
    THandler(NULL, NULL, NULL, NULL, NULL, NULL, 0, NULL, NULL, NULL, NULL, NULL, &status, NULL,
             &source);
    if (status != -1) {
        fprintf(stderr, "THandler without arguments gave status %d\n", (int)status);
        return 1;
    }
    CloseGlobe();
    return 0;
}
