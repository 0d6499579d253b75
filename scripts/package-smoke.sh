#!/usr/bin/env bash
# Packs the built program as a Debian package, unpacks it into a scratch
# root, checks its metadata and starts the installed program once offscreen:
# it must find its supplied files and set up the per-user store.
# Usage: scripts/package-smoke.sh <build dir>
set -euo pipefail
build="${1:-build}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls -t "$build"/velmora_*.deb | head -n 1)"
depends="$(dpkg-deb -f "$deb" Depends)"
for need in libqt6sql6-sqlite fonts-wqy-microhei libqt6widgets6; do
  grep -q "$need" <<<"$depends" || { echo "package does not depend on $need: $depends"; exit 1; }
done

dpkg-deb -x "$deb" "$scratch/root"
desktop-file-validate "$scratch/root/usr/share/applications/com.velmora.notepad.desktop"
appstreamcli validate --no-net "$scratch/root/usr/share/metainfo/com.velmora.notepad.metainfo.xml" >/dev/null

mkdir -p "$scratch/home" "$scratch/run"
chmod 700 "$scratch/run"
status=0
HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/data" XDG_CONFIG_HOME="$scratch/home/config" \
  XDG_RUNTIME_DIR="$scratch/run" QT_QPA_PLATFORM=offscreen \
  timeout 5 "$scratch/root/usr/bin/velmora" || status=$?
# 124: still running when the time ran out, which is what a started organiser does.
[ "$status" -eq 124 ] || { echo "installed program ended with status $status"; exit 1; }
for f in pad.db pic/copy.bmp pic/null_pic.bmp sample/test123.htm; do
  [ -f "$scratch/home/data/velmora/$f" ] || { echo "per-user $f was not set up"; exit 1; }
done
# The program writes to its store as soon as it runs (the reminder watch marks
# the minute it has looked at), so the copy is checked by what was supplied in
# it: the same schema version and the same region tables.
supplied="$scratch/root/usr/share/velmora/pad.db"
per_user="$scratch/home/data/velmora/pad.db"
for query in "pragma user_version" "select * from povince" "select * from city" "select * from area"; do
  [ "$(sqlite3 "$supplied" "$query")" == "$(sqlite3 "$per_user" "$query")" ] \
    || { echo "per-user pad.db is not the supplied store ($query differs)"; exit 1; }
done
[ "$(sqlite3 "$per_user" "select count(*) from city")" -gt 0 ] \
  || { echo "per-user pad.db holds no regions"; exit 1; }
echo "package smoke test: 1 passed, 0 failed"
