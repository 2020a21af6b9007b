#!/usr/bin/env bash
# What `./run demo` does once the build is done: builds the demo wholesaler's
# database under ./demo/ on first use, then opens the desktop demo
# (listgen-demo) when a display is available. Without a display, or with
# --headless, it runs two of its saved lists into ./demo/out/ instead, as
# text tables and as a printed report (PDF) with an Excel workbook beside it.
#   ./run demo [--headless] [--user ID]
set -euo pipefail
BUILD=$1
shift
HEADLESS=0
DEMO_USER=1
while [ $# -gt 0 ]; do
  case "$1" in
    --headless) HEADLESS=1 ;;
    --user) shift; DEMO_USER=${1:?--user needs an id} ;;
    *) echo "run demo: unknown option $1 (--headless, --user ID)" >&2; exit 2 ;;
  esac
  shift
done
ROOT=$(cd "$(dirname "$0")/.." && pwd)
DEMO=${LISTGEN_DEMO_DIR:-$ROOT/demo}
CLI="$BUILD/bin/listgen"
DB="$DEMO/nagyker.db"

mkdir -p "$DEMO/out" "$DEMO/reports"
# The report outputs start Qt's offscreen platform, which wants a private
# runtime folder; a headless session often has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
  trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
if [ ! -f "$DB" ]; then
  echo "Building the demo database (first run only)..."
  "$CLI" demo-db --out "$DB" --reports "$DEMO/reports"
fi

if [ "$HEADLESS" = 0 ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  echo "Opening the desktop demo on $DB (user $DEMO_USER; switch users at the top of the window)."
  exec "$BUILD/bin/listgen-demo" --db "$DB" --reports "$DEMO/reports" --user "$DEMO_USER"
fi

# List 3: invoices of 2024 by partner, run as Kovács Anna (user 2), only the
# unpaid ones; list 5: turnover by region, payment method and partner, as the
# administrator (user 1), for the invoices paid by card.
"$CLI" run --db "$DB" --list 3 --user 2 --where "[SZ].[fizetve]=0" --format csv --out "$DEMO/out/szamlak_partnerenkent_2024.csv"
"$CLI" run --db "$DB" --list 5 --user 1 --par1 "[SZ].[fizmod]='bankkártya'" --format tsv --out "$DEMO/out/forgalom_regionkent.tsv"

# List 3 with all of its invoices as a report (portrait pages: grouped by
# partner, with partner and grand totals) and as a workbook; list 7, all
# invoice lines, is wide enough for landscape pages: its December 2024 lines.
"$CLI" run --db "$DB" --list 3 --user 2 --reports "$DEMO/reports" --format pdf --out "$DEMO/out/szamlak_partnerenkent_2024.pdf"
"$CLI" run --db "$DB" --list 3 --user 2 --format xlsx --out "$DEMO/out/szamlak_partnerenkent_2024.xlsx"
DECEMBER="[SZ].[kelt] BETWEEN #12/01/2024# AND #12/31/2024#"
"$CLI" run --db "$DB" --list 7 --user 1 --where "$DECEMBER" --reports "$DEMO/reports" --format pdf --out "$DEMO/out/szamlatetelek_2024_12.pdf"
"$CLI" run --db "$DB" --list 7 --user 1 --where "$DECEMBER" --format xlsx --out "$DEMO/out/szamlatetelek_2024_12.xlsx"

cat <<TXT

The demo database of a small Hungarian wholesaler is at
  $DB
with its report sources in
  $DEMO/reports
and two of its saved lists were run into
  $DEMO/out/szamlak_partnerenkent_2024.csv   (list 3, user 2, unpaid invoices only)
  $DEMO/out/forgalom_regionkent.tsv          (list 5, user 1, card payments only)

Reports and workbooks:
  $DEMO/out/szamlak_partnerenkent_2024.pdf   (list 3, user 2, paid or not; portrait, totals per partner)
  $DEMO/out/szamlak_partnerenkent_2024.xlsx
  $DEMO/out/szamlatetelek_2024_12.pdf        (list 7, user 1, December 2024; landscape)
  $DEMO/out/szamlatetelek_2024_12.xlsx

Look at them with any PDF viewer or spreadsheet, or in the terminal:
  column -s, -t < $DEMO/out/szamlak_partnerenkent_2024.csv | less -S
  pdftotext -layout $DEMO/out/szamlak_partnerenkent_2024.pdf - | less -S

More to try:
  $CLI run --db $DB --list 7 --user 1 --format json | less
  $CLI run --db $DB --list 4 --user 4 --where "[R].[nev]='Dél-Alföld'"
  $CLI run --db $DB --list 3 --user 5    refused: user 5's group may not see invoices
  $CLI run --db $DB --list 5 --user 1 --format html --out /tmp/forgalom.html
  $CLI sql --db $DB "SELECT id, name FROM vlq_list_report"
TXT
