// The command line of kwslay.
#ifndef KWSLAY_SL_OPTIONS_H
#define KWSLAY_SL_OPTIONS_H

#include <string>
#include <vector>

#include "sl_graph.h"
#include "sl_settings.h"

namespace kwslay {

enum class Command { Layout, Convert, Demo, Help, Version };
enum class ProgressMode { Auto, On, Off };

/// One settings step, applied in command-line order: a value, or a model
/// file's tailoring lines.
struct SettingStep {
  bool model = false;
  SettingValue value;
  std::string modelFile;
};

struct Options {
  Command command = Command::Help;
  std::string input;   ///< the first input file
  std::vector<std::string> inputs;  ///< every input file, in command-line order
  std::vector<Format> froms;        ///< the format of each input
  bool outputNextToInput = false;   ///< -O: each output is its input's name with the format's extension added
  std::string output;  ///< empty when -o was not given
  Format from = Format::None;
  Format to = Format::None;
  std::string toName;  ///< the renderer's name of a Picture format ("png", ...)
  std::vector<SettingStep> settings;
  bool incremental = false;
  ProgressMode progress = ProgressMode::Auto;
  long maxMatrixBytes = -1;  ///< --max-matrix-memory in bytes; -1: the host's default
  int overlap = -1;          ///< --overlap: 1 remove, 0 keep, -1 not given (the input's, else remove)
  long timeLimitMs = -1;     ///< --time-limit in milliseconds; -1: none given
  bool writeOnInterrupt = false;
};

/// Reads a time limit in seconds ("0.5", "2") into milliseconds (at least 1).
/// Answers false for anything but a finite number above 0 and at most a week.
bool parseSeconds(const std::string& text, long& ms);

/// Parses argv[1..argc-1]. Throws UsageError naming what is wrong.
Options parseOptions(int argc, const char* const* argv);

/// The text of kwslay --help.
const char* usageText();

}  // namespace kwslay

#endif
