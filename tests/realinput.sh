#!/usr/bin/env bash
# Runs the real-input check under a virtual X server; skipped (exit 77) when
# Xvfb or xdotool is not installed.
set -u
test_binary=$1
for tool in xvfb-run Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed (scripts/dev test installs it)"
    exit 77
  fi
done
export QT_QPA_PLATFORM=xcb
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$test_binary"
