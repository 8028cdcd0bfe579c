// The module is built with hidden symbols: only what carries KWS_EXPORT is
// seen outside libkwvrsl40 (the exported classes, the factory entry points,
// KWSLayout). Helpers, kernels and inline copies of host code stay inside.
#ifndef KWSEXPORT_H
#define KWSEXPORT_H

#define KWS_EXPORT __attribute__((visibility("default")))

#endif
