#!/usr/bin/env bash
# End to end under Wine: a packaged saver (saverpack, LZMA form) started as
# Windows starts it, in a Wine prefix of its own with the project registered,
# on an Xvfb display with a window manager; the engine's event log shows what
# the host did.
#   e2e_saver.sh TEMPLATE_PREFIX WIN32_OUT SAVERPACK SCENARIO
# Scenarios:
#   run         /s: frames run after timer messages, the saver flags are set
#               before the project starts, a key press ends the saver with exit
#               code 0 and the engine released, no temporary file is left.
#   quit-disabled  with "Do not force screensaver to quit on user action."
#               set, key presses and mouse clicks reach the engine and the
#               saver goes on running frames.
#   second      a second /s while one runs exits 0 and leaves the first running.
#   front       with a window of the saver's class titled "Screen Saver" (a
#               helper's stand-in for a running saver) behind another window,
#               /s brings that window to the front and exits 0 without binding
#               an engine. (A real running saver cannot be put behind another
#               window: losing the foreground ends it.)
#   bad-preview /p with a number that names no window exits with -1.
#   no-registry, no-engine, no-name
#               a missing registry entry, a missing engine library, a package
#               without the project name: the
#               message boxes in order (caption, text, whether an icon shows;
#               recorded and dismissed by a helper), then exit 0.
#   configure   /c: a helper moves the slider to 100, checks both boxes and
#               presses OK; screensaver.cfg then holds them, and the next /s
#               runs its frames 100 ms apart.
#   preview     /p inside a parent window made by a helper: frames run and
#               "LumoSaverPreview" is 1.
set -euo pipefail
template=$1 out=$2 saverpack=$3 scenario=$4

