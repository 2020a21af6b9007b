#!/usr/bin/env bash
# Generates the reference of the public controls (HTML) into docs/reference/
# from the public headers' comments. Needs doxygen. Prints where it went and
# any warning doxygen had; fails when doxygen fails.
set -euo pipefail
cd "$(dirname "$0")"
command -v doxygen >/dev/null || { echo "make-reference: doxygen is not installed" >&2; exit 1; }
version=$(sed -n 's/^project(listgen VERSION \([0-9.]*\).*/\1/p' ../CMakeLists.txt)
rm -rf reference
mkdir -p reference
LISTGEN_VERSION=${version:-unknown} doxygen Doxyfile
if [ -s reference/warnings.txt ]; then
  echo "make-reference: doxygen warnings:" >&2
  cat reference/warnings.txt >&2
fi
echo "make-reference: $(pwd)/reference/index.html"
