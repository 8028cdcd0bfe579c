// A progress bar on standard error, driven by the layout's checkpoints.
#ifndef KWSLAY_SL_PROGRESS_H
#define KWSLAY_SL_PROGRESS_H

#include <chrono>
#include <cstdio>
#include <string>

#include "host/kwdgraph.h"

namespace kwslay {

/// Observes a graph's layout run and redraws one status line: a bar and the
/// percentage done (from the components done and the host's steps done out of
/// steps in all of the current phase), the component being laid out (k/n),
/// the phase, the time elapsed and an estimate of the time left. The line is
/// redrawn at most 10 times a second; the percentage never goes back.
class ProgressBar : public KWLayoutObserver {
 public:
  explicit ProgressBar(std::FILE* out) : out_(out) {}
  ~ProgressBar() override { finish(); }
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void checkpoint(const KWDGraph& graph) override;
  /// How far the run has got, from 0 to 1, as the graph tells now.
  double fraction(const KWDGraph& graph) const;
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
  double done_ = 0.0;
  std::chrono::steady_clock::time_point last_, begin_;
};

}  // namespace kwslay

#endif
