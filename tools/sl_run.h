// What kwslay does, from the command line to the exit status.
#ifndef KWSLAY_SL_RUN_H
#define KWSLAY_SL_RUN_H

#include <cstdio>

#include "sl_graph.h"

namespace kwslay {

/// Runs kwslay with the given arguments; answers the exit status: 0 on
/// success, 1 for a bad input file or a failed write, 2 for a usage error.
/// Messages go to err, results and --help to out.
int run(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

/// The built-in example: a wheel with two trees, a double edge and a loop.
void buildDemo(ToolGraph& g);

}  // namespace kwslay

#endif
