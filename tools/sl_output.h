// Writing an output file so that a failure never leaves a half-written or
// destroyed file behind.
#ifndef KWSLAY_SL_OUTPUT_H
#define KWSLAY_SL_OUTPUT_H

#include <string>

namespace kwslay {

/// Writes content to path ("-" is standard output). A file is written to a
/// temporary file beside it, flushed to disk and renamed over path, so path
/// holds either its old contents or all of the new ones. Throws WriteError.
void writeOutput(const std::string& path, const std::string& content);

}  // namespace kwslay

#endif
