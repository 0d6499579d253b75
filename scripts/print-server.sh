#!/usr/bin/env bash
# print-server.sh start|stop <dir>: a private print server for the printing
# tests. Its configuration, spool, logs and socket (<dir>/cups.sock) live in
# <dir>; the system's own print server and its queues are left alone. One
# queue, "PDF", uses the cups-pdf driver and is the default printer. Its jobs
# are held, so nothing is turned into a file in anyone's home folder: a test
# reads the document the program sent from <dir>/spool.
# Without cupsd there is nothing to start, and the tests that need it skip.
set -euo pipefail
action=${1:?start or stop}
dir=${2:?folder}
cupsd=/usr/sbin/cupsd

stop_server() {
  [ -f "$dir/cupsd.pid" ] || return 0
  local pid
  pid=$(cat "$dir/cupsd.pid")
  rm -f "$dir/cupsd.pid"
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
}

write_config() {
  mkdir -p "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/log" "$dir/ppd"
  # cupsd's helpers run as lp and must reach the spool.
  chmod 755 "$dir"
  chgrp lp "$dir/spool" "$dir/spool/tmp" "$dir/cache" "$dir/ppd"
  chmod 710 "$dir/spool"
  chmod 1770 "$dir/spool/tmp"
  cat >"$dir/cups-files.conf" <<CONF
ServerRoot $dir
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
SystemGroup root
CONF
  cat >"$dir/cupsd.conf" <<CONF
LogLevel info
Listen $dir/cups.sock
Browsing No
WebInterface No
PreserveJobFiles Yes
ErrorPolicy abort-job
<Location />
  Order allow,deny
  Allow localhost
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
}

start_server() {
  stop_server # one left behind by an interrupted run
  rm -rf "$dir"
  if [ ! -x "$cupsd" ]; then
    echo "cupsd is not installed: the printing tests skip"
    exit 0
  fi
  if [ "$(id -u)" -ne 0 ]; then
    echo "a print server of its own needs root (the test command runs as root)" >&2
    exit 1
  fi
  if [ ${#dir} -gt 90 ]; then
    echo "$dir is too long a path for the server's socket" >&2
    exit 1
  fi
  write_config
  setsid "$cupsd" -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" \
    </dev/null >"$dir/log/cupsd.out" 2>&1 &
  echo $! >"$dir/cupsd.pid"
  export CUPS_SERVER="$dir/cups.sock"
  for _ in $(seq 100); do
    lpstat -r 2>/dev/null | grep -q 'is running' && break
    sleep 0.1
  done
  if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    echo "the print server did not start:" >&2
    cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
    stop_server
    exit 1
  fi
  lpadmin -p PDF -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd \
    -o job-hold-until-default=indefinite 2>&1 | grep -v 'drivers are deprecated' >&2 || true
  lpadmin -d PDF
  lpstat -d | grep -q 'PDF' || { echo "no PDF queue" >&2; stop_server; exit 1; }
  echo "print server running at $CUPS_SERVER"
}

case "$action" in
  start) start_server ;;
  stop) stop_server ;;
  *) echo "usage: $0 start|stop <dir>" >&2; exit 2 ;;
esac
