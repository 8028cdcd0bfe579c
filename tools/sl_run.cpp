#include "sl_run.h"

#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <utility>

#include "host/kwbgraph.h"
#include "host/kwmodule.h"
#include "sl_dot.h"
#include "sl_graphml.h"
#include "sl_kwfiles.h"
#include "sl_options.h"
#include "sl_output.h"
#include "sl_progress.h"
#include "sl_render.h"
#include "sl_text.h"
#include "sl_writers.h"

namespace kwslay {

namespace {

struct Console {
  std::FILE* out;
  std::FILE* err;
  bool quiet;
  void warn(const std::string& s) const {
    if (!quiet) std::fprintf(err, "kwslay: warning: %s\n", s.c_str());
  }
};

// SIGINT or SIGTERM while a layout runs: the handler only records the signal
// and asks the graph's layout to stop (an atomic store); the run then
// finishes its drawing and the tool decides whether to write it.
volatile std::sig_atomic_t caughtSignal = 0;
const KWDGraph* volatile runningGraph = nullptr;

extern "C" void onStopSignal(int sig) {
  caughtSignal = sig;
  if (const KWDGraph* g = runningGraph) g->requestLayoutStop();
}

// Catches the two signals for the lifetime of one layout run.
class StopSignals {
 public:
  explicit StopSignals(const KWDGraph& g) {
    caughtSignal = 0;
    runningGraph = &g;
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &oldInt_);
    sigaction(SIGTERM, &sa, &oldTerm_);
  }
  ~StopSignals() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
    runningGraph = nullptr;
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  struct sigaction oldInt_ {}, oldTerm_ {};
};

// A run ended by a signal whose drawing is not to be written.
struct Interrupted {
  int signal;
};

std::string displayName(const std::string& path) { return path == "-" ? "<stdin>" : path; }

// Refuses settings the layout cannot use, naming where they came from; with
// con, warns of values above what the layout honours.
void checkSettings(const KWDGraph& g, const std::string& source, const Console* con) {
  for (const SettingValue& v : currentSettings(g)) {
    std::string problem, warning;
    if (!checkSettingRange(v, &problem, &warning)) throw UsageError(source + ": " + problem);
    if (con && !warning.empty()) con->warn(warning);
  }
}

void load(const Options& o, const std::string& input, Format from, ToolGraph& g, const Console& con) {
  std::string text = readInput(input);
  std::string file = displayName(input);
  std::vector<SettingValue> settings;
  std::vector<std::string> warnings;
  switch (from) {
    case Format::Dot:
      readDotWarning(file, text, g, &settings, &warnings);
      measureNodes(g);
      break;
    case Format::GraphML:
      readGraphMLWarning(file, text, g, &settings, &warnings);
      measureNodes(g);
      break;
    case Format::Oml: readOml(file, text, g, &warnings); break;
    case Format::Model: readModel(file, text, g, &warnings); break;
    default: throw UsageError(std::string("kwslay cannot read ") + formatName(from));
  }
  for (const std::string& w : warnings) con.warn(w);
  for (const SettingValue& v : settings) applySetting(g.graph(), v);
  if (o.command == Command::Layout) checkSettings(g.graph(), file, nullptr);
}

// Every graph of one input: a DOT file may hold several, the other formats one.
std::vector<std::unique_ptr<ToolGraph>> loadAll(const Options& o, const std::string& input, Format from,
                                                KWFactory& factory, const Console& con) {
  std::vector<std::unique_ptr<ToolGraph>> graphs;
  if (from != Format::Dot) {
    graphs.push_back(std::make_unique<ToolGraph>(factory));
    load(o, input, from, *graphs.back(), con);
    return graphs;
  }
  const std::string file = displayName(input);
  std::vector<std::vector<SettingValue>> settings;
  std::vector<std::string> warnings;
  readDotGraphs(file, readInput(input), factory, graphs, &settings, &warnings);
  for (const std::string& w : warnings) con.warn(w);
  for (size_t i = 0; i < graphs.size(); ++i) {
    measureNodes(*graphs[i]);
    for (const SettingValue& v : settings[i]) applySetting(graphs[i]->graph(), v);
    if (o.command == Command::Layout) checkSettings(graphs[i]->graph(), file, nullptr);
  }
  return graphs;
}

void applySteps(const Options& o, const std::string& input, ToolGraph& g, const Console& con) {
  for (const SettingStep& step : o.settings) {
    if (!step.model) {
      applySetting(g.graph(), step.value);
      continue;
    }
    std::vector<std::string> warnings;
    applyModelTailoring(displayName(step.modelFile), readInput(step.modelFile), g.graph(), &warnings);
    for (const std::string& w : warnings) con.warn(w);
    checkSettings(g.graph(), displayName(step.modelFile), nullptr);
  }
  checkSettings(g.graph(), displayName(input), &con);
}

// Nodes without a position get the usual random start; the others keep
// theirs, held in place for the moment by the constrained flag.
void placeUnpositioned(ToolGraph& g) {
  bool missing = false;
  for (size_t i = 0; i < g.nodes().size(); ++i) missing = missing || !g.hasPosition(i);
  if (!missing) return;
  std::vector<KWDNode*> held;
  for (size_t i = 0; i < g.nodes().size(); ++i) {
    KWDNode* n = g.nodes()[i];
    if (g.hasPosition(i) && !nodeConstrained(*n)) {
      nodeConstrained(*n, true);
      held.push_back(n);
    }
  }
  if (KWBGraph* b = KWBGraph::of(&g.graph(), KWSymmetricLayoutStyle)) b->randomizePositions(effectiveSeed(g.graph()));
  for (KWDNode* n : held) nodeConstrained(*n, false);
}

void layout(const Options& o, ToolGraph& g, const Console& con, const std::string& what) {
  if (o.incremental) {
    makeIncremental(g.graph());
    placeUnpositioned(g);
  }
  bool show = o.progress == ProgressMode::On || (o.progress == ProgressMode::Auto && isatty(fileno(con.err)));
  ProgressBar bar(con.err);
  if (show) g.graph().observer(&bar);
  KWBGraph* base = KWBGraph::of(&g.graph(), KWSymmetricLayoutStyle);
  if (base && o.maxMatrixBytes >= 0) base->maxMatrixBytes(o.maxMatrixBytes);
  if (base) base->removeOverlaps((o.overlap >= 0 ? o.overlap : g.overlap >= 0 ? g.overlap : 1) == 1);
  // The command line's limit wins over the input's.
  const long limitMs = o.timeLimitMs > 0 ? o.timeLimitMs : g.timeLimitMs;
  g.graph().layoutTimeBudget(limitMs > 0 ? limitMs : 0);
  KWErrorCodeEnum rc;
  int sig = 0;
  {
    StopSignals signals(g.graph());
    rc = layoutGraph(&g.graph(), KWSymmetricLayoutStyle);
    sig = caughtSignal;
  }
  g.graph().observer(nullptr);
  if (show && (rc == KWNoError || rc == KWStoppedEarly)) bar.draw(g.graph());  // the 100 % frame
  bar.finish();
  if (sig != 0 && !o.writeOnInterrupt && limitMs <= 0) throw Interrupted{sig};
  switch (rc) {
    case KWNoError: return;
    case KWStoppedEarly:
      if (sig != 0)
        con.warn(what + ": interrupted by " + (sig == SIGINT ? "SIGINT" : "SIGTERM") +
                 "; writing the drawing found so far");
      else {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", static_cast<double>(limitMs) / 1000.0);
        con.warn(what + ": the layout stopped early at the time limit of " + seconds +
                 " s; the drawing is the best found so far");
      }
      return;
    case KWErrorTooLarge: {
      // Say which limit the component broke: the matrices' memory or the node count.
      const long nodes = base ? base->refusedComponentNodes() : 0;
      const double need = base ? base->componentMatrixBytes(nodes) : 0.0;
      const long limit = base ? base->maxMatrixBytes() : 0;
      char text[320];
      if (base && limit > 0 && need > static_cast<double>(limit))
        std::snprintf(text, sizeof text,
                      "a connected component is too large for the layout's matrices: its %ld nodes need "
                      "%.0f MiB, the limit is %.0f MiB (--max-matrix-memory)",
                      nodes, need / 1048576.0, static_cast<double>(limit) / 1048576.0);
      else
        std::snprintf(text, sizeof text,
                      "a connected component is too large for the layout's matrices: %ld nodes, the limit is %ld",
                      nodes, base ? base->maxComponentNodes() : 0L);
      throw InputError(what, 0, 0, text);
    }
    default:
      throw InputError(what, 0, 0, "the layout failed (status " + std::to_string(static_cast<int>(rc)) + ")");
  }
}

std::string render(const ToolGraph& g, Format to, const std::string& picture) {
  switch (to) {
    case Format::Svg: return renderPicture(g, "svg");
    case Format::Picture: return renderPicture(g, picture);
    case Format::Json: return writeJson(g);
    case Format::Dot: return writeDot(g);
    case Format::GraphML: return writeGraphML(g);
    case Format::Oml: return writeOml(g);
    default: throw UsageError(std::string("kwslay cannot write ") + formatName(to));
  }
}

// The name of the output of graph index (from 0) of an input: the first
// graph's is path itself, graph i's has ".i" before the extension (out.svg,
// out.1.svg, out.2.svg, ...) or at the end where path has none.
std::string numberedOutput(const std::string& path, size_t index) {
  if (index == 0) return path;
  size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || dot == 0 ||
      (slash != std::string::npos && dot == slash + 1))
    return path + "." + std::to_string(index);
  return path.substr(0, dot) + "." + std::to_string(index) + path.substr(dot);
}

