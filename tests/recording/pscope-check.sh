#!/usr/bin/env bash
# Black-box check of pscope's recording commands on a simulator recording: exit codes,
# the exact output formats, and extracted bytes that match what the tables say.
#   pscope-check.sh PSCOPE RECSIM [EMULATOR]   (EMULATOR runs Windows programs)
set -u
pscope=$(realpath "$1")
recsim=$(realpath "$2")
emu=${3:-}
[ -n "$emu" ] && [ -e "$emu" ] && emu=$(realpath "$emu")
export TZ=${TZ:-JST-9}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

# Paths as the program under test spells them.
if [ -n "$emu" ]; then
  native() { local p=$1; [ "${p:0:1}" = / ] || p="$work/$p"; echo "Z:${p//\//\\}"; }
else
  native() { echo "$1"; }
fi
run() { $emu "$@"; }
ps() { run "$pscope" "$@"; }

run "$recsim" write "$(native 0001_001.DAT)" --seconds 3 --fast --switch 1000 >/dev/null || fail "recsim"
run "$recsim" write "$(native 0002_001.DAT)" --seconds 1 --fast --start "2009-06-14 08:00:00" >/dev/null || fail "recsim"
archive=$(native 0001_001.DAT)

info=$(ps info "$archive") || fail "info exit $?"
keys=$(echo "$info" | python3 -c 'import json,sys; d=json.load(sys.stdin); print(",".join(d))')
[ "$keys" = "path,recording_start_time,start_tick,archive_id,slot_count,index_count,first_picture_time,last_picture_time,events,sound_bytes" ] ||
  fail "info keys: $keys"
field() { echo "$info" | python3 -c "import json,sys; print(json.load(sys.stdin)['$1'])"; }
slots=$(field slot_count)
sound=$(field sound_bytes)
[ "$slots" -gt 80 ] || fail "slot_count $slots"
[ "$(field events)" != "[]" ] || fail "no events"

ps slots "$archive" >slots.csv || fail "slots exit"
[ "$(head -1 slots.csv)" = "slot,copy,tick,time,gx,gy,gz,gtotal,speed,event,status,short_value,value1,value2,block_size,payload_size,fragment_count,fragment_pos" ] ||
  fail "slots header"
[ "$(($(wc -l <slots.csv) - 1))" = "$slots" ] || fail "slots rows"
awk -F, 'NR > 1 && (NF != 18 || $1 != NR - 2) { exit 1 }' slots.csv || fail "slots columns"
# Events in the table are the events of info.
events=$(awk -F, 'NR > 1 && $10 == 32 { printf "%s%s", sep, $1; sep = ", " }' slots.csv)
[ "[$events]" = "$(field events)" ] || fail "events differ: [$events] / $(field events)"

ps sound "$archive" "$(native s.wav)" || fail "sound exit"
[ "$(stat -c %s s.wav)" = "$((sound + 44))" ] || fail "sound size"
[ "$(head -c 4 s.wav)" = RIFF ] || fail "sound header"

ps frame "$archive" 3 "$(native f.jpg)" || fail "frame jpg"
[ "$(head -c 16 f.jpg | od -An -tx1 | tr -d ' \n')" = "ffd8fffe00040000fffe00040000ffe0" ] || fail "jpeg prefix"
payload=$(awk -F, '$1 == 3 { print $16 }' slots.csv)
[ "$(stat -c %s f.jpg)" = "$payload" ] || fail "jpeg size"
ps frame "$archive" 3 "$(native f.bmp)" || fail "frame bmp"
[ "$(stat -c %s f.bmp)" = "$((54 + 640 * 480 * 4))" ] || fail "bmp size"
[ "$(head -c 2 f.bmp)" = BM ] || fail "bmp magic"

ps frame "$archive" "$slots" "$(native x.jpg)" 2>/dev/null
[ $? = 1 ] || fail "frame beyond the slots must fail with 1"
ps frame "$archive" 3 "$(native x.png)" 2>/dev/null
[ $? = 2 ] || fail "frame to .png is wrong usage"
ps info 2>/dev/null
[ $? = 2 ] || fail "info without archive is wrong usage"
ps info "$(native missing.DAT)" 2>err.txt
[ $? = 1 ] || fail "missing archive must fail with 1"
[ -s err.txt ] || fail "no failure text"

scan=$(ps scan "$(native "$work/0001_001.DAT")") || fail "scan exit"
[ "$(echo "$scan" | head -1)" = "position 1 count 2" ] || fail "scan: $scan"
echo "$scan" | awk -F'\t' 'NR > 1 && (NF != 3 || $1 != NR - 2) { exit 1 }' || fail "scan lines"

ps export "$archive" "$(native out)" >/dev/null || fail "export exit"
[ "$(ls out/*.jpg | wc -l)" = "$slots" ] || fail "export pictures"
cmp -s out/00003.jpg f.jpg || fail "export picture differs from frame"
cmp -s out/sound.wav s.wav || fail "export sound differs"
[ "$(head -1 out/telemetry.csv)" = "$(head -1 slots.csv),local_time" ] || fail "telemetry header"
[ "$(sed -n 2p out/telemetry.csv | awk -F, '{ print $19 }')" = "2009-06-14 09:30:00" ] || fail "local time"
# The summary agrees with the slot table: read pictures for the peaks, every slot for the
# time and distance, the first slot of each run of events for the switch presses.
ps summary "$archive" >summary.json || fail "summary exit"
python3 - summary.json out/telemetry.csv <<'PY' || fail "summary differs from the slot table"
import csv, json, sys
got = json.load(open(sys.argv[1]))
rows = list(csv.DictReader(open(sys.argv[2])))
assert list(got) == ["start", "end", "duration_s", "distance_km", "max_speed_kmh", "max_speed_slot",
                     "avg_speed_kmh", "peak_g", "switch_presses"], list(got)
times = [r["local_time"] for r in rows if r["time"] != "0"]
assert got["start"] == times[0] and got["end"] == times[-1], (got["start"], got["end"])
speeds = [int(r["speed"]) for r in rows]
assert got["duration_s"] == round(len(rows) / 28, 3)
assert got["distance_km"] == round(sum(speeds) / 28 / 3600, 3)
assert got["avg_speed_kmh"] == round(sum(speeds) / len(rows), 1)
assert got["max_speed_kmh"] == max(speeds) and got["max_speed_slot"] == speeds.index(max(speeds))
read = [r for r in rows if r["copy"] == "0"]
for key, column in (("x", "gx"), ("y", "gy"), ("z", "gz"), ("total", "gtotal")):
    best = max(read, key=lambda r: abs(float(r[column])))  # the first of equal magnitudes
    peak = got["peak_g"][key]
    assert peak == {"value": float(best[column]), "slot": int(best["slot"]), "time": best["local_time"]}, (key, peak)
events = [r["event"] == "32" for r in rows]
starts = [i for i, e in enumerate(events) if e and (i == 0 or not events[i - 1])]
assert starts, "no switch press"
assert got["switch_presses"] == [{"slot": i, "time": rows[i]["local_time"]} for i in starts], got["switch_presses"]
PY
ps summary 2>/dev/null
[ $? = 2 ] || fail "summary without archive is wrong usage"
echo "pscope recording commands: ok"
