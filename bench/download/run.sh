#!/usr/bin/env bash
# Download benchmark: a 200 MiB generated body from the local test server,
# fetched three ways: the installer's Downloader (bench_downloader, under
# Wine), a bare WinINet loop reading the same 4096-byte blocks
# (bench_bare_wininet, under Wine) and curl. Each way runs ROUNDS times,
# interleaved, so a burst of load on the machine does not fall on one way
# only; the best round of each counts (the median is shown too).
#
# Prints each throughput, the Downloader's ratio to the bare loop (aim: at
# least 0.9) and the peak working set of both Wine programs (aim: the
# Downloader no more than 2 MiB above the bare loop), with the part of it
# that was already there before the transfer began.
#
#   bench/download/run.sh [SIZE_BYTES [ROUNDS]]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
SIZE="${1:-209715200}"
ROUNDS="${2:-3}"

scripts/setup
source scripts/host-build
helm_use_host_build
source scripts/wine-env
helm_ensure_prefix
helm_start_server

WORK="$HELM_BUILD_DIR/bench/work"
SERVER="$HELM_BUILD_DIR/bench/server"
rm -rf "$WORK"
mkdir -p "$WORK"
python3 tools/testserver/fixture.py start "$SERVER" >/dev/null
trap 'python3 tools/testserver/fixture.py stop "$SERVER"; rm -rf "$WORK"' EXIT
BASE="http://127.0.0.1:$(cat "$SERVER/port")/"
URL="${BASE}zqHelmview/bench/body.bin"
curl -sf --noproxy '*' -X POST -H 'Content-Type: application/json' \
  -d "{\"/zqHelmview/bench/body.bin\": {\"generate\": $SIZE}}" "${BASE}__control/rules" >/dev/null

WIN_WORK="Z:$(echo "$WORK" | tr / '\\')\\"
run_wine() { # program -> its figures line, after checking the file it wrote
  local line
  line="$(wine "$HELM_BUILD_DIR/bench/$1.exe" "$BASE" "$WIN_WORK" body.bin | tr -d '\r' | tail -n 1)"
  if ! grep -q " ok=1 bytes=$SIZE " <<<"$line"; then
    echo "FAILED: $1: $line" >&2
    exit 1
  fi
  rm -f "$WORK/body.bin"
  echo "$line"
}
run_curl() {
  local seconds bytes
  seconds="$(curl -sf --noproxy '*' -o "$WORK/body.bin" -w '%{time_total}' "$URL")"
  bytes="$(stat -c %s "$WORK/body.bin")"
  rm -f "$WORK/body.bin"
  [ "$bytes" = "$SIZE" ] || { echo "FAILED: curl got $bytes bytes" >&2; exit 1; }
  echo "curl seconds=$seconds"
}

echo "body: $SIZE bytes from $URL, $ROUNDS rounds"
RESULTS=()
for round in $(seq "$ROUNDS"); do
  # Alternate which Wine program goes first.
  if (( round % 2 )); then
    RESULTS+=("$(run_wine bench_downloader)" "$(run_wine bench_bare_wininet)")
  else
    RESULTS+=("$(run_wine bench_bare_wininet)" "$(run_wine bench_downloader)")
  fi
  RESULTS+=("$(run_curl)")
done

printf '%s\n' "${RESULTS[@]}" | python3 bench/download/summarize.py "$SIZE"
