#!/usr/bin/env bash
# The editor started where OpenGL is too old for it: one line on standard error
# and a "Fatal error" message box on the display. Runs under tools/with-display.sh.
set -u
editor=$1
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT

MESA_GL_VERSION_OVERRIDE=3.0 "$editor" 2>"$errors" &
pid=$!
shown=
for _ in $(seq 100); do
  if xwininfo -root -tree 2>/dev/null | grep -q '"Fatal error"'; then
    shown=1
    break
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
# SDL turns SIGTERM into a quit event the box never reads; the box runs in a child.
pkill -KILL -P "$pid" 2>/dev/null
kill -KILL "$pid" 2>/dev/null
wait "$pid" 2>/dev/null

status=0
if [ -z "$shown" ]; then
  echo "FAILED: no \"Fatal error\" message box appeared" >&2
  status=1
fi
if ! grep -q "^Brinora Engine Editor: no OpenGL 3.3" "$errors"; then
  echo "FAILED: standard error did not say why the editor cannot start:" >&2
  cat "$errors" >&2
  status=1
fi
[ "$status" -eq 0 ] && echo "the box and the line on standard error both appeared"
exit "$status"
