#!/usr/bin/env bash
# What `./run demo` does once the build is done.
set -euo pipefail
BUILD=$1
"$BUILD/bin/listgen" --version
cat <<'TXT'
The demo host application is not built yet. It will open a small Hungarian
wholesaler's database (partners, invoices, invoice lines) with saved lists
that you can browse, design in the five-step wizard, preview, print, save as
PDF and export to Excel. Until then, `build/bin/listgen --help` lists what
the command-line tool can already do.
TXT
