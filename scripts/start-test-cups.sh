#!/usr/bin/env bash
# Starts a private CUPS scheduler for the print tests: its configuration, spool, state, logs and the
# PDFs it prints all live under DIR, it listens only on a local socket (DIR/cups.sock; no network
# port), and it has one queue, "kvpdf", that prints into DIR/out through cups-pdf.
#
#   start-test-cups.sh start DIR   start (or reuse) the scheduler; writes DIR/status
#   start-test-cups.sh stop DIR    stop the scheduler started for DIR
#
# DIR/server names the socket (the tests' CUPS_SERVER). DIR/status holds "ready" or "unavailable:
# <why>"; the tests read it and skip the spooler tests with that message when it is not ready. Starting exits 0 even when CUPS cannot run, so that the other
# tests still run, except under CI (CI=true), which must exercise the spooler.
#
# cups-pdf reads its settings only from /etc/cups/cups-pdf-<queue suffix>.conf, so that one file is
# written there; it points cups-pdf at DIR/out and nothing else.
set -uo pipefail

action=${1:-}
dir=${2:-}
if [ -z "$action" ] || [ -z "$dir" ]; then
  echo "usage: $0 start|stop DIR" >&2
  exit 2
fi
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
queue=kvpdf
suffix=kvtest
sock="$dir/cups.sock"
# A Unix socket path is limited to 107 bytes; a deep build tree gets a socket under /tmp instead.
if [ ${#sock} -ge 100 ]; then sock="/tmp/kv-cups-$(printf '%s' "$dir" | md5sum | cut -c1-12).sock"; fi
pidfile="$dir/cupsd.pid"
status="$dir/status"

alive() { [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; }

stop() {
  if alive; then
    kill "$(cat "$pidfile")" 2>/dev/null
    for _ in $(seq 50); do alive || break; sleep 0.1; done
  fi
  rm -f "$pidfile"
}

unavailable() {
  echo "unavailable: $*" >"$status"
  echo "start-test-cups: print spooler tests will be skipped: $*" >&2
  stop
  if [ "${CI:-}" = "true" ]; then exit 1; fi
  exit 0
}

if [ "$action" = stop ]; then
  stop
  echo "stopped" >"$status"
  exit 0
fi
[ "$action" = start ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }

cupsd_bin=$(command -v cupsd || echo /usr/sbin/cupsd)
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -x "$cupsd_bin" ] || unavailable "cupsd is not installed (package cups)"
[ -x /usr/lib/cups/backend/cups-pdf ] && [ -f "$ppd" ] || unavailable "cups-pdf is not installed (package printer-driver-cups-pdf)"
[ "$(id -u)" -eq 0 ] || unavailable "the scheduler and cups-pdf need root here"

if alive && [ -S "$sock" ] && CUPS_SERVER="$sock" lpstat -p "$queue" >/dev/null 2>&1; then
  echo "$sock" >"$dir/server"
  echo "ready" >"$status"
  exit 0
fi
stop

mkdir -p "$dir/conf/ppd" "$dir/conf/ssl" "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/log" "$dir/out" \
  "$dir/pdf-spool"
rm -f "$sock" "$dir/conf/printers.conf"
# Filters run as lp and must reach the spool files below DIR.
chmod 755 "$dir" "$dir/conf" "$dir/cache" "$dir/state" "$dir/log"
chmod 777 "$dir/out" "$dir/pdf-spool"
chown root:lp "$dir/spool" "$dir/spool/tmp" && chmod 0710 "$dir/spool" && chmod 1770 "$dir/spool/tmp"

cat >"$dir/conf/cups-files.conf" <<CONF
ServerRoot $dir/conf
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
User lp
Group lp
SystemGroup root
FileDevice No
Sandboxing Relaxed
CONF

cat >"$dir/conf/cupsd.conf" <<CONF
Listen $sock
Browsing No
BrowseLocalProtocols none
WebInterface No
LogLevel warn
MaxJobs 200
# The tests read the documents the spooler received.
PreserveJobHistory Yes
PreserveJobFiles Yes
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF

cat >"/etc/cups/cups-pdf-$suffix.conf" <<CONF
# Written by KV Viewer's test set-up (scripts/start-test-cups.sh) for its private test scheduler.
Out $dir/out
AnonDirName $dir/out
Spool $dir/pdf-spool
Log $dir/log
Label 0
TitlePref 1
UserUMask 0000
CONF

setsid "$cupsd_bin" -f -c "$dir/conf/cupsd.conf" -s "$dir/conf/cups-files.conf" \
  </dev/null >"$dir/log/cupsd.out" 2>&1 &
echo $! >"$pidfile"

for _ in $(seq 100); do
  [ -S "$sock" ] && CUPS_SERVER="$sock" lpstat -r >/dev/null 2>&1 && break
  alive || unavailable "cupsd stopped at start-up: $(tail -n 3 "$dir/log/error_log" "$dir/log/cupsd.out" 2>/dev/null | tr '\n' ' ')"
  sleep 0.1
done
[ -S "$sock" ] || unavailable "cupsd did not open $sock"

export CUPS_SERVER="$sock"
lpadmin -p "$queue" -E -v "cups-pdf:/$suffix" -P "$ppd" -o printer-error-policy=abort-job >"$dir/log/lpadmin.out" 2>&1 ||
  unavailable "lpadmin could not add the queue: $(tr '\n' ' ' <"$dir/log/lpadmin.out")"
lpadmin -d "$queue" >>"$dir/log/lpadmin.out" 2>&1 || true
lpstat -p "$queue" >/dev/null 2>&1 || unavailable "the queue $queue is not listed"
echo "$sock" >"$dir/server"
echo "ready" >"$status"
echo "start-test-cups: CUPS ready at $sock with queue $queue printing into $dir/out"
