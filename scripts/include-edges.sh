#!/usr/bin/env bash
# The include edges between the source folders: "from -> to count", one a
# line, from the #include lines of src/. Shows how the layers lean on one
# another before and after a change.
cd "$(dirname "$0")/.." || exit 1
grep -rHoE '^#include "[a-z_]+(/[a-z0-9_]+)*/[a-z0-9_]+\.h"' src |
  sed -E 's#^src/([a-z_]+(/(win32|memory))?)/[^:]*:\#include "([a-z_]+(/(win32|memory))?)/.*#\1 \4#' |
  awk '$1 != $2 { n[$1 " -> " $2]++ } END { for (k in n) print k, n[k] }' | sort