// Reads, lays out and renders every input, and only then writes: a bad
// input leaves no output behind. Each input's graphs go to the outputs
// named by numberedOutput, DOT output holding all of them in one file; with
// several inputs and no -O, all of them go to the one DOT output.
std::vector<std::pair<std::string, std::string>> processInputs(const Options& o, KWFactory& factory,
                                                               const Console& con) {
  std::vector<std::pair<std::string, std::string>> outputs;
  for (size_t k = 0; k < o.inputs.size(); ++k) {
    const std::string& input = o.inputs[k];
    const std::string file = displayName(input);
    std::vector<std::unique_ptr<ToolGraph>> graphs = loadAll(o, input, o.froms[k], factory, con);
    std::vector<std::string> rendered;
    for (size_t i = 0; i < graphs.size(); ++i) {
      ToolGraph& g = *graphs[i];
      if (o.command == Command::Layout) {
        applySteps(o, input, g, con);
        layout(o, g, con, graphs.size() > 1 ? file + " (graph " + std::to_string(i + 1) + ")" : file);
      }
      rendered.push_back(render(g, o.to, o.toName));
    }
    const std::string extension = o.to == Format::Picture ? o.toName : formatName(o.to);
    const std::string path = o.outputNextToInput ? input + "." + extension : o.output;
    if (o.to == Format::Dot) {
      std::string all;
      for (const std::string& r : rendered) all += r;
      if (!o.outputNextToInput && !outputs.empty()) outputs.back().second += all;
      else outputs.emplace_back(path, all);
      continue;
    }
    if (rendered.size() > 1 && isStandardOutput(path))
      throw UsageError(file + " holds " + std::to_string(rendered.size()) +
                       " graphs and standard output takes one " + extension +
                       " drawing: --to dot writes them all, -o FILE writes one file per graph "
                       "(FILE, then .1, .2, ... before its extension)");
    for (size_t i = 0; i < rendered.size(); ++i) outputs.emplace_back(numberedOutput(path, i), rendered[i]);
  }
  return outputs;
}

}  // namespace

