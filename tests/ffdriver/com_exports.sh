#!/bin/sh
# com_exports.sh OBJDUMP DLL "ORDINAL NAME"...
# Passes when the DLL exports exactly the given names, undecorated, at the given ordinals.
objdump=$1; dll=$2; shift 2
table=$("$objdump" -p "$dll") || { echo "cannot read $dll"; exit 1; }
base=$(printf '%s\n' "$table" | sed -n 's/^Export Address Table -- Ordinal Base \([0-9]*\).*/\1/p')
[ -n "$base" ] || { echo "$dll has no export table"; exit 1; }
actual=$(printf '%s\n' "$table" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*\([0-9]*\)\][[:space:]]*\([^[:space:]]*\).*/\1 \2/p' |
  while read -r index name; do echo "$((index + base)) $name"; done | sort -n)
expected=$(for line in "$@"; do echo "$line"; done | sort -n)
if [ "$actual" != "$expected" ]; then
  echo "exports of $dll:"; echo "$actual"; echo "expected:"; echo "$expected"
  exit 1
fi
echo "exports of $dll as expected"
