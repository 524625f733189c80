#!/usr/bin/env bash
# A CUPS queue that prints to PDF files, for the printing tests.
#
#   scripts/pdf-queue.sh start STATE_DIR   starts cupsd when none runs (remembering that it did),
#                                          adds the queue and writes STATE_DIR/pdf-queue.env
#                                          (VOLUMARA_PDF_QUEUE, VOLUMARA_PDF_OUT) to be sourced
#   scripts/pdf-queue.sh stop STATE_DIR    stops the cupsd that `start` started, if any
#
# A machine that cannot run cupsd gets a note and no env file; the printing tests then skip,
# except under CI=true, where they fail.
set -uo pipefail

queue=VolumaraPDF
out=/var/spool/cups-pdf-volumara
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
action=${1:-}
state=${2:-}
[ -n "$action" ] && [ -n "$state" ] || { echo "usage: $0 start|stop STATE_DIR" >&2; exit 2; }
mkdir -p "$state"
pidfile="$state/cupsd.pid"
envfile="$state/pdf-queue.env"

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)

scheduler_running() { lpstat -r 2>/dev/null | grep -q "is running"; }

note() { echo "pdf-queue: $*" >&2; }

start() {
    rm -f "$envfile"
    if ! command -v cupsd >/dev/null || ! command -v lpadmin >/dev/null || [ ! -f "$ppd" ]; then
        note "cups or printer-driver-cups-pdf is not installed; printing tests will skip"
        return 0
    fi
    if ! scheduler_running; then
        "${as_root[@]}" mkdir -p /run/cups
        "${as_root[@]}" cupsd -f >"$state/cupsd.log" 2>&1 &
        echo $! >"$pidfile"
        for _ in $(seq 50); do
            scheduler_running && break
            sleep 0.2
        done
        if ! scheduler_running; then
            note "cupsd could not be started (see $state/cupsd.log); printing tests will skip"
            stop
            return 0
        fi
    fi
    # cups-pdf reads cups-pdf-<name>.conf for a device URI cups-pdf:/<name>: this queue writes
    # every job into one folder that the tests watch, whoever prints.
    "${as_root[@]}" mkdir -p "$out"
    "${as_root[@]}" chmod 1777 "$out"
    printf 'Out %s\nAnonDirName %s\nLabel 2\nUserUMask 0000\n' "$out" "$out" |
        "${as_root[@]}" tee /etc/cups/cups-pdf-volumara.conf >/dev/null
    if ! "${as_root[@]}" lpadmin -p "$queue" -E -v cups-pdf:/volumara -P "$ppd" \
        -o printer-error-policy=abort-job; then
        note "lpadmin could not add the queue $queue; printing tests will skip"
        return 0
    fi
    "${as_root[@]}" cupsenable "$queue" 2>/dev/null || true
    "${as_root[@]}" cupsaccept "$queue" 2>/dev/null || true
    printf 'export VOLUMARA_PDF_QUEUE=%s\nexport VOLUMARA_PDF_OUT=%s\n' "$queue" "$out" >"$envfile"
}

stop() {
    [ -f "$pidfile" ] || return 0
    local pid
    pid=$(cat "$pidfile")
    rm -f "$pidfile"
    "${as_root[@]}" kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
}

case "$action" in
start) start ;;
stop) stop ;;
*) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
