/*
 * pmverdan: the Longley-Rice propagation model, algorithm version 1.2.2, as a C library.
 *
 * Units throughout: distances and heights in metres, frequency in MHz, the wave number
 * wn = f / 47.7 MHz in 1/m, the effective earth curvature gme in 1/m, angles in radians,
 * refractivity in N-units, conductivity in S/m, losses in dB.
 *
 * The records are owned by the caller and only read and written during a call. Every
 * routine validates what it reads: impossible or out-of-range values never make a routine
 * crash, loop without end or read outside the caller's arrays; they are reported in
 * prop->kwx (0 none, 1 parameters nearly out of range, 2 defaults substituted for
 * impossible values, 3 a combination out of range, 4 parameters out of range). A null
 * record pointer makes a routine return without doing anything (avar then returns NaN).
 */
#ifndef PMVERDAN_H
#define PMVERDAN_H

#include <stddef.h>
#include <stdint.h>

#if defined(PMVERDAN_BUILDING_LIBRARY)
#define PMVERDAN_API __attribute__((visibility("default")))
#else
#define PMVERDAN_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 4)

/* Path and system parameters, with the derived geometry. */
typedef struct PropRecord {
    double aref;     /* reference attenuation of the last lrprop call, dB */
    double dist;     /* path distance of the last lrprop call, m */
    double hg[2];    /* antenna heights above ground, m (transmitter, receiver) */
    double wn;       /* wave number, f / 47.7 MHz, 1/m */
    double dh;       /* terrain irregularity (interdecile height range), m */
    double ens;      /* surface refractivity, N-units */
    double gme;      /* effective earth curvature, 1/m */
    double zgndreal; /* surface transfer impedance of the ground, real part */
    double zgndimag; /* surface transfer impedance of the ground, imaginary part */
    double he[2];    /* effective antenna heights, m */
    double dl[2];    /* horizon distances, m */
    double the[2];   /* horizon elevation angles, rad */
    int32_t kwx;     /* error indicator, 0..4 (see above); only ever raised by the library */
    int32_t mdp;     /* mode: -1 point-to-point, 1 area mode to initialise, 0 area mode ready */
    char* msgText;   /* caller's message text; never read or written by the library */
} PropRecord;

/* Variability parameters. */
typedef struct PropvRecord {
    double sgc;    /* standard deviation of the situation variability of the last avar, dB */
    int32_t lvar;  /* change level: 0 nothing changed since the last avar, 1 distance, 2 heights,
                      3 frequency, 4 mode of variability, 5 or more climate */
    int32_t mdvar; /* mode of variability 0..3 (single message, individual, mobile, broadcast);
                      +10 removes the location variability, +20 the situation variability */
    int32_t klim;  /* radio climate 1..7 (equatorial, continental subtropical, maritime
                      subtropical, desert, continental temperate, maritime temperate over land,
                      maritime temperate over sea) */
} PropvRecord;

/* Working values of the reference attenuation, filled by the library. The first thirteen
   fields are the published ones; the caller reads dlsa, dx and dla. */
typedef struct PropaRecord {
    double dlsa;   /* sum of the smooth-earth horizon distances, m */
    double dx;     /* distance where troposcatter takes over from diffraction, m */
    double ael;    /* line-of-sight attenuation: intercept, dB */
    double ak1;    /* line-of-sight attenuation: slope, dB/m */
    double ak2;    /* line-of-sight attenuation: logarithmic coefficient, dB */
    double aed;    /* diffraction attenuation: intercept, dB */
    double emd;    /* diffraction attenuation: slope, dB/m */
    double aes;    /* scatter attenuation: intercept, dB */
    double ems;    /* scatter attenuation: slope, dB/m */
    double dls[2]; /* smooth-earth horizon distances, m */
    double dla;    /* sum of the terrain horizon distances, m */
    double tha;    /* total bending angle, rad */
    /* Library-private working values: the caller reserves them and never reads them. */
    double minDistM;        /* distance below which the path geometry is doubtful, m */
    double scaleLengthM;    /* characteristic length of the diffraction region, m */
    double diffWeightBase;  /* diffraction: base of the rough/smooth weighting */
    double diffWeightDist;  /* diffraction: distance term of the weighting, m */
    double diffClutterDb;   /* diffraction: clutter attenuation, dB */
    double diffGroundK;     /* diffraction: 1 / |ground impedance| */
    double diffHeightDb;    /* diffraction: sum of the height-gain terms, dB */
    double diffHeightX;     /* diffraction: sum of the normalised height terms */
    double losRoughWeight;  /* line of sight: weight of the two-ray term */
    double scatDiffM;       /* scatter: difference of the horizon distances, m */
    double scatHeightRatio; /* scatter: ratio of the effective heights */
    double scatEtaBase;     /* scatter: refractivity term of the structure parameter */
    double scatLastH0;      /* scatter: frequency gain of the previous call, dB */
    int32_t losReady;       /* line-of-sight coefficients computed since the last preparation */
    int32_t scatterReady;   /* scatter coefficients computed since the last preparation */
} PropaRecord;

