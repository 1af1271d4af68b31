#!/usr/bin/env bash
# A real print queue for the report engine's printing tests: CUPS with the
# PDF printer driver, every job written as a PDF file into one folder.
# Idempotent and never blocking; writes OS_CUPS_PDF_QUEUE and OS_CUPS_PDF_DIR
# to the file given as $1 only when the queue accepts jobs.
set -u
out="${1:-/dev/null}"
cd "$(dirname "$0")/../.." || exit 0
. scripts/common.sh

QUEUE=OS_PDF
DIR=/var/spool/cups-pdf-os

note() { echo "cups-pdf: $*"; }

if [ "$(id -u)" -ne 0 ]; then
    # The driver's configuration and the queue need administrator rights;
    # a queue made earlier by an administrator is still used.
    if lpstat -p "$QUEUE" >/dev/null 2>&1 && [ -d "$DIR" ]; then
        { echo "OS_CUPS_PDF_QUEUE=$QUEUE"; echo "OS_CUPS_PDF_DIR=$DIR"; } >> "$out"
    else
        note "not root: the printing tests against CUPS will be skipped"
    fi
    exit 0
fi

os_ensure_packages cups cups-client cups-bsd printer-driver-cups-pdf </dev/null || {
    note "could not install CUPS; the printing tests against it will be skipped"
    exit 0
}

# The queue's own driver configuration (the backend URI cups-pdf:/OS_PDF reads
# cups-pdf-OS_PDF.conf): a fixed output folder, file names from the job title.
mkdir -p "$DIR" && chmod 1777 "$DIR"
cat > "/etc/cups/cups-pdf-$QUEUE.conf" <<CONF
Out $DIR
AnonDirName $DIR
UserUMask 0000
Label 0
TitlePref 1
Cut -1
CONF

running() { lpstat -r 2>/dev/null | grep -q 'is running'; }
if ! running; then
    mkdir -p /run/cups
    /usr/sbin/cupsd >/dev/null 2>&1 || true
    for _ in $(seq 1 50); do running && break; sleep 0.2; done
fi
if ! running; then
    note "cupsd did not start; the printing tests against it will be skipped"
    exit 0
fi

if ! lpstat -p "$QUEUE" >/dev/null 2>&1; then
    ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
    [ -f "$ppd" ] || ppd=$(ls /usr/share/ppd/cups-pdf/*.ppd 2>/dev/null | head -n1)
    if [ -z "$ppd" ]; then
        note "no PDF printer description found"
        exit 0
    fi
    timeout 30 lpadmin -p "$QUEUE" -v "cups-pdf:/$QUEUE" -P "$ppd" -E \
        -o printer-error-policy=abort-job || { note "lpadmin failed"; exit 0; }
fi
# Jobs reach the driver as PostScript; made by poppler's cairo renderer the
# text stays text in the PDF (the default renderer turns it into glyph
# pictures that no text extraction can read).
timeout 30 lpadmin -p "$QUEUE" -o pdftops-renderer-default=pdftocairo >/dev/null 2>&1 || true
timeout 10 cupsenable "$QUEUE" >/dev/null 2>&1 || true
timeout 10 cupsaccept "$QUEUE" >/dev/null 2>&1 || true

if lpstat -p "$QUEUE" 2>/dev/null | grep -q enabled; then
    { echo "OS_CUPS_PDF_QUEUE=$QUEUE"; echo "OS_CUPS_PDF_DIR=$DIR"; } >> "$out"
    note "queue $QUEUE writes into $DIR"
else
    note "queue $QUEUE is not accepting jobs; the printing tests against it will be skipped"
fi
exit 0
