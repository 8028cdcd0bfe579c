#include "sl_progress.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/kwbgraph.h"

namespace kwslay {

namespace {
constexpr long kBarWidth = 24;
constexpr auto kInterval = std::chrono::milliseconds(100);  // at most 10 redraws a second

// The share of one component's work that each phase ends at: the spring
// model (its shortest paths), the descent, and the rest (trees, a second
// pass, edges). Within the spring model and the descent the host's steps
// done out of steps in all tell how far the phase has got.
double componentShare(const char* phase, double within) {
  if (std::strcmp(phase, "spring model") == 0) return 0.15 * within;
  if (std::strcmp(phase, "draft") == 0) return 0.15;
  if (std::strcmp(phase, "descent") == 0) return 0.15 + 0.75 * within;
  if (std::strcmp(phase, "component") == 0 || std::strcmp(phase, "prepare") == 0) return 0.0;
  return 0.9;  // trees, finishing the component
}

std::string clock(double seconds) {
  const long s = static_cast<long>(seconds + 0.5);
  char text[32];
  if (s >= 3600) std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  else std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
  return text;
}
}  // namespace

void ProgressBar::checkpoint(const KWDGraph& graph) {
  ++checkpoints_;
  // The clock is read only every few checkpoints: they come very often.
  if (started_ && (checkpoints_ & 63) != 0) return;
  auto now = std::chrono::steady_clock::now();
  if (started_ && now - last_ < kInterval) return;
  draw(graph);
}

double ProgressBar::fraction(const KWDGraph& graph) const {
  const char* phase = graph.layoutPhase() ? graph.layoutPhase() : "";
  if (std::strcmp(phase, "arrange") == 0 || std::strcmp(phase, "done") == 0) return 1.0;
  const long count = graph.layoutComponentCount();
  const long index = std::min(graph.layoutComponentIndex(), std::max(count - 1, 0L));
  double within = 0.0;
  if (const KWBGraph* b = KWBGraph::of(&graph, KWSymmetricLayoutStyle))
    if (b->stepsTotal() > 0) within = std::min(1.0, static_cast<double>(b->stepsDone()) / static_cast<double>(b->stepsTotal()));
  const double share = componentShare(phase, within);
  return count > 0 ? (static_cast<double>(index) + share) / static_cast<double>(count) : 0.0;
}

void ProgressBar::draw(const KWDGraph& graph) {
  const auto now = std::chrono::steady_clock::now();
  if (!started_) begin_ = now;
  last_ = now;
  started_ = true;
  ++redraws_;
  // Never backwards: a second pass over a component starts its phases again.
  done_ = std::max(done_, fraction(graph));
  const long percent = static_cast<long>(std::floor(done_ * 100.0));
  std::string bar(static_cast<size_t>(kBarWidth), '.');
  const size_t filled = static_cast<size_t>(std::floor(done_ * static_cast<double>(kBarWidth)));
  bar.replace(0, filled, filled, '#');
  char pct[16];
  std::snprintf(pct, sizeof pct, "%3ld%%", percent);
  std::string line = std::string("\r[") + bar + "] " + pct + " ";
  const long count = graph.layoutComponentCount();
  if (count > 0)
    line += "component " + std::to_string(std::min(graph.layoutComponentIndex() + 1, count)) + "/" +
            std::to_string(count) + " ";
  const char* phase = graph.layoutPhase();
  line += phase && *phase ? phase : "layout";
  const double elapsed = std::chrono::duration<double>(now - begin_).count();
  line += " " + clock(elapsed);
  // The rest, from the pace so far, once there is a pace to go by.
  if (done_ >= 0.02 && done_ < 1.0) line += ", about " + clock(elapsed * (1.0 - done_) / done_) + " left";
  size_t visible = line.size();
  if (visible < width_) line.append(width_ - visible, ' ');
  width_ = visible;
  std::fputs(line.c_str(), out_);
  std::fflush(out_);
}

void ProgressBar::finish() {
  if (!started_) return;
  std::string blank = "\r" + std::string(width_, ' ') + "\r";
  std::fputs(blank.c_str(), out_);
  std::fflush(out_);
  started_ = false;
  width_ = 0;
  done_ = 0.0;
}

}  // namespace kwslay
