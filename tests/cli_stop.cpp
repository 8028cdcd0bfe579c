// kwslay under a time limit and when interrupted by a signal.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli_support.h"

using namespace clitest;

namespace {
// A graph whose layout takes far longer than the limits the tests set.
std::string largeDot(const std::string& attributes = std::string()) {
  return toDot(randomGraph(3000, 5), attributes);
}

// Runs kwslay with a progress bar on a pipe, sends sig once the bar shows (the
// layout is running then) and answers the exit status (-1: no bar, or killed).
int interrupt(std::vector<std::string> args, int sig) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], 2);
    close(fds[0]);
    close(fds[1]);
    std::vector<char*> argv{const_cast<char*>(KWSLAY_PATH)};
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    execv(KWSLAY_PATH, argv.data());
    _exit(127);
  }
  close(fds[1]);
  char c;
  const bool shown = read(fds[0], &c, 1) == 1;
  if (shown) kill(pid, sig);
  while (read(fds[0], &c, 1) > 0) {
  }
  close(fds[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  return shown && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}  // namespace

TEST(KwslayStop, TimeLimitWritesEveryNodeAndWarnsFromTheOptionOrTheGraph) {
  TempDir dir;
  writeFile(dir / "g.dot", largeDot());
  writeFile(dir / "attr.dot", largeDot("  kwslay_time_limit=0.2;\n"));
  for (const auto& args : {std::vector<std::string>{"layout", dir / "g.dot", "--time-limit", "0.2"},
                           std::vector<std::string>{"layout", dir / "attr.dot"}}) {
    Result r = kwslayOk(args);
    EXPECT_NE(r.err.find("stopped early at the time limit of 0.2 s"), std::string::npos) << r.err;
    EXPECT_EQ(parseJson(r.out)["nodes"].size(), 3000u);
  }
  writeFile(dir / "bad.dot", "graph {\n kwslay_time_limit=\"-1\"\n a -- b\n}\n");
  Result bad = kwslay({"layout", dir / "bad.dot"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("bad.dot:2"), std::string::npos) << bad.err;
}

TEST(KwslayStop, SignalsWriteNothingByDefaultOrTheDrawingSoFarWhenAsked) {
  TempDir dir;
  writeFile(dir / "g.dot", largeDot());
  struct Case {
    int sig;
    std::vector<std::string> extra;
    int code;
    bool written;
  };
  const std::vector<Case> cases = {
      {SIGINT, {}, 130, false},
      {SIGTERM, {}, 143, false},
      {SIGINT, {"--write-on-interrupt"}, 0, true},
      {SIGTERM, {"--time-limit", "100"}, 0, true},
  };
  for (const Case& c : cases) {
    const std::string out = dir / "out.json";
    unlink(out.c_str());
    std::vector<std::string> args{"layout", dir / "g.dot", "--progress", "-o", out};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    EXPECT_EQ(interrupt(args, c.sig), c.code) << "signal " << c.sig;
    EXPECT_EQ(access(out.c_str(), F_OK) == 0, c.written) << "signal " << c.sig;
    if (c.written) {
      EXPECT_EQ(parseJson(readFile(out))["nodes"].size(), 3000u);
    }
  }
}

TEST(KwslayProgressBar, OnATerminalThePercentageRisesFromZeroToHundred) {
  if (access("/usr/bin/script", X_OK) != 0) GTEST_SKIP() << "no script(1) to make a pseudo-terminal";
  TempDir dir;
  writeFile(dir / "g.dot", largeDot());
  // script runs kwslay on a pseudo-terminal and copies what it draws to ours.
  const std::string cmd = std::string("'") + KWSLAY_PATH + "' layout '" + (dir / "g.dot") + "' --time-limit 3 -o '" +
                          (dir / "g.json") + "'";
  const std::string seen = dir / "seen";
  std::string shell = "/usr/bin/script -qfec \"" + cmd + "\" /dev/null > '" + seen + "' 2>&1";
  ASSERT_EQ(std::system(shell.c_str()), 0) << readFile(seen);
  const std::string text = readFile(seen);
  std::vector<long> percents;
  for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1)) {
    size_t from = at;
    while (from > 0 && std::isdigit(static_cast<unsigned char>(text[from - 1]))) --from;
    if (from < at) percents.push_back(std::stol(text.substr(from, at - from)));
  }
  ASSERT_GE(percents.size(), 3u) << text;
  EXPECT_LT(percents.front(), 10) << text;
  EXPECT_EQ(percents.back(), 100) << text;
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end())) << text;
  EXPECT_NE(text.find("component 1/1"), std::string::npos) << text;
  // The bar is cleared before the time-limit warning is written.
  EXPECT_NE(text.find("  \rkwslay: warning:"), std::string::npos) << text;
}
