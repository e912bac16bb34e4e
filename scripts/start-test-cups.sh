#!/usr/bin/env bash
# Starts a private CUPS scheduler for the print tests, run by whoever runs the tests. It has one
# queue, "kvpdf", whose pages go through the PostScript filters of the cups-pdf driver and come out
# as PDF files made by Ghostscript in a backend of our own; it listens only on a local socket (no
# network port) and nothing outside its own folder is written.
#
#   start-test-cups.sh start STATE   start (or reuse) the scheduler; writes STATE/status
#   start-test-cups.sh stop STATE    stop it and remove its folder
#
# STATE (in the build tree) holds only what the tests read: `status` ("ready" or "unavailable:
# <why>"), `server` (the socket, the tests' CUPS_SERVER) and `root` (the scheduler's folder). The
# scheduler's configuration, spool, logs and output live in a folder of its own under /tmp: run as
# root, the scheduler hands jobs to filters running as `lp`, which must reach the spool and output
# folders, and a build tree inside a private (0700) home folder is out of their reach. Run as an
# ordinary user, the scheduler and its filters are that user and the folder stays private.
#
# Starting exits 0 when CUPS cannot run, so that the other tests still run and the spooler tests
# report what they could not check, except under CI (CI=true), which must exercise the spooler.
set -uo pipefail

action=${1:-}
state=${2:-}
if [ -z "$action" ] || [ -z "$state" ]; then
  echo "usage: $0 start|stop STATE" >&2
  exit 2
fi
mkdir -p "$state"
state=$(cd "$state" && pwd)
queue=kvpdf
root=$(cat "$state/root" 2>/dev/null || true)

alive() { [ -n "$root" ] && [ -f "$root/cupsd.pid" ] && kill -0 "$(cat "$root/cupsd.pid")" 2>/dev/null; }

stop() {
  if alive; then
    kill "$(cat "$root/cupsd.pid")" 2>/dev/null
    for _ in $(seq 50); do alive || break; sleep 0.1; done
  fi
  # Only a folder this script made: /tmp/kv-cups.XXXXXX.
  case "$root" in /tmp/kv-cups.??????) rm -rf "$root" ;; esac
  rm -f "$state/root" "$state/server"
  root=
}

unavailable() {
  echo "unavailable: $*" >"$state/status"
  echo "start-test-cups: print spooler tests will be skipped: $*" >&2
  stop
  if [ "${CI:-}" = "true" ]; then exit 1; fi
  exit 0
}

if [ "$action" = stop ]; then
  stop
  echo "stopped" >"$state/status"
  exit 0
fi
[ "$action" = start ] || { echo "usage: $0 start|stop STATE" >&2; exit 2; }

# Administration commands live in sbin, which an ordinary user's PATH often lacks.
PATH="$PATH:/usr/sbin:/sbin"
cupsd_bin=$(command -v cupsd || echo /usr/sbin/cupsd)
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -x "$cupsd_bin" ] || unavailable "cupsd is not installed (package cups)"
[ -f "$ppd" ] || unavailable "the cups-pdf driver is not installed (package printer-driver-cups-pdf)"
command -v gs >/dev/null || unavailable "Ghostscript is not installed (package ghostscript)"
command -v lpadmin >/dev/null || unavailable "lpadmin is not installed (package cups-client)"

if alive && [ -S "$root/cups.sock" ] && CUPS_SERVER="$root/cups.sock" lpstat -p "$queue" >/dev/null 2>&1; then
  echo "$root/cups.sock" >"$state/server"
  echo "ready" >"$state/status"
  exit 0
fi
stop

root=$(mktemp -d /tmp/kv-cups.XXXXXX) || unavailable "cannot make a folder under /tmp"
echo "$root" >"$state/root"
sock="$root/cups.sock"
mkdir -p "$root/conf/ppd" "$root/conf/ssl" "$root/spool/tmp" "$root/cache" "$root/state" "$root/log" \
  "$root/out" "$root/bin/backend"
