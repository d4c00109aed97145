#!/usr/bin/env bash
# Decodes a folder of 200 generated pictures with qrtool on one and on two
# threads, and with zxing-cpp's ZXingReader and zbar's zbarimg on the same
# folder, and prints wall-clock times and how many pictures each read.
# Usage: bench/qrtool_folder.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
bin="${1:-build/release}/bin"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

levels=(L M Q H)
for i in $(seq 0 199); do
  level=${levels[$((i % 4))]}
  version=$(( (i % 10) + 1 ))
  orientation=$(( i % 4 ))
  text="Picture $i of the folder benchmark, level $level, with some text to fill version $version"
  "$bin/qrtool" encode -l "$level" -v "$version" --orientation "$orientation" --module-cm 0.1 \
    --size 600x600 -o "$work/p$(printf %03d "$i").bmp" "$text"
done

time_it() {  # prints seconds and the command's output line count
  local start end
  start=$(date +%s.%N)
  "$@" >"$work/out.txt" 2>/dev/null || true
  end=$(date +%s.%N)
  echo "$(echo "$end - $start" | bc)"
}

files=("$work"/p*.bmp)
t1=$(time_it "$bin/qrtool" decode -j 1 "${files[@]}")
n1=$(grep -c "^  \[0\]" "$work/out.txt" || true)
t2=$(time_it "$bin/qrtool" decode -j 2 "${files[@]}")
n2=$(grep -c "^  \[0\]" "$work/out.txt" || true)
tz=$(time_it ZXingReader -format QRCode -1 "${files[@]}")
nz=$(grep -vc "Error\|No barcode" "$work/out.txt" || true)
tb=$(time_it zbarimg -q --raw -Sdisable -Sqrcode.enable "${files[@]}")
nb=$(wc -l <"$work/out.txt")

printf "%-24s %10s %8s\n" "decoder" "seconds" "read"
printf "%-24s %10.3f %8d\n" "qrtool decode -j 1" "$t1" "$n1"
printf "%-24s %10.3f %8d\n" "qrtool decode -j 2" "$t2" "$n2"
printf "%-24s %10.3f %8d\n" "ZXingReader" "$tz" "$nz"
printf "%-24s %10.3f %8d\n" "zbarimg" "$tb" "$nb"
echo "(200 pictures of 600 x 600 pixels, versions 1-10, all levels and orientations)"