work=$(mktemp -d /tmp/saver_e2e.XXXXXX)
winwork="Z:${work//\//\\}"
cleanup() {
  WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
[ -n "${KEEP_E2E:-}" ] || trap cleanup EXIT
fail() {
  echo "FAILED $scenario: $*"
  echo "--- event log"; tail -20 "$work/events.log" 2>/dev/null || true
  exit 1
}

# The project folder: engine, plug-ins in channels\, the audio library in 3rd\.
project=$work/project
mkdir -p "$project/channels" "$project/3rd"
cp "$out/meshwerk.dll" "$project/"
cp "$out/bass.dll" "$project/3rd/"
cp "$out"/????????-????-????-????-????????????.dll "$project/channels/"
cat > "$project/project.mwp" <<'PROJECT'
value LumoSaver 0
value LumoSaverPreview 0
value Mix 50 sine 40 4
stream Music
effect 5E0C1A47-2B93-4D6E-8F10-3C7A9B52E614 Music Mix 30 100 100 0
effect 71D4E2A9-0C56-4B8F-9A3E-D2F81C6B0357 Music 50 50 0 5 1 10 2
PROJECT
# screensaver.cfg in the engine's tagged-file layout: project file, 40 ms,
# the quit-disabled and preview-enabled flags as the scenario wants them.
quit=0 preview=0
[ "$scenario" = quit-disabled ] && quit=1
[ "$scenario" = preview ] && preview=1
python3 "$(dirname "$0")/../../scripts/lib/saver_cfg.py" write "$project/screensaver.cfg" project.mwp 40 "$quit" "$preview"
"$saverpack" --host "$out/saverhost.scr" --out "$work/Sample.scr" --project Sample --form lzma >/dev/null
if [ "$scenario" = no-name ]; then
  # A raw package whose only entry is not the project name.
  python3 - "$out/saverhost.scr" "$work/Sample.scr" <<'PY'
import struct, sys, zlib
host = open(sys.argv[1], 'rb').read()
data = b"x\0"
table = struct.pack('<i', 1)
for name in (b"APPDATA\0", b"Other\0"):
    table += struct.pack('<I', len(name)) + name
table += struct.pack('<II', len(data), zlib.crc32(data))
package = b"D4CC6D9D-3ED9-4B26-8192-DC9A8C5160FA" + b"RAWS" + table
package += struct.pack('<I', len(package) + 4) + data
open(sys.argv[2], 'wb').write(host + package + struct.pack('<I', len(host)))
PY
fi
[ "$scenario" = no-engine ] && rm "$project/meshwerk.dll"
helper="$out/e2e_helper.exe"

# A prefix of its own, the project registered (32-bit view of HKLM).
cp -a "$template" "$work/prefix"
[ "$scenario" != no-registry ] && {
  echo
  echo "[Software\\\\Wow6432Node\\\\Korvane\\\\Lumora Viewers\\\\4.20.000\\\\Sample] 1796970408"
  echo "\"DisplayName\"=\"${winwork//\\/\\\\}\\\\project\""
} >> "$work/prefix/system.reg"

# A display and a window manager (without one Wine waits on each window's end).
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
fvwm >/dev/null 2>&1 &
wm=$!

export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export MESHWERK_EVENT_LOG="$winwork\\events.log"
tmpbefore=$(ls "$work/prefix/drive_c/users/"*/AppData/Local/Temp 2>/dev/null | grep -c extractData || true)

wait_for() {  # wait_for SECONDS PATTERN: true once the event log holds the pattern
  local deadline=$((SECONDS + $1))
  while [ $SECONDS -lt $deadline ]; do
    grep -q "$2" "$work/events.log" 2>/dev/null && return 0
    sleep 1
  done
  return 1
}

case "$scenario" in
  run)
    wine "$work/Sample.scr" /s &
    saver=$!
    wait_for 300 "^RunFrame 5 " || fail "no frames"
    window=$(xdotool search --name "^Screen Saver$" | head -1)
    [ -n "$window" ] || fail "no window titled Screen Saver"
    xdotool key --window "$window" a
    set +e
    timeout 120 tail --pid=$saver -f /dev/null
    wait $saver
    code=$?
    set -e
    [ "$code" -eq 0 ] || fail "exit code $code"
    # The engine writes its log in the platform's text mode: drop the CRs.
    log=$work/events.txt
    tr -d '\r' < "$work/events.log" > "$log"
    # The host's calls in order, up to the project's start.
    expected="GetEngineControlInstance SetProjectFolder SetRegistryKey StartEngine GetEngineCore CreateObject SetProjectFile LoadLibrary LoadLibrary GetEngineCore FindChannel SetValue FindChannel SetValue StartProject"
    got=$(grep -v -E '^(HandleMessage|RunFrame)' "$log" | awk '{print $1}' | head -15 | tr '\n' ' ' | sed 's/ $//')
    [ "$got" = "$expected" ] || fail "start sequence: expected [$expected], got [$got]"
    grep -q "^StartEngine .* Lumora " "$log" || fail "product text"
    grep -q '^SetRegistryKey SOFTWARE\\Korvane\\Lumora Viewers\\4.20.000$' "$log" || fail "registry key"
    [ "$(grep '^SetValue' "$log" | head -2 | tr '\n' '|')" = "SetValue LumoSaver 1|SetValue LumoSaverPreview 0|" ] || fail "saver flags"
    grep -q '^StartProject 0$' "$log" || fail "project start"
    # Every frame follows the engine's sight of a timer-10 message.
    awk '/^RunFrame/ { if (prev !~ /^HandleMessage .* 0x0113 10 /) bad++ } { prev = $0 } END { exit bad > 0 }' "$log" ||
      fail "a frame without a timer message before it"
    tail -1 "$log" | grep -q '^Release 1$' || fail "the engine was not released last"
    grep -q 'HandleMessage .* 0x0100 ' "$log" || fail "the key press did not reach the engine"
    ls "$work/prefix/drive_c/users/"*/AppData/Local/Temp 2>/dev/null | grep -q extractData && fail "temporary file left"
    echo "frames run: $(grep -c '^RunFrame' "$log")"
    ;;
  quit-disabled)
    wine "$work/Sample.scr" /s &
    saver=$!
    wait_for 300 "^RunFrame 5 " || fail "no frames"
    window=$(xdotool search --name "^Screen Saver$" | head -1)
    [ -n "$window" ] || fail "no window titled Screen Saver"
    xdotool key --window "$window" a
    xdotool mousemove --window "$window" 300 300 click 1
    xdotool mousemove --window "$window" 10 10
    frames=$(tr -d '\r' < "$work/events.log" | grep -c '^RunFrame')
    sleep 3
    kill -0 $saver 2>/dev/null || fail "the saver ended on user input"
    log=$work/events.txt
    tr -d '\r' < "$work/events.log" > "$log"
    grep -q 'HandleMessage .* 0x0100 ' "$log" || fail "the key press did not reach the engine"
    grep -q 'HandleMessage .* 0x0201 ' "$log" || fail "the click did not reach the engine"
    grep -q '^Release' "$log" && fail "the engine was released"
    [ "$(grep -c '^RunFrame' "$log")" -gt "$frames" ] || fail "frames stopped after the input"
    echo "frames run: $(grep -c '^RunFrame' "$log")"
    ;;
  second)
    wine "$work/Sample.scr" /s &
    saver=$!
    wait_for 300 "^RunFrame 5 " || fail "no frames"
    set +e
    timeout 300 wine "$work/Sample.scr" /s
    code=$?
    set -e
    [ "$code" -eq 0 ] || fail "second start: exit code $code"
    kill -0 $saver 2>/dev/null || fail "the first saver ended"
    [ "$(tr -d '\r' < "$work/events.log" | grep -c '^GetEngineControlInstance')" -eq 1 ] ||
      fail "the second start bound an engine"
    ;;
  front)
    timeout 400 wine "$helper" front "$winwork\front.txt" "$work/Sample.scr" 240 || fail "helper failed"
    front=$(tr -d '\r' < "$work/front.txt" 2>/dev/null)
    echo "$front"
    echo "$front" | grep -q '^before SaverTestFront|Helper in front$' || fail "the helper did not take the front"
    echo "$front" | grep -q '^exit 0$' || fail "the start did not end with 0"
    echo "$front" | grep -q '^after WindowsScreenSaverClass|Screen Saver stand-in$' || fail "the running saver was not brought to the front"
    [ ! -s "$work/events.log" ] || fail "an engine was bound"
    ;;
  bad-preview)
    set +e
    timeout 300 wine "$work/Sample.scr" /p 987654
    code=$?
    set -e
    # Wine reports the exit code -1 as 255.
    [ "$code" -eq 255 ] || fail "exit code $code, expected -1"
    [ ! -s "$work/events.log" ] || fail "an engine was bound"
    ;;
  no-registry | no-engine | no-name)
    viewer="Lumora Screen Saver Viewer|There was an error starting the Lumora Screen Saver Viewer. / Please Re-install Screen Saver|icon"
    case "$scenario" in
      no-registry) expected="Engine init error||icon
