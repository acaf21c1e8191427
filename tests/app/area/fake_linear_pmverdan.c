/* A model library whose loss is exactly a straight line in distance, to check the inverse
   walks where a real model cannot be steered: the basic transmission loss at d metres is
   prop->dh * d / 1000 dB (delta h read as dB per km). The free-space loss the program computes
   is 0 dB exactly, because lrprop leaves wn * dist at one half. lrprop counts its calls in
   prop->mdp, so a test can see how many evaluations a walk made. */
#include "pmverdan.h"

#define EXPORT __attribute__((visibility("default")))

EXPORT double qerfi(double q) {
    return 0.5 - q;
}

EXPORT void qlrps(double fmhz, double zsys, double en0, int32_t ipol, double eps, double sgm,
                  PropRecord* prop) {
    (void)fmhz;
    (void)zsys;
    (void)ipol;
    (void)eps;
    (void)sgm;
    prop->wn = 1.0;
    prop->ens = en0;
    prop->gme = 157e-9;
}

EXPORT void qlra(int32_t kst[2], int32_t klimx, int32_t mdvarx, PropRecord* prop,
                 PropvRecord* propv) {
    (void)kst;
    prop->he[0] = prop->hg[0];
    prop->he[1] = prop->hg[1];
    prop->mdp = 0;
    propv->klim = klimx;
    propv->mdvar = mdvarx;
}

EXPORT void lrprop(double d, PropRecord* prop, PropaRecord* propa) {
    (void)propa;
    prop->aref = d;
    prop->dist = 0.5;
    prop->mdp += 1;
}

EXPORT double avar(double zzt, double zzl, double zzc, PropRecord* prop, PropvRecord* propv) {
    (void)zzt;
    (void)zzl;
    (void)zzc;
    propv->lvar = 0;
    return prop->dh * prop->aref / 1000.0;
}
