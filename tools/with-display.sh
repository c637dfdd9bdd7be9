#!/usr/bin/env bash
# Runs a command with an X display: the current one, or a private Xvfb server.
# Exits 77 (skipped) with a message when no X server can be started, or fails
# when CI is set: there the GL tests must run.
set -u
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
if ! command -v xvfb-run >/dev/null 2>&1; then
  if [ -n "${CI:-}" ]; then
    echo "FAILED: no X display and xvfb-run is not installed (CI is set)" >&2
    exit 1
  fi
  echo "SKIPPED: no X display and xvfb-run is not installed" >&2
  exit 77
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24 +extension GLX" "$@"