int run(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  Options o;
  try {
    o = parseOptions(argc, argv);
  } catch (const UsageError& e) {
    std::fprintf(err, "kwslay: %s\nTry 'kwslay --help'.\n", e.what());
    return 2;
  }
  if (o.command == Command::Help) {
    std::fputs(usageText(), out);
    return 0;
  }
  if (o.command == Command::Version) {
    std::fprintf(out, "kwslay %s\n", KWSLAY_VERSION);
    return 0;
  }
  Console con{out, err, o.progress == ProgressMode::Off};

  // The symmetric module is loaded like in any host application; the
  // factory must outlive every graph made with it.
  KWLayoutModule module;
  if (!module.openSymmetric()) {
    std::fprintf(err, "kwslay: %s\n", module.error().c_str());
    return 1;
  }
  KWFactory factory;
  factory.addLayoutFactory(module.factory());
  try {
    if (o.command != Command::Demo) {
      for (const auto& output : processInputs(o, factory, con)) writeOutput(output.first, output.second);
      return 0;
    }
    ToolGraph g(factory);
    buildDemo(g);
    layout(o, g, con, "demo");
    writeOutput(o.output, render(g, o.to, o.toName));
    if (!con.quiet && !isStandardOutput(o.output))
      std::fprintf(out, "kwslay: wrote %s (%zu nodes, %zu edges)\n", o.output.c_str(), g.nodes().size(),
                   g.edges().size());
  } catch (const UsageError& e) {
    std::fprintf(err, "kwslay: %s\n", e.what());
    return 2;
  } catch (const InputError& e) {
    std::fprintf(err, "kwslay: %s\n", e.what());
    return 1;
  } catch (const WriteError& e) {
    std::fprintf(err, "kwslay: %s\n", e.what());
    return 1;
  } catch (const Interrupted& i) {
    std::fprintf(err, "kwslay: interrupted by %s; nothing written\n", i.signal == SIGINT ? "SIGINT" : "SIGTERM");
    return 128 + i.signal;
  } catch (const std::bad_alloc&) {
    std::fprintf(err, "kwslay: out of memory\n");
    return 1;
  }
  return 0;
}

}  // namespace kwslay
