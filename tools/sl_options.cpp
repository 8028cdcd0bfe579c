#include "sl_options.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "sl_output.h"
#include "sl_render.h"

namespace kwslay {

namespace {
// The settings --set takes, each with the values it accepts.
std::string settingsHelp() {
  std::string out = "\nsettings (--set NAME=VALUE, also graph attributes and model files):\n";
  for (const SettingInfo& s : settingTable()) {
    std::string line = std::string("  ") + s.name;
    line.resize(std::max<size_t>(line.size() + 1, 37), ' ');
    if (s.kind == SettingKind::Flag) line += "true or false";
    else if (s.ranged()) line += (s.kind == SettingKind::Real ? "a number " : "an integer ") + rangeText(s);
    else line += s.kind == SettingKind::Real ? "a number" : "an integer";
    if (s.ceiling > 0.0) line += " (used up to " + std::to_string(static_cast<long>(s.ceiling)) + ")";
    out += line + "\n" + std::string(37, ' ') + helpLine(s) + "\n";
  }
  return out;
}

// The renderer's picture formats, wrapped to the help text's width.
std::string pictureFormatList() {
  std::string out, line;
  for (const std::string& f : renderFormats()) {
    if (!line.empty() && line.size() + f.size() + 1 > 70) {
      out += line + "\n                ";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + f;
  }
  return out + line;
}
}  // namespace

const char* usageText() {
  static const std::string text = std::string(
      "usage:\n"
      "  kwslay layout INPUT... [-o OUTPUT | -O] [--from FMT] [--to FMT] [--seed N]\n"
      "                [--node-spacing N] [--route-edges] [--incremental]\n"
      "                [--set NAME=VALUE]... [--model FILE] [--max-matrix-memory SIZE]\n"
      "                [--overlap=keep|remove] [--time-limit SECONDS] [--write-on-interrupt]\n"
      "                [--progress | --quiet]\n"
      "  kwslay convert INPUT... (-o OUTPUT | -O) [--from FMT] [--to FMT]\n"
      "  kwslay demo [-o OUTPUT]\n"
      "  kwslay --help | --version\n"
      "\n"
      "Lays out a graph with the symmetric layout, or converts it between formats.\n"
      "\n"
      "Input formats:  oml (.oml), model (.mdl, .model), dot (.dot, .gv), graphml (.graphml)\n"
      "Output formats: svg (.svg), json (.json), dot (.dot, .gv), oml (.oml), graphml (.graphml),\n"
      "                and every picture format Graphviz's renderer offers here:\n"
      "                " + pictureFormatList() + "\n"
      "The format comes from --from/--to (-T FMT or -TFMT as --to), otherwise from the file\n"
      "name's extension. Pictures are drawn by Graphviz with the layout's positions kept;\n"
      "nodes are sized by Graphviz from their labels, shapes and width/height before the layout.\n"
      "INPUT - reads standard input and -o - (or /dev/stdout) writes standard output\n"
      "(both need the format). A device or named pipe given as OUTPUT is written in place.\n"
      "Without -o, layout writes JSON to standard output.\n"
      "Every graph of a DOT file is laid out: DOT output holds them all, other formats\n"
      "write one file per graph (out.svg, out.1.svg, out.2.svg, ...). Several inputs\n"
      "need -O, unless the output is DOT (then all go to the one output).\n"
      "\n"
      "options:\n"
      "  -o, --output FILE    where to write the result\n"
      "  -O                   write each output next to its input, named after it with the\n"
      "                       format's extension added (a.dot -> a.dot.svg); needs --to or -T\n"
      "  --from FMT           format of INPUT\n"
      "  --to FMT, -T FMT     format of the output\n"
      "  --seed N             the random seed of the start positions (randomSeed)\n"
      "  --node-spacing N     spacing between nodes in percent of their size (nodeSpacing)\n"
      "  --route-edges        bend edges around the nodes they would cross (routeEdges)\n"
      "  --incremental        start from the positions the nodes have: no random start\n"
      "                       and no tree pass; nodes without a position start at random\n"
      "  --set NAME=VALUE     set a layout setting (the list below; docs/cli.md tells more)\n"
      "  --model FILE         apply the tailoring lines of a model file\n"
      "  --max-matrix-memory SIZE\n"
      "                       refuse a connected component whose distance matrices would\n"
      "                       take more than SIZE bytes (suffix K, M or G; 0: no limit;\n"
      "                       default: a quarter of the memory available)\n"
      "  --overlap=keep|remove\n"
      "                       remove: move nodes apart, as little as needed, until no two\n"
      "                       boxes overlap (the default; pinned nodes stay); keep: leave\n"
      "                       the layout's positions. Overrides DOT's overlap attribute\n"
      "  --time-limit SECONDS stop the layout after SECONDS (such as 0.5) and write the best\n"
      "                       drawing found so far, with a warning; also the DOT graph\n"
      "                       attribute kwslay_time_limit (the option wins)\n"
      "  --write-on-interrupt on SIGINT or SIGTERM during the layout, write the drawing so far\n"
      "                       (also with --time-limit); otherwise nothing is written\n"
      "  --progress           show a progress bar on standard error even when it is not a terminal\n"
      "  --quiet              no progress bar and no messages except errors\n"
      "  -h, --help           show this text\n"
      "  --version            show the version\n"
      "\n"
      "Settings are applied in the order given, after those of the input file.\n"
      "Exit status: 0 success (also when stopped at the time limit), 1 bad input file or\n"
      "failed write, 2 usage error (also for a setting outside its range, from the command\n"
      "line or a file), 130/143 interrupted by SIGINT/SIGTERM (nothing written unless\n"
      "--write-on-interrupt or --time-limit).\n") + settingsHelp();
  return text.c_str();
}

namespace {

SettingValue settingValue(const std::string& name, const std::string& value, const std::string& flag) {
  const SettingInfo* s = findSetting(name);
  if (!s) throw UsageError(flag + ": unknown setting '" + name + "'");
  SettingValue v;
  std::string expected;
  if (!parseSettingValue(*s, value, v, &expected))
    throw UsageError(flag + ": the value '" + value + "' of " + name + " is not " + expected);
  std::string problem;
  if (!checkSettingRange(v, &problem, nullptr)) throw UsageError(flag + ": " + problem);
  return v;
}

/// A byte count with an optional K, M or G (powers of 1024).
long byteCount(const std::string& text, const std::string& flag) {
  size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  std::string unit = text.substr(digits);
  double scale = unit.empty() || unit == "B" ? 1.0 : unit == "K" || unit == "k" ? 1024.0
               : unit == "M" || unit == "m" ? 1048576.0 : unit == "G" || unit == "g" ? 1073741824.0 : 0.0;
  if (digits == 0 || digits > 15 || scale == 0.0)
    throw UsageError(flag + ": '" + text + "' is not a size such as 512M or 2G");
  double bytes = std::stod(text.substr(0, digits)) * scale;
  if (bytes > 9.0e18) throw UsageError(flag + ": '" + text + "' is too large");
  return static_cast<long>(bytes);
}

std::string lowerName(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return s;
}

Format format(const std::string& name, const std::string& flag) {
  Format f = formatFromName(name);
  if (f == Format::None) throw UsageError(flag + ": unknown format '" + name + "'");
  return f;
}

// The formats of the inputs, and what -O needs.
void checkInputs(Options& o) {
  size_t stdinCount = 0;
  for (const std::string& in : o.inputs) {
    Format f = o.from;
    if (in == "-") ++stdinCount;
    if (f == Format::None) {
      if (in == "-") throw UsageError("reading standard input needs --from");
      f = formatFromPath(in);
      if (f == Format::None) throw UsageError("cannot tell the format of '" + in + "'; use --from");
    }
    if (f == Format::Svg || f == Format::Json) throw UsageError(std::string("kwslay cannot read ") + formatName(f));
    o.froms.push_back(f);
  }
  if (stdinCount > 1) throw UsageError("standard input (-) can be read only once");
  o.from = o.froms.front();
  if (!o.outputNextToInput) return;
  if (!o.output.empty()) throw UsageError("-O and -o exclude each other");
  if (stdinCount > 0) throw UsageError("-O names outputs after their inputs; standard input has no name");
  if (o.to == Format::None) throw UsageError("-O needs the output format (--to FMT or -T FMT)");
}

}  // namespace

bool parseSeconds(const std::string& text, long& ms) {
  if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return false;
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (*end != '\0' || !(seconds > 0.0) || seconds > 7.0 * 86400.0) return false;
  ms = std::max(1L, static_cast<long>(std::llround(seconds * 1000.0)));
  return true;
}

Options parseOptions(int argc, const char* const* argv) {
  Options o;
  if (argc < 2) throw UsageError("no command given");
  std::string cmd = argv[1];
  if (cmd == "--help" || cmd == "-h" || cmd == "help") {
    o.command = Command::Help;
    return o;
  }
  if (cmd == "--version") {
    o.command = Command::Version;
    return o;
  }
  if (cmd == "layout") o.command = Command::Layout;
  else if (cmd == "convert") o.command = Command::Convert;
  else if (cmd == "demo") o.command = Command::Demo;
  else throw UsageError("unknown command '" + cmd + "'");

  bool inputSeen = false, quiet = false, progress = false, onlyInputs = false;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    // "--flag=value" is the same as "--flag value".
    std::string inlineValue;
    bool hasInline = false;
    if (!onlyInputs && a.size() > 2 && a.compare(0, 2, "--") == 0 && a.find('=') != std::string::npos &&
        a.compare(0, 6, "--set=") != 0) {
      inlineValue = a.substr(a.find('=') + 1);
      a = a.substr(0, a.find('='));
      hasInline = true;
    }
    auto value = [&](const char* what) -> std::string {
      if (hasInline) return inlineValue;
      if (i + 1 >= argc) throw UsageError(a + " needs " + what);
      return argv[++i];
    };
    auto noValue = [&]() {
      if (hasInline) throw UsageError(a + " takes no value");
    };
    bool isLayout = o.command == Command::Layout;
    auto layoutOnly = [&]() {
      if (!isLayout) throw UsageError(a + " is an option of 'kwslay layout' only");
    };
    if (onlyInputs || a == "-" || a.empty() || a[0] != '-') {
      if (o.command == Command::Demo) throw UsageError("'kwslay demo' takes no input file");
      if (!inputSeen) o.input = a;
      o.inputs.push_back(a);
      inputSeen = true;
    } else if (a == "--") {
      onlyInputs = true;
    } else if (a == "-o" || a == "--output") {
      o.output = value("a file name");
      if (o.output.empty()) throw UsageError(a + " needs a file name");
    } else if (a == "-O") {
      if (o.command == Command::Demo) throw UsageError("-O is not an option of 'kwslay demo'");
      o.outputNextToInput = true;
    } else if (a == "--from") {
      if (o.command == Command::Demo) throw UsageError("--from is not an option of 'kwslay demo'");
      o.from = format(value("a format"), a);
    } else if (a == "--to" || a == "-T") {
      o.toName = lowerName(value("a format"));
      o.to = format(o.toName, a);
    } else if (a.size() > 2 && a.compare(0, 2, "-T") == 0) {
      // -Tsvg, as Graphviz's tools take it.
      o.toName = lowerName(a.substr(2));
      o.to = format(o.toName, "-T");
    } else if (a == "--seed") {
      layoutOnly();
      o.settings.push_back(SettingStep{false, settingValue("randomSeed", value("a number"), a), ""});
    } else if (a == "--node-spacing") {
      layoutOnly();
      o.settings.push_back(SettingStep{false, settingValue("nodeSpacing", value("a number"), a), ""});
    } else if (a == "--route-edges") {
      layoutOnly();
      noValue();
      o.settings.push_back(SettingStep{false, settingValue("routeEdges", "true", a), ""});
    } else if (a == "--incremental") {
      layoutOnly();
      noValue();
      o.incremental = true;
    } else if (a == "--overlap") {
      layoutOnly();
      std::string v = value("keep or remove");
      if (v != "keep" && v != "remove") throw UsageError("--overlap " + v + ": expected keep or remove");
      o.overlap = v == "remove" ? 1 : 0;
    } else if (a == "--set") {
      layoutOnly();
      std::string nv = value("NAME=VALUE");
      size_t eq = nv.find('=');
      if (eq == std::string::npos) throw UsageError("--set " + nv + ": expected NAME=VALUE");
      o.settings.push_back(SettingStep{false, settingValue(nv.substr(0, eq), nv.substr(eq + 1), "--set"), ""});
    } else if (a.compare(0, 6, "--set=") == 0) {
      layoutOnly();
      std::string nv = a.substr(6);
      size_t eq = nv.find('=');
      if (eq == std::string::npos) throw UsageError("--set " + nv + ": expected NAME=VALUE");
      o.settings.push_back(SettingStep{false, settingValue(nv.substr(0, eq), nv.substr(eq + 1), "--set"), ""});
    } else if (a == "--model") {
      layoutOnly();
      SettingStep step;
      step.model = true;
      step.modelFile = value("a file name");
      o.settings.push_back(step);
    } else if (a == "--max-matrix-memory") {
      layoutOnly();
      o.maxMatrixBytes = byteCount(value("a size"), a);
    } else if (a == "--time-limit") {
      layoutOnly();
      const std::string t = value("a number of seconds");
      if (!parseSeconds(t, o.timeLimitMs))
        throw UsageError(a + ": '" + t + "' is not a number of seconds above 0 (such as 0.5 or 10)");
    } else if (a == "--write-on-interrupt") {
      layoutOnly();
      noValue();
      o.writeOnInterrupt = true;
    } else if (a == "--progress") {
      noValue();
      progress = true;
    } else if (a == "--quiet" || a == "-q") {
      noValue();
      quiet = true;
    } else if (a == "--help" || a == "-h") {
      o.command = Command::Help;
      return o;
    } else {
      throw UsageError("unknown option '" + a + "'");
    }
  }
  if (quiet && progress) throw UsageError("--progress and --quiet exclude each other");
  o.progress = quiet ? ProgressMode::Off : progress ? ProgressMode::On : ProgressMode::Auto;

