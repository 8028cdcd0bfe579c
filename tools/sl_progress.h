// A progress bar on standard error, driven by the layout's checkpoints.
#ifndef KWSLAY_SL_PROGRESS_H
#define KWSLAY_SL_PROGRESS_H

#include <chrono>
#include <cstdio>
#include <string>

#include "host/kwdgraph.h"

namespace kwslay {

/// Observes a graph's layout run and redraws one status line: a bar over the
/// components done, the component being laid out, the phase, and a spinner
/// that turns with the checkpoints. The line is redrawn at most every 50 ms.
class ProgressBar : public KWLayoutObserver {
 public:
  explicit ProgressBar(std::FILE* out) : out_(out) {}
  ~ProgressBar() override { finish(); }
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void checkpoint(const KWDGraph& graph) override;
  /// Draws the line now, whatever the time since the last one.
  void draw(const KWDGraph& graph);
  /// Clears the line (once something was drawn).
  void finish();
  long redraws() const { return redraws_; }

 private:
  std::FILE* out_;
  long checkpoints_ = 0;
  long redraws_ = 0;
  size_t width_ = 0;
  bool started_ = false;
  std::chrono::steady_clock::time_point last_;
};

}  // namespace kwslay

#endif
