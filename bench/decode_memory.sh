#!/usr/bin/env bash
# Peak memory of one decode call on each of: the photos of at most 1 MB
# (testdata/qr-photos, ../shared/testdata/qr-conditions beside the
# repository), crafted pictures of 1 megapixel, stripes, noise and colour
# formats of 16, 64 and 268 megapixels, pictures whose header announces
# 16384 x 16384 pixels, truncated files, and the file readers' fuzz corpora.
# Prints decode_memory's table (one process a file) and fails when a file
# took more than 64 MiB + 5 bytes a pixel it holds (+ 2 bytes a sample of
# every component for a progressive JPEG).
# Usage: bench/decode_memory.sh [BUILD_DIR]   (default build/release; needs
# its decode_memory and crafted_files)
set -euo pipefail
cd "$(dirname "$0")/.."
bin="${1:-build/release}/bin"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

files=()
for folder in testdata/qr-photos ../shared/testdata/qr-conditions; do
  [ -d "$folder" ] || continue
  while IFS= read -r -d '' f; do files+=("$f"); done < <(
    find "$folder" -type f \( -iname '*.jpg' -o -iname '*.jpeg' -o -iname '*.png' -o -iname '*.gif' -o -iname '*.bmp' \) \
      -size -1025k -print0 | sort -z)
done

kinds=(stripes_v1 stripes_v4 stripes_h1 stripes_h4 stripes_d1 stripes_d4 checker1 checker2 checker3 checker4
  checker5 checker6 checker7 checker8 concentric2 concentric_finder finder_grid1 finder_grid3 noise gradient
  all_dark all_light)
formats=(colour.png colour.jpg progressive.jpg cmyk.jpg stripes.gif stripes_1bit.bmp)
mkdir "$work/1mp" "$work/16mp" "$work/64mp" "$work/256mp" "$work/lying"
"$bin/crafted_files" "$work/1mp" 1000 "${kinds[@]}" truncated.bmp truncated.jpg
"$bin/crafted_files" "$work/16mp" 4000 stripes_v1 stripes_h1 stripes_d1 checker1 finder_grid1 finder_grid3 \
  concentric_finder noise "${formats[@]}"
"$bin/crafted_files" "$work/64mp" 8000 stripes_d1 noise colour.png progressive.jpg
"$bin/crafted_files" "$work/256mp" 16384 stripes_1bit.bmp
"$bin/crafted_files" "$work/lying" 64 lying.png lying.gif lying.jpg lying.bmp lying.tif lying.webp
# A JPEG under another name goes through the general loader (colour pixels).
cp "$work/16mp/progressive.jpg" "$work/16mp/progressive_jpeg.png"
files+=("$work"/1mp/* "$work"/16mp/* "$work"/64mp/* "$work"/256mp/* "$work"/lying/*)

# The readers' fuzz corpora, named so that each goes to the reader it was
# found for (the decoder chooses its BMP and JPEG readers by extension).
for pair in fuzz_bmp_reader:bmp fuzz_jpeg_reader:jpg fuzz_general_loader:png; do
  corpus=fuzz/corpus/${pair%%:*}
  [ -d "$corpus" ] || continue
  mkdir "$work/${pair%%:*}"
  for f in "$corpus"/*; do
    cp "$f" "$work/${pair%%:*}/$(basename "$f").${pair##*:}"
  done
  files+=("$work/${pair%%:*}"/*)
done

"$bin/decode_memory" "${files[@]}"
