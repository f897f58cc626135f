# Helpers that read the machine's own apt configuration, so no mirror is ever written into the
# project: a user's local mirror or proxy is respected. Sourced by the scripts that need them.

# Prints the apt source entries of this machine (one-line and deb822 files), as deb822 stanzas.
apt_source_stanzas() {
    local f
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [[ -f "$f" ]] || continue
        # "deb [options] uri suite components..." -> a stanza; the options keep their keys.
        sed -E 's/#.*//' "$f" | awk '$1 == "deb" {
            opts = ""; i = 2
            if ($2 ~ /^\[/) { while ($i !~ /\]$/) { opts = opts " " $i; i++ } opts = opts " " $i; i++ }
            gsub(/[\[\]]/, "", opts); n = split(opts, o, " ")
            print "Types: deb"; print "URIs: " $i; print "Suites: " $(i + 1)
            comps = ""; for (j = i + 2; j <= NF; j++) comps = comps " " $j; print "Components:" comps
            for (k = 1; k <= n; k++) { split(o[k], kv, "="); if (kv[1] == "signed-by") print "Signed-By: " kv[2] }
            print "" }'
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        [[ -f "$f" ]] || continue
        grep -v '^[[:space:]]*#' "$f"
        echo
    done
}

# The first mirror URI that serves the machine's own release (not its security or update suites).
apt_mirror() {
    local codename
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    apt_source_stanzas | awk -v rel="$codename" '
        BEGIN { RS = ""; FS = "\n" }
        {
            uris = ""; suites = ""; types = ""
            for (i = 1; i <= NF; i++) {
                if ($i ~ /^URIs:/) uris = substr($i, 6)
                if ($i ~ /^Suites:/) suites = " " substr($i, 8) " "
                if ($i ~ /^Types:/) types = " " substr($i, 7) " "
            }
            if (types ~ / deb / && suites ~ (" " rel " ")) { split(uris, u, " "); print u[1]; exit }
        }'
}

# Writes deb-src twins of the machine's deb entries into the file $1 (deb822).
apt_write_source_entries() {
    apt_source_stanzas | awk 'BEGIN { RS = ""; FS = "\n"; ORS = "\n\n" }
        /(^|\n)Types:[^\n]*deb/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' >"$1"
}
