#include "sl_progress.h"

#include <algorithm>

namespace kwslay {

namespace {
constexpr long kBarWidth = 24;
constexpr long kBlock = 4;
constexpr auto kInterval = std::chrono::milliseconds(50);
}  // namespace

void ProgressBar::checkpoint(const KWDGraph& graph) {
  ++checkpoints_;
  // The clock is read only every few checkpoints: they come very often.
  if (started_ && (checkpoints_ & 63) != 0) return;
  auto now = std::chrono::steady_clock::now();
  if (started_ && now - last_ < kInterval) return;
  draw(graph);
}

void ProgressBar::draw(const KWDGraph& graph) {
  last_ = std::chrono::steady_clock::now();
  started_ = true;
  ++redraws_;
  long count = graph.layoutComponentCount();
  long index = graph.layoutComponentIndex();
  std::string bar(static_cast<size_t>(kBarWidth), '.');
  if (count > 1) {
    // The share of the components done.
    size_t filled = static_cast<size_t>(std::min(index, count) * kBarWidth / count);
    bar.replace(0, filled, filled, '#');
  } else {
    // One component: how far it has got is not known, so a block moves to
    // and fro to show that the layout is running.
    long span = kBarWidth - kBlock;
    long step = redraws_ % (2 * span);
    long at = step < span ? step : 2 * span - step;
    bar.replace(static_cast<size_t>(at), static_cast<size_t>(kBlock), static_cast<size_t>(kBlock), '#');
  }
  std::string line = "\r[" + bar + "] ";
  if (count > 0) line += "component " + std::to_string(std::min(index + 1, count)) + "/" + std::to_string(count) + " ";
  const char* phase = graph.layoutPhase();
  line += phase && *phase ? phase : "layout";
  static const char kSpin[] = {'|', '/', '-', '\\'};
  line += ' ';
  line += kSpin[redraws_ % 4];
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
}

}  // namespace kwslay
