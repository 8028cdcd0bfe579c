// kwslay: lays out graphs with the symmetric layout and converts them between
// file formats. See `kwslay --help` and docs/cli.md.
#include <cstdio>

#include "sl_run.h"

int main(int argc, char** argv) { return kwslay::run(argc, argv, stdout, stderr); }
