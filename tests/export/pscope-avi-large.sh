#!/usr/bin/env bash
# A clip over 1 GiB: the writer continues in OpenDML parts, and ffprobe and ffmpeg read
# the whole file through its indexes as one clip.
#   pscope-avi-large.sh PSCOPE RECSIM
set -u
pscope=$(realpath "$1")
recsim=$(realpath "$2")
export TZ=${TZ:-JST-9}
work=$(mktemp -d "${TMPDIR:-/tmp}/avi-large.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v ffprobe >/dev/null || fail "ffprobe is missing (scripts/setup installs it)"
free=$(df -Pk . | awk 'NR == 2 { print $4 }')
[ "$free" -gt 3000000 ] || { echo "skipped: under 3 GB free in $work"; exit 0; }

# 1000 s of fast-mode pictures of about 40 KB: 28000 frames, 1.1 GB.
"$recsim" write 0001_001.DAT --seconds 1000 --fast --no-sound >/dev/null || fail "recsim"
"$pscope" avi 0001_001.DAT clip.avi >out.txt || fail "avi exit"
frames=${frames:-$(sed 's/frames //' out.txt)}
size=$(stat -c %s clip.avi)
[ "$size" -gt $((1 << 30)) ] || fail "clip of $size bytes is not over 1 GiB"
[ "$(head -c 4 clip.avi)" = RIFF ] || fail "no RIFF"
python3 - clip.avi "$frames" <<'PY' || fail "part structure"
import struct, sys
path, frames = sys.argv[1], int(sys.argv[2])
parts = []
with open(path, "rb") as f:
    f.seek(0, 2); end = f.tell(); at = 0
    while at < end:
        f.seek(at); cid, size, form = struct.unpack("<4sI4s", f.read(12))
        assert cid == b"RIFF", (at, cid)
        parts.append((form, size)); at += 8 + size + (size & 1)
    assert at == end, "parts do not end with the file"
assert parts[0][0] == b"AVI " and all(p[0] == b"AVIX" for p in parts[1:]) and len(parts) >= 2, parts
assert all(p[1] + 8 <= 1 << 30 for p in parts), parts
PY
[ "$(ffprobe -v error -select_streams v -show_entries stream=nb_frames -of csv=p=0 clip.avi)" = "$frames" ] ||
  fail "frame count in the headers"
[ "$(ffprobe -v error -count_packets -select_streams v -show_entries stream=nb_read_packets -of csv=p=0 clip.avi)" = "$frames" ] ||
  fail "frames read"
# The last picture, found through the second part's index, is the stored one.
last=$((frames - 1))
ffmpeg -v error -ss $(python3 -c "print(($last) / 28)") -i clip.avi -map 0:v -frames:v 1 -c copy -f image2 tail.jpg ||
  fail "ffmpeg seek into the last part"
"$pscope" frame 0001_001.DAT "$last" last.jpg || fail "frame"
cmp -s tail.jpg last.jpg || fail "the last picture differs"
sha256sum -c --quiet clip.sha256 || fail "hash list"
echo "pscope avi over 1 GiB: ok ($size bytes)"
