#include "sl_kwfiles.h"

#include "host/kwgfile.h"
#include "host/kwmodfil.h"

namespace kwslay {

namespace {
InputError inputError(const KWFileError& err, const std::string& file) {
  return InputError(err.file.empty() ? file : err.file, err.line, err.column, err.message);
}
}  // namespace

void readOml(const std::string& file, const std::string& text, ToolGraph& g, std::vector<std::string>* warnings) {
  KWFileError err;
  if (!readOMLGraphFromString(text, file, g.graph(), err, warnings)) throw inputError(err, file);
  g.adoptContents(true);
}

std::string writeOml(const ToolGraph& g) {
  std::string out;
  KWFileError err;
  if (!writeOMLGraphToString(g.graph(), out, err)) throw WriteError("cannot write OML: " + err.text());
  return out;
}

void readModel(const std::string& file, const std::string& text, ToolGraph& g, std::vector<std::string>* warnings) {
  KWFileError err;
  if (!readModelFileFromString(text, file, g.graph(), err, warnings)) throw inputError(err, file);
  g.adoptContents(true);
}

void applyModelTailoring(const std::string& file, const std::string& text, KWDGraph& g,
                         std::vector<std::string>* warnings) {
  KWFileError err;
  if (!applyModelFileTailoringFromString(text, file, g, err, warnings)) throw inputError(err, file);
}

}  // namespace kwslay
