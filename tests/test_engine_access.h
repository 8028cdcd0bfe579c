// Older name of support/engine_access.h, still included by the tailor tests.
#include "support/engine_access.h"
