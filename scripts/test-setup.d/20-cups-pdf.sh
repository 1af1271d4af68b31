#!/usr/bin/env bash
# A private print server for the report engine's printing tests: a cupsd of
# its own (configuration, spool and logs inside the run's services folder, a
# free loopback port) with one queue, OS_PDF, whose backend writes every job
# as a PDF file into a folder of the run. The machine's CUPS configuration
# and queues are left alone. Works as root and as a normal user.
#
# Writes CUPS_SERVER (so that the tests, Qt and lpstat reach this server),
# OS_CUPS_PDF_QUEUE and OS_CUPS_PDF_DIR to the file given as $1 (and
# OS_CUPS_LETTER_QUEUE, a second queue into the same folder whose printer
# has Letter paper loaded), and the
# server's process id to $OS_SERVICES_DIR/cupsd.pid, where
# scripts/stop-services.sh finds it when the run ends. When anything fails it
# writes no variables and returns 0: the printing tests skip with the reason
# (and fail under CI).
set -u
out="${1:-/dev/null}"
cd "$(dirname "$0")/../.." || exit 0
. scripts/services.sh

QUEUE=OS_PDF
LETTER_QUEUE=OS_PDF_LETTER
HOST=127.0.0.1
CUPSD=/usr/sbin/cupsd

note() { echo "cups-pdf: $*" >&2; }

[ -n "${OS_SERVICES_DIR:-}" ] || { note "OS_SERVICES_DIR is not set"; exit 0; }
[ -x "$CUPSD" ] || { note "$CUPSD is missing (package cups-daemon)"; exit 0; }
# lpadmin lives in /usr/sbin, outside a normal user's PATH.
LPADMIN=$(command -v lpadmin 2>/dev/null || echo /usr/sbin/lpadmin)
[ -x "$LPADMIN" ] && command -v lpstat >/dev/null 2>&1 || { note "lpadmin or lpstat is missing (package cups-client)"; exit 0; }
[ -x /usr/lib/cups/filter/pdftopdf ] || { note "pdftopdf is missing (package cups-filters)"; exit 0; }

root="$OS_SERVICES_DIR/cups"
pdfdir="$OS_SERVICES_DIR/cups-pdf"
rm -rf "$root" "$pdfdir"
mkdir -p "$root"/{bin,spool,cache,state,tmp,log,ppd} "$pdfdir" || { note "cannot make $root"; exit 0; }
# As root, filters run as the "lp" user and the backend as root: the
# folders they read and write must let them.
chmod 755 "$root" "$root/bin"
chmod 1777 "$root/tmp" "$pdfdir"