$viewer" ;;
      no-engine) expected="Engine init error|$winwork\project|icon
$viewer" ;;
      no-name) expected="Error while retrieving the project name|NUMBER|none
Error|Can't find ProjectName|none" ;;
    esac
    wine "$helper" boxes "$winwork\boxes.txt" 240 &
    helperpid=$!
    sleep 20
    set +e
    timeout 400 wine "$work/Sample.scr" /s
    code=$?
    set -e
    [ "$code" -eq 0 ] || fail "exit code $code"
    kill $helperpid 2>/dev/null || true
    got=$(tr -d '\r' < "$work/boxes.txt" 2>/dev/null | sed -E 's/^(Error while retrieving the project name)\|[0-9]+\|/\1|NUMBER|/')
    [ "$got" = "$expected" ] || fail "message boxes: expected [$expected], got [$got]"
    ;;
  configure)
    wine "$helper" dialog 100 1 1 240 > "$work/helper.txt" &
    helperpid=$!
    set +e
    timeout 400 wine "$work/Sample.scr" /c
    code=$?
    set -e
    [ "$code" -eq 0 ] || fail "dialog result $code"
    wait $helperpid || true
    grep -q "label 10 FPS" "$work/helper.txt" || fail "label: $(cat "$work/helper.txt")"
    python3 - "$project/screensaver.cfg" <<'PY' || fail "screensaver.cfg does not hold the dialog's values"
import struct, sys
d = open(sys.argv[1], 'rb').read()
assert d[:4] == b"KVNF"
at, blocks = 8, {}
while at < len(d):
    tag, size = d[at:at + 4], struct.unpack('<I', d[at + 4:at + 8])[0]
    blocks[tag] = d[at + 8:at + 8 + size]
    at += 8 + size
assert list(blocks) == [b"SCFP", b"SCTI", b"SCQC", b"SCSP"], list(blocks)
assert struct.unpack('<i', blocks[b"SCTI"])[0] == 100
assert blocks[b"SCQC"] == b"\x01" and blocks[b"SCSP"] == b"\x01"
assert blocks[b"SCFP"].rstrip(b"\0") == b"project.mwp"
PY
    : > "$work/events.log"
    wine "$work/Sample.scr" /s &
    wait_for 300 "^RunFrame 12 " || fail "no frames after the dialog"
    tr -d '\r' < "$work/events.log" | awk '/^RunFrame/ { n++; if (n == 2) a = $3; if (n == 12) b = $3 }
      END { exit !((b - a) / 10 >= 0.08) }' || fail "frames not 100 ms apart"
    ;;
  preview)
    wine "$helper" parent "$winwork\preview.txt" "$work/Sample.scr" 400 &
    wait_for 400 "^RunFrame 3 " || fail "no frames in the preview"
    tr -d '\r' < "$work/events.log" | grep -q '^SetValue LumoSaverPreview 1$' || fail "LumoSaverPreview is not 1"
    tr -d '\r' < "$work/events.log" | grep -q '^SetValue LumoSaver 1$' || fail "LumoSaver is not 1"
    ;;
  *)
    fail "unknown scenario"
    ;;
esac
echo "1 passed, 0 failed"
