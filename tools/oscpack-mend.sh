#!/usr/bin/env bash
# Mends oscpack 1.1.0's message decoder in an unpacked source tree, for the Windows build and the
# fuzz target alike: a blob whose size runs past the packet's end is built as an exception but
# never thrown, so the decoder reads on beyond the packet (found by fuzz_remote_oscpack). Each
# such line gets its `throw`. Safe to run twice; fails when the file is not as expected.
# Usage: tools/oscpack-mend.sh OSCPACK_SOURCE_DIR
set -euo pipefail
file=$1/osc/OscReceivedElements.cpp
[ -f "$file" ] || { echo "oscpack-mend: no $file" >&2; exit 1; }
sed -i 's/^\([[:space:]]*\)MalformedMessageException(/\1throw MalformedMessageException(/' "$file"
if grep -qE '^[[:space:]]*MalformedMessageException\(' "$file" ||
  [ "$(grep -c 'throw MalformedMessageException( "arguments exceed message size" )' "$file")" -lt 7 ]; then
  echo "oscpack-mend: $file is not as expected" >&2
  exit 1
fi
