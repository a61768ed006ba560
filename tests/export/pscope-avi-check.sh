#!/usr/bin/env bash
# pscope avi, black-box: the clips read back by ffprobe and ffmpeg (stream types, 28/1,
# frame count, duration, the pictures copied out byte for byte as pscope frame writes
# them, the sound samples of the range as pscope sound writes them), the hash list read
# by sha256sum, exit codes, and nothing left behind by a failure.
#   pscope-avi-check.sh PSCOPE RECSIM [EMULATOR] [REFERENCE_PSCOPE]
# REFERENCE_PSCOPE (the host flavour's, when EMULATOR runs the Windows one) must write
# the same clip bytes, burned-in band included.
set -u
pscope=$(realpath "$1")
recsim=$(realpath "$2")
emu=${3:-}
reference=${4:-}
[ -n "$emu" ] && [ -e "$emu" ] && emu=$(realpath "$emu")
export TZ=${TZ:-JST-9}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v ffprobe >/dev/null || fail "ffprobe is missing (scripts/setup installs it)"

if [ -n "$emu" ]; then
  native() { local p=$1; [ "${p:0:1}" = / ] || p="$work/$p"; echo "Z:${p//\//\\}"; }
else
  native() { echo "$1"; }
fi
run() { $emu "$@"; }
ps() { run "$pscope" "$@"; }
probe() { ffprobe -v error -select_streams "$1" -show_entries "stream=$2" -of default=nw=1:nk=1 "$3"; }

run "$recsim" write "$(native 0001_001.DAT)" --seconds 4 --fast --switch 1000 >/dev/null || fail "recsim"
archive=$(native 0001_001.DAT)
slots=$(ps info "$archive" | python3 -c 'import json,sys; print(json.load(sys.stdin)["slot_count"])')

# A range: 61 pictures from slot 10.
ps avi "$archive" "$(native clip.avi)" --from 10 --to 70 >out.txt || fail "avi exit $?"
[ "$(cat out.txt)" = "frames 61" ] || fail "avi output: $(cat out.txt)"
[ -s clip.csv ] && [ -s clip.sha256 ] || fail "table or hash list missing"
ls *.partial 2>/dev/null && fail "temporary files left"
[ "$(probe v codec_name,codec_tag_string,width,height,r_frame_rate clip.avi | tr '\n' ' ')" = "mjpeg MJPG 640 480 28/1 " ] ||
  fail "video stream: $(probe v codec_name,codec_tag_string,width,height,r_frame_rate clip.avi | tr '\n' ' ')"
[ "$(probe a codec_name,sample_rate,channels clip.avi | tr '\n' ' ')" = "pcm_u8 13183 1 " ] ||
  fail "sound stream: $(probe a codec_name,sample_rate,channels clip.avi | tr '\n' ' ')"
[ "$(ffprobe -v error -count_packets -select_streams v -show_entries stream=nb_read_packets -of csv=p=0 clip.avi)" = 61 ] ||
  fail "frame count"
[ "$(probe v nb_frames clip.avi)" = 61 ] || fail "frame count in the header"
duration=$(probe v duration clip.avi)
python3 -c "import sys; sys.exit(abs($duration - 61 / 28) > 1e-3)" || fail "duration $duration"
ffmpeg -v error -i clip.avi -map 0:v -c copy -f image2 v%05d.jpg || fail "ffmpeg pictures"
ps export "$archive" "$(native all)" >/dev/null || fail "export"
for k in $(seq 0 60); do
  cmp -s "$(printf 'v%05d.jpg' $((k + 1)))" "$(printf 'all/%05d.jpg' $((k + 10)))" || fail "picture of slot $((k + 10)) differs"
done
ps frame "$archive" 40 "$(native f40.jpg)" || fail "frame"
cmp -s v00031.jpg f40.jpg || fail "picture of slot 40 differs from pscope frame"
ffmpeg -v error -i clip.avi -map 0:a -c copy -f u8 sound.raw || fail "ffmpeg sound"
ps sound "$archive" "$(native s.wav)" || fail "sound"
data=$(($(stat -c %s s.wav) - 44))
from=$(((10 * 13183 + 27) / 28))
to=$(((71 * 13183 + 27) / 28))
[ "$to" -le "$data" ] || to=$data
tail -c +$((45 + from)) s.wav | head -c $((to - from)) >expected.raw
cmp -s sound.raw expected.raw || fail "sound samples differ ($(stat -c %s sound.raw) / $((to - from)) bytes)"
[ "$(($(wc -l <clip.csv) - 1))" = 61 ] || fail "table rows"
sha256sum -c --ignore-missing --quiet clip.sha256 || fail "hash list"
[ "$(wc -l <clip.sha256)" = 3 ] || fail "hash list lines"

# The whole recording by default.
ps avi "$archive" "$(native whole.avi)" >/dev/null || fail "whole exit"
[ "$(probe v nb_frames whole.avi)" = "$slots" ] || fail "whole frame count"

# Burned-in band: every picture decodes; the host flavour writes the same bytes.
ps avi "$archive" "$(native band.avi)" --to 27 --overlay >/dev/null || fail "overlay exit"
ffmpeg -v error -xerror -i band.avi -map 0:v -f null - || fail "overlay pictures do not decode"
[ "$(probe v nb_frames band.avi)" = 28 ] || fail "overlay frame count"
sha256sum -c --ignore-missing --quiet band.sha256 || fail "hash list of the overlay clip"
if [ -n "$reference" ]; then
  "$reference" avi 0001_001.DAT host-band.avi --to 27 --overlay >/dev/null || fail "reference exit"
  cmp band.avi host-band.avi || fail "the flavours burn the band differently"
  cmp band.csv host-band.csv || fail "the flavours write the table differently"
fi

# Wrong usage 2, failures 1 with a reason, and no file of a failed export.
ps avi "$archive" 2>/dev/null
[ $? = 2 ] || fail "avi without OUT is wrong usage"
ps avi "$archive" "$(native u.avi)" --from x 2>/dev/null
[ $? = 2 ] || fail "a slot that is no number is wrong usage"
ps avi "$archive" "$(native u.avi)" --fast 2>/dev/null
[ $? = 2 ] || fail "an unknown option is wrong usage"
ps avi "$archive" "$(native r.avi)" --from 50 --to 10 2>err.txt
[ $? = 1 ] && [ -s err.txt ] || fail "an empty range must fail with a reason"
ps avi "$archive" "$(native r.avi)" --to "$slots" 2>err.txt
[ $? = 1 ] && [ -s err.txt ] || fail "a range beyond the recording must fail with a reason"
ps avi "$(native missing.DAT)" "$(native r.avi)" 2>err.txt
[ $? = 1 ] && [ -s err.txt ] || fail "a missing archive must fail with a reason"
ls r.* u.* *.partial 2>/dev/null && fail "a failed export left files"
echo "pscope avi: ok"
