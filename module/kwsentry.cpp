// The library's exported entry points. Four names create a factory (they are
// kept as separate entries for the hosts that look up one or the other); one
// takes a factory back. Loading the library runs no initialisation: nothing
// here, or anywhere in the library, is a static object with a constructor.
#include <new>

#include "module/kwslayfa.h"

extern "C" {

KWS_EXPORT KWStyleFactory* newSLayFactory(void) { return new (std::nothrow) KWSLayoutFactory; }

KWS_EXPORT KWStyleFactory* newSLayFactoryTRUE(void) { return new (std::nothrow) KWSLayoutFactory; }

KWS_EXPORT KWStyleFactory* newSLayFactorytrue(void) { return new (std::nothrow) KWSLayoutFactory; }

KWS_EXPORT KWStyleFactory* newSLayFactory1(void) { return new (std::nothrow) KWSLayoutFactory; }

KWS_EXPORT void deleteSLayoutFactory(KWStyleFactory* factory) { delete factory; }

}
