#!/usr/bin/env bash
# What `./run screenshots` does once the build is done: renders the desktop
# demo offscreen into docs/images/ (the main window, the command bar in its
# states, the host's form and the export dialog), for the README.
set -euo pipefail
BUILD=$1
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$ROOT/docs/images
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$WORK}
mkdir -p "$OUT"
"$BUILD/bin/listgen" demo-db --out "$WORK/nagyker.db" --reports "$WORK/reports" >/dev/null
shot() {
  local name=$1
  shift
  "$BUILD/bin/listgen-demo" --db "$WORK/nagyker.db" --reports "$WORK/reports" --screenshot "$OUT/$name" "$@"
  echo "docs/images/$name"
}
# Kovács Anna on her own invoice list: every command, the assistant too.
shot demo-listwizard.png --user 2 --list 3
# The administrator on Kovács Anna's list: no delete.
shot demo-other-users-list.png --user 1 --all-lists --list 3
# A viewer on a list without assistant.
shot demo-viewer.png --user 5 --viewer
shot demo-host-form.png --user 2 --tab 1
shot demo-export-dialog.png --user 2 --export-dialog
shot demo-admin.png --user 1 --tab 2