# The server's programs: the installed filters and helpers, and a backend
# folder with our own backend only.
for d in /usr/lib/cups/*; do
    [ "$(basename "$d")" = backend ] || ln -s "$d" "$root/bin/$(basename "$d")"
done
mkdir -p "$root/bin/backend"
cat > "$root/bin/backend/ospdf" <<'BACKEND'
#!/bin/sh
# ospdf:/FOLDER - writes each job, a PDF file, into FOLDER as
# "<title>-<job id>.pdf" (under another name until it is complete).
# Arguments: job-id user title copies options [file].
if [ $# -eq 0 ]; then
    echo 'direct ospdf "Unknown" "PDF files in a folder"'
    exit 0
fi
dir=${DEVICE_URI#ospdf:}
name=$(printf '%s' "$3" | tr -c 'A-Za-z0-9._-' '_' | cut -c1-100)
[ -n "$name" ] || name=job
final="$dir/$name-$1.pdf"
part="$final.part"
if [ -n "${6:-}" ]; then
    cat "$6" > "$part" || exit 1
else
    cat > "$part" || exit 1
fi
chmod 644 "$part"
mv "$part" "$final" || exit 1
echo "INFO: written to $final" >&2
exit 0
BACKEND
# Mode 0700: cupsd runs it as the user it runs as itself (root or not).
chmod 700 "$root/bin/backend/ospdf"

# A PDF printer: the jobs reach the backend as PDF after pdftopdf (page
# ranges, copies), so their text stays text.
cat > "$root/ppd/ospdf.ppd" <<'PPD'
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "OSPDF.PPD"
*Manufacturer: "Generic"
*Product: "(PDF files)"
*ModelName: "PDF files"
*ShortNickName: "PDF files"
*NickName: "PDF files in a folder"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsVersion: 2.4
*cupsManualCopies: True
*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*PageSize A5/A5: "<</PageSize[420 595]/ImagingBBox null>>setpagedevice"
*PageSize A3/A3: "<</PageSize[842 1191]/ImagingBBox null>>setpagedevice"
*PageSize Letter/US Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*PageSize Legal/US Legal: "<</PageSize[612 1008]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*PageRegion A5/A5: "<</PageSize[420 595]/ImagingBBox null>>setpagedevice"
*PageRegion A3/A3: "<</PageSize[842 1191]/ImagingBBox null>>setpagedevice"
*PageRegion Letter/US Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*PageRegion Legal/US Legal: "<</PageSize[612 1008]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "0 0 595 842"
*ImageableArea A5/A5: "0 0 420 595"
*ImageableArea A3/A3: "0 0 842 1191"
*ImageableArea Letter/US Letter: "0 0 612 792"
*ImageableArea Legal/US Legal: "0 0 612 1008"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
*PaperDimension A5/A5: "420 595"
*PaperDimension A3/A3: "842 1191"
*PaperDimension Letter/US Letter: "612 792"
*PaperDimension Legal/US Legal: "612 1008"
*DefaultFont: Courier
*Font Courier: Standard "(002.004S)" Standard ROM
PPD

# A Letter printer: the same PDF files, with Letter paper loaded (it knows
# the other sizes too, as most printers do).
sed -e 's/^\*\(Default[A-Za-z]*\): A4$/*\1: Letter/' \
    -e 's/PDF files in a folder/PDF files in a folder, Letter paper/' \
    -e 's/OSPDF.PPD/OSPDFLTR.PPD/' \
    "$root/ppd/ospdf.ppd" > "$root/ppd/ospdf-letter.ppd"

write_conf() {
    cat > "$root/cupsd.conf" <<CONF
Listen $HOST:$1
LogLevel warn
MaxLogSize 0
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultAuthType None
DefaultPolicy open
PreserveJobHistory No
PreserveJobFiles No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy open>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    {
        echo "ServerRoot $root"
        echo "ServerBin $root/bin"
        echo "RequestRoot $root/spool"
        echo "CacheDir $root/cache"
        echo "StateDir $root/state"
        echo "TempDir $root/tmp"
        echo "AccessLog $root/log/access_log"
        echo "ErrorLog $root/log/error_log"
        echo "PageLog $root/log/page_log"
        echo "FileDevice No"
        if [ "$(id -u)" -eq 0 ]; then
            echo "User lp"
            echo "Group lp"
            echo "SystemGroup root"
        else
            echo "SystemGroup $(id -gn)"
        fi
    } > "$root/cups-files.conf"
}

queue_ready() {
    lpstat -h "$HOST:$1" -p "$QUEUE" 2>/dev/null | grep -q enabled \
        && lpstat -h "$HOST:$1" -a "$QUEUE" 2>/dev/null | grep -q accepting
}

# A port nobody listens on; another program may take it between the look
# and the server's start, so a server that does not come up is tried again
# on another port.
for _ in 1 2 3 4 5; do
    port=$(os_free_port) || { note "no free loopback port"; exit 0; }
    write_conf "$port"
    os_start_service cupsd "$CUPSD" -f -c "$root/cupsd.conf" -s "$root/cups-files.conf" || {
        note "cupsd ended at once: $(tr '\n' ' ' < "$OS_SERVICES_DIR/cupsd.log") $(tr '\n' ' ' < "$root/log/error_log" 2>/dev/null)"
        continue
    }
    if os_wait_listening "$HOST" "$port" 20 \
        && timeout 30 "$LPADMIN" -h "$HOST:$port" -p "$QUEUE" -v "ospdf:$pdfdir" -P "$root/ppd/ospdf.ppd" -E \
            -o printer-error-policy=abort-job >"$root/lpadmin.log" 2>&1 \
        && queue_ready "$port"; then
        {
            echo "CUPS_SERVER=$HOST:$port"
            echo "OS_CUPS_PDF_QUEUE=$QUEUE"
            echo "OS_CUPS_PDF_DIR=$pdfdir"
        } >> "$out"
        # The Letter queue is a bonus: the tests that need it skip without.
        if timeout 30 "$LPADMIN" -h "$HOST:$port" -p "$LETTER_QUEUE" -v "ospdf:$pdfdir" \
                -P "$root/ppd/ospdf-letter.ppd" -E -o printer-error-policy=abort-job >>"$root/lpadmin.log" 2>&1 \
            && QUEUE="$LETTER_QUEUE" queue_ready "$port"; then
            echo "OS_CUPS_LETTER_QUEUE=$LETTER_QUEUE" >> "$out"
        else
            note "the Letter queue was not taken: $(tr '\n' ' ' < "$root/lpadmin.log" 2>/dev/null)"
        fi
        note "private print server on $HOST:$port, queue $QUEUE writes into $pdfdir"
        exit 0
    fi
    note "the print server on port $port did not take the queue: $(tr '\n' ' ' < "$root/lpadmin.log" 2>/dev/null) $(tr '\n' ' ' < "$root/log/error_log" 2>/dev/null)"
    os_stop_service cupsd
done
note "the private print server did not start"
exit 0
