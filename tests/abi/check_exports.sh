#!/bin/sh
# The module exports exactly ImportTable and Linkage.
set -eu
module=$1
case "$module" in
  *.gau) exports=$(i686-w64-mingw32-objdump -p "$module" | awk '/\[Ordinal\/Name Pointer\] Table/{t=1;next} t&&/^[ \t]*\[/{print $NF} t&&/^$/{t=0}') ;;
  *) exports=$(nm -D --defined-only "$module" | awk '{print $NF}') ;;
esac
sorted=$(printf '%s\n' $exports | sort | tr '\n' ' ')
echo "exports: $sorted"
[ "$sorted" = "ImportTable Linkage " ]
