#!/usr/bin/env bash
# Makes Debian's source packages reachable for `apt-get source`: the Windows build and the
# fuzzers build libraries from them. Adds a deb-src entry for bookworm main on the mirror the
# system's own entries use, and refreshes the package lists. Does nothing when source packages
# are already known. Needs root only to add the entry. Everything it prints goes to standard
# error, so that callers may capture their own output around it.
# Usage: tools/debian-sources.sh   (exit 0: `apt-get source` works; 1: it cannot be made to)
set -euo pipefail
exec 1>&2

entry=/etc/apt/sources.list.d/roarmark-src.sources

# A source package every Debian has: known once the deb-src lists are there.
sources_known() { apt-cache showsrc zlib 2>/dev/null | grep -q '^Package: zlib'; }

# The mirror and keyring of the system's bookworm entry, from deb822 files or one-line lists.
system_mirror() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk 'BEGIN { RS = ""; FS = "\n" }
      {
        types = ""; uris = ""; suites = ""; key = ""
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^Types:/) types = " " substr($i, 7) " "
          else if ($i ~ /^URIs:/) uris = substr($i, 6)
          else if ($i ~ /^Suites:/) suites = " " substr($i, 8) " "
          else if ($i ~ /^Signed-By:/) key = substr($i, 11)
        }
        gsub(/[ \t]+/, " ", types); gsub(/[ \t]+/, " ", suites)
        if (types ~ / deb / && suites ~ / bookworm /) {
          split(uris, u, " "); gsub(/^ +/, "", key); print u[1], key; exit
        }
      }' "$f"
  done
  cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
    sed -e 's/#.*//' -e 's/\[[^]]*\]//' |
    awk '$1 == "deb" && $3 == "bookworm" { print $2; exit }'
}

if sources_known; then exit 0; fi
if [ "$(id -u)" != 0 ]; then
  echo "Debian's source packages are not known to apt: run 'sudo bash tools/debian-sources.sh' once"
  exit 1
fi
if [ ! -f "$entry" ]; then
  read -r mirror key < <(system_mirror | head -n 1) || true
  mirror=${mirror:-http://deb.debian.org/debian}
  key=${key:-/usr/share/keyrings/debian-archive-keyring.gpg}
  echo "Adding Debian's source packages ($mirror bookworm main) in $entry"
  printf '%s\n' 'Types: deb-src' "URIs: $mirror" 'Suites: bookworm' 'Components: main' \
    "Signed-By: $key" >"$entry"
fi
apt-get update -qq
if ! sources_known; then
  echo "apt still knows no source packages after adding $entry"
  exit 1
fi
