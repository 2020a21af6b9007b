#!/usr/bin/env bash
# What `./run demo` does once the build is done: builds the demo wholesaler's
# database under ./demo/ on first use and runs two of its saved lists into
# ./demo/out/. Needs no display.
set -euo pipefail
BUILD=$1
ROOT=$(cd "$(dirname "$0")/.." && pwd)
DEMO=${LISTGEN_DEMO_DIR:-$ROOT/demo}
CLI="$BUILD/bin/listgen"
DB="$DEMO/nagyker.db"

mkdir -p "$DEMO/out" "$DEMO/reports"
if [ ! -f "$DB" ]; then
  echo "Building the demo database (first run only)..."
  "$CLI" demo-db --out "$DB" --reports "$DEMO/reports"
fi

# List 3: invoices of 2024 by partner, run as Kovács Anna (user 2), only the
# unpaid ones; list 5: turnover by region, payment method and partner, as the
# administrator (user 1), for the invoices paid by card.
"$CLI" run --db "$DB" --list 3 --user 2 --where "[SZ].[fizetve]=0" --format csv --out "$DEMO/out/szamlak_partnerenkent_2024.csv"
"$CLI" run --db "$DB" --list 5 --user 1 --par1 "[SZ].[fizmod]='bankkártya'" --format tsv --out "$DEMO/out/forgalom_regionkent.tsv"

cat <<TXT

The demo database of a small Hungarian wholesaler is at
  $DB
with its report sources in
  $DEMO/reports
and two of its saved lists were run into
  $DEMO/out/szamlak_partnerenkent_2024.csv   (list 3, user 2, unpaid invoices only)
  $DEMO/out/forgalom_regionkent.tsv          (list 5, user 1, card payments only)

Look at them with any spreadsheet, or in the terminal:
  column -s, -t < $DEMO/out/szamlak_partnerenkent_2024.csv | less -S

More to try:
  $CLI run --db $DB --list 7 --user 1 --format json | less
  $CLI run --db $DB --list 4 --user 4 --where "[R].[nev]='Dél-Alföld'"
  $CLI run --db $DB --list 3 --user 5    refused: user 5's group may not see invoices
  $CLI sql --db $DB "SELECT id, name FROM vlq_list_report"
TXT