#pragma pack(pop)

/*
 * qlrps: prepares the model for a frequency, system elevation, refractivity and ground.
 *   fmhz  frequency, MHz (model range 20..20000, nearly out of range beyond 40..10000)
 *   zsys  mean elevation of the system above sea level, m (0 keeps en0 unchanged)
 *   en0   surface refractivity reduced to sea level, N-units (model range 250..400)
 *   ipol  polarization: 0 horizontal, any other value vertical
 *   eps   relative permittivity of the ground (> 1)
 *   sgm   ground conductivity, S/m (>= 0)
 * Sets prop->wn, ens, gme, zgndreal, zgndimag. A frequency that is not a positive finite
 * number, or a non-finite refractivity or ground constant, sets prop->kwx to 4.
 */
PMVERDAN_API void qlrps(double fmhz, double zsys, double en0, int32_t ipol, double eps, double sgm,
                        PropRecord* prop);

/*
 * qlra: prepares the area prediction mode from prop->hg, dh, gme (qlrps first).
 *   kst    siting criteria of transmitter and receiver: 0 random, 1 careful, 2 very careful
 *   klimx  radio climate 1..7 stored in propv->klim when positive (otherwise kept)
 *   mdvarx mode of variability stored in propv->mdvar when not negative (otherwise kept)
 * Sets prop->he, dl, the and prop->mdp = 1, and raises propv->lvar.
 */
PMVERDAN_API void qlra(int32_t kst[2], int32_t klimx, int32_t mdvarx, PropRecord* prop,
                       PropvRecord* propv);

/*
 * lrprop: reference attenuation prop->aref (dB, >= 0) at the distance d, m (area mode;
 * model range 1 km..2000 km). In point-to-point mode (prop->mdp = -1) d is ignored and the
 * path distance prop->dist is used. Sets prop->dist (area mode), aref and raises kwx.
 */
PMVERDAN_API void lrprop(double d, PropRecord* prop, PropaRecord* propa);

/*
 * avar: the loss, dB, to add to the free-space loss, at the standard normal deviates of
 * time zzt, location zzl and situation (confidence) zzc (each in about -3.1..3.1; larger
 * deviates give smaller losses), for the mode of variability and climate in propv.
 * What depends only on the climate, mode, frequency, heights and distance is kept per thread
 * between calls and recomputed from the level propv->lvar names (5 or more everything, 1 only
 * the distance, 0 nothing; always everything at a thread's first call).
 * Sets propv->sgc and propv->lvar = 0.
 */
PMVERDAN_API double avar(double zzt, double zzl, double zzc, PropRecord* prop, PropvRecord* propv);

/*
 * qerfi: the standard normal deviate exceeded with probability q (0 < q < 1; q is clamped
 * to 1e-6 from either end), by a rational approximation with an error below 4.5e-4.
 */
PMVERDAN_API double qerfi(double q);