  if (o.command == Command::Demo) {
    if (o.output.empty()) o.output = "demo.svg";
  } else {
    if (!inputSeen) throw UsageError(std::string("'kwslay ") + cmd + "' needs an input file");
    if (o.command == Command::Convert && o.output.empty() && !o.outputNextToInput)
      throw UsageError("'kwslay convert' needs -o OUTPUT or -O");
    checkInputs(o);
  }
  if (o.output.empty() && !o.outputNextToInput) o.output = "-";
  if (o.to == Format::None) {
    if (isStandardOutput(o.output)) {
      if (o.command != Command::Layout) throw UsageError("writing standard output needs --to");
      o.to = Format::Json;
    } else {
      o.to = formatFromPath(o.output);
      if (o.to == Format::None) throw UsageError("cannot tell the format of '" + o.output + "'; use --to");
      o.toName = lowerName(o.output.substr(o.output.find_last_of('.') + 1));
    }
  }
  if (o.to == Format::Model) throw UsageError("kwslay cannot write model files");
  if (o.inputs.size() > 1 && !o.outputNextToInput && o.to != Format::Dot)
    throw UsageError(std::to_string(o.inputs.size()) + " input files: -O writes each output next to its input; " +
                     "only DOT output takes them all in one");
  return o;
}

}  // namespace kwslay
