#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need.
# Runs apt-get only for what is missing; uses sudo when not root.
# graphviz brings the renderer's plugins (libgvc6 and its plugin list) and a
# font is needed for it to measure labels; xmllint, pdfinfo and file check
# the pictures in the tests.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev
          openjdk-17-jdk-headless libgraphviz-dev graphviz libxml2-dev python3 valgrind nlohmann-json3-dev
          python3-dev pybind11-dev python3-pytest python3-networkx
          fonts-dejavu-core libxml2-utils poppler-utils file)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
