#!/usr/bin/env bash
# qrtool decode -j 8 over a folder of hostile inputs beside good pictures:
# a FIFO and a sub-folder named like pictures, truncated and empty files,
# pictures whose header announces 16384 x 16384 pixels, stripes and
# checkerboards, a file another process keeps appending to, a file without
# read permission and a name that is not UTF-8. The run must end, give every
# input exactly one entry (text and JSON) with its documented message, read
# the good pictures, print no terminal controls, exit 2 (some file could not
# be read), and fail with a message when its output cannot be written.
#
# Usage: hostile_folder.sh QRTOOL CRAFTED_FILES [PHOTOS_DIR]
# (run by ctest as qrtool_hostile_folder; CRAFTED_FILES is the test support's
# writer, tests/support/crafted_files.cpp; KEEP=1 leaves the folder and
# outputs in place for a look)
set -euo pipefail
qrtool=$(realpath "$1") crafted=$(realpath "$2") photos=${3:-}

work=$(mktemp -d)
appender=
cleanup() {
  [ -n "$appender" ] && kill "$appender" 2>/dev/null && wait "$appender" 2>/dev/null
  chmod -R u+rwX "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
[ -n "${KEEP:-}" ] && trap - EXIT
chmod 755 "$work"
dir=$work/in
mkdir "$dir"

# Expected outcome per file: the decoded text, or "!" and the message.
declare -A expect
good() {  # NAME TEXT
  expect[$1]=$2
}
bad() {  # NAME MESSAGE
  expect[$1]="!$2"
}

# Good pictures: a few of the repository's photos (PNG, JPEG) with their
# texts, and symbols made by qrtool itself.
if [ -n "$photos" ] && [ -d "$photos" ]; then
  for photo in qrcode-3/01.png qrcode-2/#258.jpg qrcode-6/1.png; do
    name=photo_$(basename "$photo")
    cp "$photos/$photo" "$dir/$name"
    good "$name" "$(cat "$photos/${photo%.*}.txt")"
  done
fi
for i in 1 2 3; do
  "$qrtool" encode -l M -o "$dir/made$i.bmp" "made picture $i"
  good "made$i.bmp" "made picture $i"
done

# Crafted pictures (1 megapixel each) hold no symbol.
"$crafted" "$dir" 1000 stripes_v1 stripes_d4 checker1 finder_grid1 truncated.bmp truncated.jpg \
  lying.png lying.gif lying.jpg lying.bmp lying.tif lying.webp
for name in stripes_v1 stripes_d4 checker1 finder_grid1; do
  bad "$name.bmp" "no QR Code symbol found"
done
# An uncompressed picture longer than its file cannot be read; a cut JPEG
# is read as far as it goes (libjpeg fills the rest), here a checkerboard.
bad truncated.bmp "file format cannot be read"
bad truncated.jpg "no QR Code symbol found"
for name in lying.png lying.gif lying.jpg lying.bmp lying.tif lying.webp; do
  bad "$name" "file format cannot be read"
done

# Only regular files are read: a FIFO (nobody ever writes to it) is not a
# picture, a folder is no file.
mkfifo "$dir/x.bmp"
bad x.bmp "file format cannot be read"
mkdir "$dir/d.bmp"
bad d.bmp "file not found"
: >"$dir/empty.png"
bad empty.png "file format cannot be read"

# A name in Latin-1: read as bytes, printed escaped.
latin=$'caf\xe9.bmp'
cp "$dir/made1.bmp" "$dir/$latin"
good "$latin" "made picture 1"

# A whole picture that another process keeps appending bytes to: the bytes
# after the picture's data do not matter.
"$qrtool" encode -o "$dir/growing.bmp" "still growing"
good growing.bmp "still growing"
(for _ in $(seq 1 200000); do printf 'appended' >>"$dir/growing.bmp"; done) &
appender=$!

# Without read permission: "no permission" for anyone but root, who reads
# every file; run as root (as CI does), qrtool runs as nobody here.
"$qrtool" encode -o "$dir/locked.bmp" "locked away"
chmod 000 "$dir/locked.bmp"
run=()
if [ "$(id -u)" -eq 0 ]; then
  if setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$qrtool" --help >/dev/null 2>&1; then
    run=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
    bad locked.bmp "file cannot be read (no permission or locked)"
  else
    good locked.bmp "locked away"
  fi
else
  bad locked.bmp "file cannot be read (no permission or locked)"
fi

cd "$dir"
files=(*)
status=0
timeout 120 "${run[@]}" "$qrtool" decode -j 8 "${files[@]}" >"$work/text.out" 2>"$work/text.err" || status=$?
json_status=0
timeout 120 "${run[@]}" "$qrtool" decode -j 8 --json "${files[@]}" >"$work/json.out" 2>"$work/json.err" ||
  json_status=$?
full_status=0
timeout 120 "${run[@]}" "$qrtool" decode -j 8 "${files[@]}" >/dev/full 2>"$work/full.err" || full_status=$?
kill "$appender" 2>/dev/null || true
wait "$appender" 2>/dev/null || true
appender=

failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}
[ "$status" -ne 124 ] && [ "$json_status" -ne 124 ] && [ "$full_status" -ne 124 ] ||
  fail "a run did not end within 120 s (statuses $status, $json_status, $full_status)"
