#!/usr/bin/env bash
# Runs a Windows test program under Wine in the test prefix. The prefix is
# made once per build tree (it takes minutes) and reused by every test.
# usage: run_wine.sh PREFIX_DIR --init | PROGRAM [ARGS...]
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
if [ ! -f "$prefix/.ready" ]; then
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  wine wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  touch "$prefix/.ready"
fi
if [ "${1:-}" = "--init" ]; then
  exit 0
fi
wine "$@"