/*
 * qlrpfl: prepares the point-to-point mode from a terrain profile and computes the
 * reference attenuation over it.
 *   pfl    profile: pfl[0] number of intervals (1..1,000,000), pfl[1] spacing, m (> 0), then
 *          pfl[0] + 1 elevations, m, transmitter first; only pfl[0] .. pfl[pfl[0] + 2] are read
 *   klimx  radio climate 1..7 stored in propv->klim when positive
 *   mdvarx mode of variability stored in propv->mdvar when not negative
 * Needs prop->hg and qlrps. Sets prop->dist, dh, he, dl, the, aref, mdp = -1 and raises
 * propv->lvar. An unusable profile (count below 1 or above 1,000,000, spacing not above 0,
 * a non-finite value) sets kwx = 4, he = hg and zeroes the path values; a fractional count
 * uses its whole intervals and sets kwx to at least 2.
 */
PMVERDAN_API void qlrpfl(double* pfl, int32_t klimx, int32_t mdvarx, PropRecord* prop,
                         PropaRecord* propa, PropvRecord* propv);

/*
 * Paths that share their start: the paths from the first point of one terrain profile to each
 * of its points, as along a radial of a coverage map. A PmvRadial keeps what those paths have
 * in common (running sums for the line fits, the points that can be a horizon), so that the
 * analysis of one path costs about the same whatever its length. A PmvRadial is used by one
 * thread at a time; different ones by any number of threads.
 */
typedef struct PmvRadial PmvRadial;

/*
 * pmv_radial_open: prepares the paths along the profile pfl (layout and limits as for qlrpfl;
 * pfl[0] is the number of intervals held, a fractional count keeps its whole intervals). The
 * profile is copied. Returns NULL for a profile qlrpfl would find unusable, or when memory is
 * short. Every PmvRadial opened is closed with pmv_radial_close.
 */
PMVERDAN_API PmvRadial* pmv_radial_open(const double* pfl);

/* pmv_radial_close: frees a PmvRadial (NULL does nothing). */
PMVERDAN_API void pmv_radial_close(PmvRadial* radial);

/*
 * pmv_radial_mean_elevation: the mean elevation, m, of the profile's points first..last
 * (0-based, inclusive), as the system elevation zsys of qlrps may be taken. NaN when the range
 * is empty or outside the profile, or radial is NULL.
 */
PMVERDAN_API double pmv_radial_mean_elevation(const PmvRadial* radial, int32_t first, int32_t last);

/*
 * pmv_radial_qlrpfl: qlrpfl over the path from the first point of the radial's profile to its
 * point `intervals` (1..the number of intervals held): the records as qlrpfl sets them for that
 * shorter profile, to rounding. The published routines are not changed by it. Fastest when the
 * calls on one radial come with non-decreasing `intervals` and one transmitter height
 * prop->hg[0]. An interval count out of range is an unusable profile (kwx 4); a NULL argument
 * makes it return without doing anything.
 */
PMVERDAN_API void pmv_radial_qlrpfl(PmvRadial* radial, int32_t intervals, int32_t klimx,
                                    int32_t mdvarx, PropRecord* prop, PropaRecord* propa,
                                    PropvRecord* propv);

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
static_assert(sizeof(PropRecord) == 136 + sizeof(char*), "PropRecord layout");
static_assert(offsetof(PropRecord, kwx) == 128, "PropRecord.kwx offset");
static_assert(offsetof(PropRecord, mdp) == 132, "PropRecord.mdp offset");
static_assert(offsetof(PropRecord, msgText) == 136, "PropRecord.msgText offset");
static_assert(sizeof(PropvRecord) == 20, "PropvRecord layout");
static_assert(offsetof(PropaRecord, dla) == 11 * sizeof(double), "PropaRecord.dla offset");
#else
_Static_assert(sizeof(PropRecord) == 136 + sizeof(char*), "PropRecord layout");
_Static_assert(offsetof(PropRecord, kwx) == 128, "PropRecord.kwx offset");
_Static_assert(offsetof(PropRecord, mdp) == 132, "PropRecord.mdp offset");
_Static_assert(offsetof(PropRecord, msgText) == 136, "PropRecord.msgText offset");
_Static_assert(sizeof(PropvRecord) == 20, "PropvRecord layout");
_Static_assert(offsetof(PropaRecord, dla) == 11 * sizeof(double), "PropaRecord.dla offset");
#endif

#endif
