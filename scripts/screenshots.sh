#!/usr/bin/env bash
# Makes docs/launcher.png and docs/contacts.png from the built program, run
# under Xvfb from a private portable copy, so the pictures can be made again
# after the interface changes.
# Usage: scripts/screenshots.sh [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
for tool in Xvfb xdotool /usr/bin/import; do
  command -v "$tool" >/dev/null || { echo "needs $tool (apt-get install xvfb xdotool imagemagick)"; exit 1; }
done
scratch="$(mktemp -d)"
display=":$((90 + RANDOM % 100))"
cleanup() { kill "${app:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$scratch"; }
trap cleanup EXIT

mkdir -p "$scratch/app" "$scratch/run"
chmod 700 "$scratch/run"
cp -r "$build/bin/velmora" "$build/bin/pad.db" "$build/bin/pic" "$build/bin/sample" "$scratch/app/"

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp & xvfb=$!
sleep 1
export DISPLAY="$display" XDG_RUNTIME_DIR="$scratch/run" HOME="$scratch"
"$scratch/app/velmora" & app=$!
sleep 2
# No window manager: the launcher stands where it placed itself, at the
# right edge (screen width - 150, top 2).
/usr/bin/import -window root -crop 145x482+874+2 docs/launcher.png
xdotool mousemove $((874 + 16 + 56)) $((2 + 200 + 44)) click 1
sleep 2
window="$(xdotool search --name '^通讯录$' | head -n 1)"
eval "$(xdotool getwindowgeometry --shell "$window")"
/usr/bin/import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" docs/contacts.png
echo "wrote docs/launcher.png and docs/contacts.png"
