#!/usr/bin/env bash
# scripts/host-arch picks the 32-bit build only where a 32-bit loader really
# starts; a missing loader, one the kernel refuses, or --x64 give the 64-bit
# test build.
set -uo pipefail
probe="$(dirname "${BASH_SOURCE[0]}")/../../scripts/host-arch"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
expect() { # expected-prefix, loader, args...
  local want="$1" loader="$2" got
  shift 2
  got="$(HELM_WINE32_LOADER="$loader" "$probe" "$@")"
  if [[ "$got" == "$want"* ]]; then
    echo "ok   $loader $*: $got"
  else
    echo "FAIL $loader $*: got '$got', expected '$want...'"
    failures=$((failures + 1))
  fi
}

printf '#!/bin/sh\necho wine-8.0\n' >"$work/runs"
# An ELF header the kernel cannot load, as a 32-bit loader is on a host
# without IA-32 emulation.
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\377\377' >"$work/refused"
printf '#!/bin/sh\nexit 1\n' >"$work/fails"
chmod +x "$work/runs" "$work/refused" "$work/fails"

expect "x86: this host runs 32-bit code (wine-8.0)" "$work/runs"
expect "x64: asked for with --x64" "$work/runs" --x64
expect "x64: $work/absent is not installed" "$work/absent"
expect "x64: this host cannot run 32-bit code (" "$work/refused"
expect "x64: this host cannot run 32-bit code" "$work/fails"
echo "host-arch: $((5 - failures)) of 5 cases as expected"
[ "$failures" -eq 0 ]
