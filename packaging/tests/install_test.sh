#!/usr/bin/env bash
# Installs the build into a temporary prefix, then builds a small C program
# against the installed tree twice, with pkg-config and with find_package,
# and runs both.
set -euo pipefail
build_dir="$1"
source_dir="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build_dir" --prefix "$prefix" >/dev/null
libdir="$(ls -d "$prefix"/lib*/ | head -n 1)"
libdir="${libdir%/}"
for f in include/mosaire.h include/lectavo.h share/man/man1/qrtool.1 bin/qrtool; do
  test -e "$prefix/$f" || { echo "missing $f"; exit 1; }
done
test -e "$libdir/Mosaire.dll" && test -e "$libdir/Lectavo.dll"

# pkg-config
pcdir="$(dirname "$(find "$prefix" -name mosaire.pc | head -n 1)")"
export PKG_CONFIG_PATH="$pcdir"
cc -std=c99 -Wall -Werror -o "$work/rt_pkgconfig" "$source_dir/consumer/roundtrip.c" \
  $(pkg-config --cflags --libs mosaire lectavo)
(cd "$work" && ./rt_pkgconfig "$work/pc.bmp")

# find_package
cmake -S "$source_dir/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/consumer" >/dev/null
(cd "$work" && ./consumer/roundtrip "$work/cm.bmp")

# the installed command-line tool finds its libraries
"$prefix/bin/qrtool" encode -o "$work/tool.bmp" "installed tool"
"$prefix/bin/qrtool" decode "$work/tool.bmp" | grep -q "text: installed tool"
echo "install test passed"