# The scheduler finds its helper programs under ServerBin; ours is the system's with one more
# backend, kvpdf, which turns the PostScript the driver's filters make into a PDF in $root/out.
for sub in cgi-bin daemon driver filter monitor notifier; do
  [ -e "/usr/lib/cups/$sub" ] && ln -s "/usr/lib/cups/$sub" "$root/bin/$sub"
done
cat >"$root/bin/backend/kvpdf" <<'BACKEND'
#!/bin/sh
# kvpdf backend: job-id user title copies options [file]. Writes OUT/<title>-job_<id>.pdf, where
# OUT is the path of the device URI kvpdf:OUT; the file appears only complete.
if [ $# -eq 0 ]; then
  echo 'file kvpdf "KV test PDF" "KV test PDF output"'
  exit 0
fi
[ $# -ge 5 ] || exit 1
out=${DEVICE_URI#kvpdf:}
title=$(printf '%s' "$3" | tr -c 'A-Za-z0-9._-' '_' | cut -c1-100)
tmp="$out/.job_$1.part"
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -dAutoRotatePages=/PageByPage -sOutputFile="$tmp" \
  -f "${6:--}" >&2 || { rm -f "$tmp"; exit 1; }
mv "$tmp" "$out/$title-job_$1.pdf"
BACKEND
chmod 0755 "$root/bin" "$root/bin/backend" "$root/bin/backend/kvpdf"

if [ "$(id -u)" -eq 0 ]; then
  # The scheduler runs its filters and backends as lp: they must reach the spool files and write
  # the output. Programs it runs as root-owned must not be writable by others.
  chmod 0755 "$root" "$root/conf" "$root/cache" "$root/state" "$root/log"
  chmod 0777 "$root/out"
  chown root:lp "$root/spool" "$root/spool/tmp" && chmod 0710 "$root/spool" && chmod 1770 "$root/spool/tmp"
  run_as="User lp
Group lp
SystemGroup root"
else
  # An ordinary user's scheduler runs everything as that user; it cannot and need not switch.
  run_as="SystemGroup $(id -gn)"
fi

cat >"$root/conf/cups-files.conf" <<CONF
ServerRoot $root/conf
RequestRoot $root/spool
TempDir $root/spool/tmp
CacheDir $root/cache
StateDir $root/state
ErrorLog $root/log/error_log
AccessLog $root/log/access_log
PageLog $root/log/page_log
ServerBin $root/bin
DataDir /usr/share/cups
$run_as
FileDevice No
Sandboxing Relaxed
CONF

cat >"$root/conf/cupsd.conf" <<CONF
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

setsid "$cupsd_bin" -f -c "$root/conf/cupsd.conf" -s "$root/conf/cups-files.conf" \
  </dev/null >"$root/log/cupsd.out" 2>&1 &
echo $! >"$root/cupsd.pid"

for _ in $(seq 100); do
  [ -S "$sock" ] && CUPS_SERVER="$sock" lpstat -r >/dev/null 2>&1 && break
  alive || unavailable "cupsd stopped at start-up: $(tail -n 3 "$root/log/error_log" "$root/log/cupsd.out" 2>/dev/null | tr '\n' ' ')"
  sleep 0.1
done
[ -S "$sock" ] || unavailable "cupsd did not open $sock"

export CUPS_SERVER="$sock"
lpadmin -p "$queue" -E -v "kvpdf:$root/out" -P "$ppd" -o printer-error-policy=abort-job >"$root/log/lpadmin.out" 2>&1 ||
  unavailable "lpadmin could not add the queue: $(tr '\n' ' ' <"$root/log/lpadmin.out")"
lpadmin -d "$queue" >>"$root/log/lpadmin.out" 2>&1 || true
lpstat -p "$queue" >/dev/null 2>&1 || unavailable "the queue $queue is not listed"
echo "$sock" >"$state/server"
echo "ready" >"$state/status"
echo "start-test-cups: CUPS ready at $sock with queue $queue printing into $root/out"
