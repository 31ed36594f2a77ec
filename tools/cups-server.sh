# Sourced by tools/test.sh: a CUPS server of the test run's own for the printing
# tests. Its configuration, spool and logs live in a folder under the run's runtime
# folder; it listens only on a socket of its own and has a PDF printer (cups-pdf)
# as its default destination.
#
# start_cups_server RUNTIME
#   Starts cupsd in RUNTIME/cups and sets cups_pid. Exports CUPS_SERVER (the
#   socket, which is how clients find the server) and TAVREL_CUPS_OUTPUT (the
#   folder the PDF of a job lands in: the submitting user's folder named by
#   cups-pdf's configuration, ~/PDF as installed). cupsd runs its filters as the
#   lp user and needs root for that; without root nothing is started and the
#   tests that need the server skip. Returns non-zero when the server fails.
start_cups_server() {
    local runtime=$1
    if [ "$(id -u)" -ne 0 ]; then
        echo "test.sh: not root, so no CUPS server: the printing tests that need it skip"
        return 0
    fi
    local cups="$runtime/cups"
    mkdir -p "$cups/conf" "$cups/spool" "$cups/cache" "$cups/state" "$cups/log"
    mkdir -m 1770 "$cups/tmp"
    chgrp lp "$cups/tmp"
    cat >"$cups/conf/cupsd.conf" <<CONF
Listen $cups/cups.sock
LogLevel warn
ErrorLog $cups/log/error_log
AccessLog $cups/log/access_log
PageLog $cups/log/page_log
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    cat >"$cups/conf/cups-files.conf" <<CONF
User lp
Group lp
SystemGroup root
ServerRoot $cups/conf
RequestRoot $cups/spool
CacheDir $cups/cache
StateDir $cups/state
TempDir $cups/tmp
Printcap $cups/printcap
CONF
    # Job numbers start somewhere of their own, so that the printouts of test runs
    # side by side do not share file names.
    echo "NextJobId $(( (RANDOM << 15 | RANDOM) % 900000 + 1000 ))" >"$cups/cache/job.cache"

    /usr/sbin/cupsd -f -c "$cups/conf/cupsd.conf" -s "$cups/conf/cups-files.conf" \
        >"$cups/log/cupsd.log" 2>&1 &
    cups_pid=$!
    export CUPS_SERVER="$cups/cups.sock"
    local _
    for _ in $(seq 1 100); do
        lpstat -r >/dev/null 2>&1 && break
        sleep 0.1
    done
    # pdftocairo keeps the text of the printed PDF readable; the default renderer,
    # Ghostscript, turns it into glyphs without characters.
    if ! lpadmin -p PDF -v cups-pdf:/ -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd \
            -o pdftops-renderer-default=pdftocairo 2>>"$cups/log/cupsd.log" \
            || ! lpadmin -d PDF 2>>"$cups/log/cupsd.log"; then
        cat "$cups/log/cupsd.log" >&2
        echo "test.sh: the CUPS server for the printing tests did not start" >&2
        return 1
    fi

    local home out
    home=$(getent passwd "$(id -un)" | cut -d: -f6)
    out=$(sed -n 's/^Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -n 1)
    out=${out:-'${HOME}/PDF'}
    export TAVREL_CUPS_OUTPUT="${out//'${HOME}'/$home}"
}
