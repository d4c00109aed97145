#!/usr/bin/env bash
# Builds the Debian packages of a release build folder (cpack -G DEB, into a
# temporary folder), checks their dependency lines, installs them all into a
# scratch root (dpkg --root, nothing is installed on the machine) and runs the
# qrtool there and a C++ program built against the development files there.
#   packaging/tests/deb_test.sh BUILD_DIR
set -euo pipefail
build_dir="$(cd "$1" && pwd)"
source_dir="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "deb_test: $*" >&2; exit 1; }

(cd "$work" && cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }

expected=(qrsuite-libs qrsuite-dev qrsuite-tool)
[ -x "$build_dir/bin/qrbench" ] && expected+=(qrsuite-programs)
declare -A deb
for file in "$work"/out/*.deb; do
  deb[$(dpkg-deb -f "$file" Package)]="$file"
done
for name in "${expected[@]}"; do
  [ -n "${deb[$name]:-}" ] || fail "no package $name (made: ${!deb[*]})"
done
version="$(dpkg-deb -f "${deb[qrsuite-libs]}" Version)"

# Installed together into a scratch root with dpkg's own database there
# (the system libraries they depend on are the machine's, outside it).
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless -i "${deb[@]}" \
  >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg could not install the packages"; }

# Dependency lines: package names with optional version relations only, no
# path into a build tree; Qt only for the window programs, and for the
# libraries only while one of them links Qt itself.
libs_need_qt=no
for lib in "$root"/usr/lib/Mosaire.dll "$root"/usr/lib/Lectavo.dll; do
  readelf -d "$lib" | grep -q 'NEEDED.*libQt' && libs_need_qt=yes
done
for name in "${!deb[@]}"; do
  depends="$(dpkg-deb -f "${deb[$name]}" Depends)"
  printf '%-18s %8s bytes  Depends: %s\n' "$name" "$(stat -c %s "${deb[$name]}")" "$depends"
  IFS=',|' read -ra items <<<"$depends"
  for item in "${items[@]}"; do
    item="$(echo "$item" | sed 's/^ *//; s/ *$//')"
    [[ $item =~ ^[a-z0-9][a-z0-9.+-]*(:[a-z0-9]+)?(\ \((<<|<=|=|>=|>>)\ [A-Za-z0-9.+~:-]+\))?$ ]] ||
      fail "$name: odd dependency '$item'"
  done
  case "$name" in
    qrsuite-programs) ;;
    qrsuite-libs) [ "$libs_need_qt" = yes ] || ! grep -qi 'libqt' <<<"$depends" || fail "$name depends on Qt" ;;
    *) ! grep -qi 'libqt' <<<"$depends" || fail "$name depends on Qt" ;;
  esac
  if [ "$name" != qrsuite-libs ]; then
    grep -q "qrsuite-libs (= $version)" <<<"$depends" || fail "$name does not depend on qrsuite-libs $version"
  fi
done

for f in usr/bin/qrtool usr/share/man/man1/qrtool.1 usr/lib/Mosaire.dll usr/lib/Lectavo.dll \
         usr/include/mosaire.h usr/include/mosaire/encoder.hpp usr/include/lectavo.h usr/include/lectavo/decoder.hpp \
         usr/lib/pkgconfig/mosaire.pc usr/lib/cmake/Mosaire/MosaireConfig.cmake; do
  [ -e "$root/$f" ] || fail "missing /$f"
done
if [ -n "${deb[qrsuite-programs]:-}" ]; then
  for f in usr/bin/qrbench usr/bin/qrmake usr/bin/qrcam usr/share/applications/qrbench.desktop \
           usr/share/icons/hicolor/256x256/apps/qrbench.png; do
    [ -e "$root/$f" ] || fail "missing /$f"
  done
fi

# The unpacked qrtool, on the unpacked libraries only.
export LD_LIBRARY_PATH="$root/usr/lib"
ldd "$root/usr/bin/qrtool" | grep 'Mosaire.dll' | grep -q "$root/usr/lib" || fail "qrtool does not load the unpacked library"
"$root/usr/bin/qrtool" encode -l Q -o "$work/deb.bmp" "from the package"
"$root/usr/bin/qrtool" decode "$work/deb.bmp" | grep -q "text: from the package" || fail "qrtool decode"

# The Python package, where built: imported from the unpacked tree, its module
# finding the unpacked libraries.
if [ -n "${deb[qrsuite-python3]:-}" ]; then
  module="$(find "$root/usr/lib" -name '_qrsuite*.so' | head -n 1)"
  [ -n "$module" ] || fail "qrsuite-python3 holds no module"
  (cd "$work" && env -u LD_LIBRARY_PATH PYTHONPATH="$(dirname "$(dirname "$module")")" /usr/bin/python3 -c \
    "import qrsuite; assert [s.text for s in qrsuite.decode(qrsuite.encode('deb').to_image())] == ['deb']") ||
    fail "python module"
fi

# The development files: the C++ interface against the unpacked tree.
c++ -std=c++20 -Wall -Werror -I"$root/usr/include" -o "$work/encode_cpp" "$source_dir/consumer/encode_cpp.cpp" \
  -L"$root/usr/lib" -l:Mosaire.dll -l:Lectavo.dll
"$work/encode_cpp" | grep -q "^ok version" || fail "C++ consumer"
echo "debian package test passed"
