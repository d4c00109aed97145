#!/usr/bin/env bash
# Installs the build into a temporary prefix, then builds a small C program
# and a small C++ program (the encoder's C++ interface) against the installed
# tree twice, with pkg-config and with find_package, and runs them.
set -euo pipefail
build_dir="$1"
source_dir="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build_dir" --prefix "$prefix" >/dev/null
libdir="$(ls -d "$prefix"/lib*/ | head -n 1)"
libdir="${libdir%/}"
for f in include/mosaire.h include/mosaire/encoder.hpp include/lectavo.h include/lectavo/decoder.hpp share/man/man1/qrtool.1 bin/qrtool \
         share/applications/qrbench.desktop share/icons/hicolor/256x256/apps/qrbench.png; do
  test -e "$prefix/$f" || { echo "missing $f"; exit 1; }
done
test -e "$libdir/Mosaire.dll" && test -e "$libdir/Lectavo.dll"

# pkg-config
pcdir="$(dirname "$(find "$prefix" -name mosaire.pc | head -n 1)")"
export PKG_CONFIG_PATH="$pcdir"
cc -std=c99 -Wall -Werror -o "$work/rt_pkgconfig" "$source_dir/consumer/roundtrip.c" \
  $(pkg-config --cflags --libs mosaire lectavo)
(cd "$work" && ./rt_pkgconfig "$work/pc.bmp")
c++ -std=c++20 -Wall -Werror -o "$work/cpp_pkgconfig" "$source_dir/consumer/encode_cpp.cpp" \
  $(pkg-config --cflags --libs mosaire lectavo)
"$work/cpp_pkgconfig" "$work/cpp.bmp" | grep -q "^ok version"
"$prefix/bin/qrtool" decode "$work/cpp.bmp" | grep -q "text: installed C++ interface"

# find_package
cmake -S "$source_dir/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/consumer" >/dev/null
(cd "$work" && ./consumer/roundtrip "$work/cm.bmp")
"$work/consumer/encode_cpp" | grep -q "^ok version"

# the installed command-line tool finds its libraries
"$prefix/bin/qrtool" encode -o "$work/tool.bmp" "installed tool"
"$prefix/bin/qrtool" decode "$work/tool.bmp" | grep -q "text: installed tool"
# An installed window program whose folder its user cannot write uses the
# per-user folder for the files it writes (here: the carried libraries and
# the temporary symbol file of a headless generate).
if [ -x "$prefix/bin/qrbench" ]; then
  home="$work/home"
  mkdir -p "$home"
  chmod 755 "$work"
  if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody "$home"
    run_as=(runuser -u nobody --)
  else
    chmod a-w "$prefix/bin"
    run_as=()
  fi
  "${run_as[@]}" env -u XDG_CACHE_HOME HOME="$home" QT_QPA_PLATFORM=offscreen \
    "$prefix/bin/qrbench" --headless "$home/out.bmp" >/dev/null
  chmod u+w "$prefix/bin"
  test -s "$home/out.bmp" || { echo "installed qrbench wrote no symbol"; exit 1; }
  test -e "$home/.cache/qrsuite/Mosaire.dll" || { echo "carried libraries not in the per-user folder"; exit 1; }
  test ! -e "$prefix/bin/Mosaire.dll" || { echo "carried library written beside the installed program"; exit 1; }
fi

# The Python package (component python), where built: its module finds the
# installed libraries through its relative rpath.
module="$(find "$prefix" -name '_qrsuite*.so' | head -n 1)"
if [ -n "$module" ]; then
  (cd "$work" && PYTHONPATH="$(dirname "$(dirname "$module")")" /usr/bin/python3 -c \
    "import qrsuite; assert [s.text for s in qrsuite.decode(qrsuite.encode('installed').to_image())] == ['installed']")
fi
echo "install test passed"
