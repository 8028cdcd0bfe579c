// Writing an output file so that a failure never leaves a half-written or
// destroyed file behind.
#ifndef KWSLAY_SL_OUTPUT_H
#define KWSLAY_SL_OUTPUT_H

#include <string>

namespace kwslay {

/// Whether an output name means standard output: "-" or /dev/stdout.
bool isStandardOutput(const std::string& path);

/// Writes content to path ("-" and /dev/stdout are standard output). A
/// regular file (or a new one) is written to a temporary file beside it,
/// flushed to disk and renamed over path, so path holds either its old
/// contents or all of the new ones; a device, named pipe or socket is written
/// in place; a directory is an error. Throws WriteError.
void writeOutput(const std::string& path, const std::string& content);

}  // namespace kwslay

#endif