# Some file could not be read: 2, for text and JSON alike.
[ "$status" -eq 2 ] || fail "text run exit status $status, expected 2"
[ "$json_status" -eq 2 ] || fail "JSON run exit status $json_status, expected 2"
[ "$full_status" -eq 2 ] || fail "run into /dev/full exit status $full_status, expected 2"
grep -q "cannot write the output" "$work/full.err" || fail "no message for /dev/full: $(cat "$work/full.err")"
for run_name in text json; do
  [ ! -s "$work/$run_name.err" ] || fail "$run_name run wrote to standard error: $(cat "$work/$run_name.err")"
done

# The expectations, one a line: name, tab, outcome (names hold no tab or
# newline here).
for name in "${files[@]}"; do
  [ -n "${expect[$name]+set}" ] || fail "no expectation for $name"
  printf '%s\t%s\n' "$name" "${expect[$name]}"
done >"$work/expected.tsv"
[ "${#expect[@]}" -eq "${#files[@]}" ] || fail "${#expect[@]} expectations for ${#files[@]} files"

python3 - "$work/expected.tsv" "$work/text.out" "$work/json.out" <<'EOF' || failed=1
import json, re, sys

def escaped(name):  # a file name as the text output shows it
    out = ""
    for b in name:
        out += chr(b) if 0x20 <= b < 0x7F and b != 0x5C else "\\x%02X" % b
    return out

expected = []
for line in open(sys.argv[1], "rb").read().split(b"\n"):
    if line:
        name, outcome = line.split(b"\t", 1)
        expected.append((name, outcome.decode("utf-8")))
text = open(sys.argv[2], "rb").read()
rows = [json.loads(l) for l in open(sys.argv[3], "rb").read().splitlines()]
problems = []

# No terminal controls: C0 other than the line ends, DEL, C1 (as UTF-8).
for i, b in enumerate(text):
    if (b < 0x20 and b != 0x0A) or b == 0x7F or (b == 0xC2 and i + 1 < len(text) and 0x80 <= text[i + 1] < 0xA0):
        problems.append("terminal control 0x%02X at byte %d of the text output" % (b, i))
        break

# One entry per file, in order: the file's line (not indented) and its
# symbol lines (indented).
entries = []
for line in text.decode("utf-8", "replace").split("\n"):
    if not line:
        continue
    if line.startswith(" "):
        if entries:
            entries[-1][1].append(line.strip())
    else:
        entries.append((line, []))
if len(entries) != len(expected):
    problems.append("%d text entries for %d files" % (len(entries), len(expected)))
if len(rows) != len(expected):
    problems.append("%d JSON entries for %d files" % (len(rows), len(expected)))

for k, (name, outcome) in enumerate(expected):
    shown = escaped(name)
    if k < len(entries):
        head, lines = entries[k]
        if not head.startswith(shown + ": "):
            problems.append("text entry %d is %r, expected file %s" % (k, head, shown))
        elif outcome.startswith("!"):
            if head != shown + ": " + outcome[1:]:
                problems.append("%s: %r, expected %r" % (shown, head, outcome[1:]))
        else:
            texts = [l[len("text: "):] for l in lines if l.startswith("text: ")]
            if not re.match(r".*: \d+ symbols?$", head) or outcome.replace("\r", "\\r").replace("\n", "\\n") not in texts:
                problems.append("%s: %r %r, expected text %r" % (shown, head, texts, outcome))
    if k < len(rows):
        row = rows[k]
        try:
            want_file = name.decode("utf-8")
        except UnicodeDecodeError:
            want_file = shown
        if row["file"] != want_file:
            problems.append("JSON entry %d is file %r, expected %r" % (k, row["file"], want_file))
        elif outcome.startswith("!"):
            if row["message"] != outcome[1:] or row["symbols"]:
                problems.append("JSON %s: %r, expected %r" % (want_file, row["message"], outcome[1:]))
        elif row["status"] < 1 or outcome not in [s["text"] for s in row["symbols"]]:
            problems.append("JSON %s: status %d, texts %r, expected %r" %
                            (want_file, row["status"], [s["text"] for s in row["symbols"]], outcome))

for p in problems:
    print("FAIL:", p, file=sys.stderr)
print("%d files, %d text entries, %d JSON entries" % (len(expected), len(entries), len(rows)))
sys.exit(1 if problems else 0)
EOF

if [ "$failed" -ne 0 ]; then
  echo "--- text output:" >&2
  cat -v "$work/text.out" >&2
  exit 1
fi
echo "hostile folder: every file reported once as expected"
