#!/usr/bin/env bash
# A reminder put off from the upcoming-events window: its clock button's menu
# snoozes it five minutes, the row stops blinking, and when the program's
# clock reaches the snooze the reminder comes back with its sound (its launch
# file not opened again) and a tray balloon. A snooze pending when the
# program is killed fires after the restart; with "UewToast" off no balloon
# is asked for.
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

marker="$work/launched.log"
make_launch_file "$work/remind.bat" "$marker"
python3 -c "import wave,sys; w=wave.open(sys.argv[1],'wb'); w.setparams((1,2,8000,0,'NONE','')); w.writeframes(b'\0\0'*800); w.close()" \
  "$work/chime.wav"

# The program's clock is the true one plus the offset in this file, read
# again every second: the script moves it without waiting minutes. Winmm's
# trace tells each PlaySound, the shell's each balloon asked of the tray.
clockfile="$work/offset"
set_offset() { echo "${1}s" | sed 's/^\([0-9]\)/+\1/' >"$clockfile"; }
start_faked() {  # log, args...
  local log=$1; shift
  FAKETIME_TIMESTAMP_FILE=$clockfile FAKETIME_CACHE_DURATION=1 FAKETIME_DONT_FAKE_MONOTONIC=1 \
    LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 WINEDEBUG=trace+winmm,trace+systray \
    wine "$EXE" "$@" >/dev/null 2>"$log" &
  program_pid=$!
  probe idle "$FRAME" 20
}
sounds() { grep -c 'proc_PlaySound SoundName=.*chime\.wav' "$1"; }
sounds_are() { [ "$(sounds "$1")" = "$2" ]; }
# NIM_MODIFY: the program modifies its icon only to show a balloon.
balloons() { grep -c 'Shell_NotifyIconW dwMessage = 1,' "$1"; }

# Dentist today at noon, reminded half an hour before with a sound and a file.
# The program's day starts ten seconds before the reminder.
noon=$(date -d 'today 12:00' +%s)
remind_at=$(( noon - 1800 ))
reg_reset
add_event 1 0 43200 0 1 30 "Dentist" "$(winpath "$work/remind.bat")"
wine reg add "$SC\\1" /v priv /t REG_BINARY /d 03001e00 /f >/dev/null 2>&1
wine reg add "$SC\\1" /v soundfile /t REG_SZ /d "$(winpath "$work/chime.wav")" /f >/dev/null 2>&1
reg_dword "$USER_KEY" UewUpcoming 0
reg_dword "$USER_KEY" UewSoon 0
offset=$(( remind_at - 10 - $(date +%s) ))
set_offset "$offset"
start_faked "$work/run1.log" /s

check "the reminder opens the upcoming window" probe wait "$UPCOMING" 25
check "its sound plays once" wait_for 5 sounds_are "$work/run1.log" 1
wait_launches "$marker" 10
check "its launch file opens once" launched_times "$marker" 1
check "the reminded row has its clock button" wait_for 5 is "$ID_SNOOZE_FIRST" probe children "$UPCOMING"
probe shot "$UPCOMING" "$(winpath "$shots/e2e_snooze_reminded.bmp")"
check "a balloon was asked of the tray" test "$(balloons "$work/run1.log")" -ge 1
# Wine's tray shows it under its icon at the top left, a moment later.
sleep 2
import -window root -crop 320x200+0+0 "$shots/e2e_snooze_balloon.png" 2>/dev/null || true

# The keyboard reaches the same menu once the window has the focus.
# Wine may hand a key to the window that had the focus before the click
# took effect: the click and the key are tried again then.
keyboard_menu() {
  local l t try
  read -r _ l t _ _ <<<"$(probe find "$UPCOMING")"
  for try in 1 2 3; do
    xdotool mousemove $(( l + 10 )) $(( t + 8 )) click 1
    sleep 0.5
    xdotool key shift+F10
    wait_for 3 menu_visible && break
  done
  menu_visible || return 1
  xdotool key Escape
  probe gone '#32768' 5
}
check "Shift+F10 on the window opens the snooze menu" keyboard_menu
check "closing it chose nothing" test -z "$(reg_value "$USER_KEY" Snoozed)"

# The clock button's menu, chosen with the keyboard: the first item, "5 minutes".
snooze_five() {
  local l t r b
  read -r l t r b <<<"$(probe item "$UPCOMING" "Upcoming Events" "$ID_SNOOZE_FIRST")"
  xdotool mousemove $(( (l + r) / 2 )) $(( (t + b) / 2 )) click 1
  wait_for 5 menu_visible || return 1
  sleep 0.3  # the menu's own loop takes the keys once it runs
  xdotool key Down Return
  probe gone '#32768' 5
}
check "the clock button's menu snoozes it" snooze_five
check "the row no longer has a clock" wait_for 5 is "" probe children "$UPCOMING"
read -r inked blank <<<"$(probe blink "$UPCOMING" 2)"
check "and no longer blinks ($inked shown, $blank hidden)" test "${inked:-0}" -gt 0 -a "${blank:-1}" -eq 0
snoozed=$(reg_value "$USER_KEY" Snoozed | cut -d' ' -f2)
check "\"Snoozed\" holds one entry of 12 bytes" test "${#snoozed}" -eq 24 -a "${snoozed:0:8}" = 01000000
probe shot "$UPCOMING" "$(winpath "$shots/e2e_snooze_snoozed.bmp")"

# Five minutes later by the program's clock.
offset=$(( offset + 300 ))
set_offset "$offset"
sleep 1.5
probe post "$FRAME" "$WM_TIMECHANGE" 0 0 >/dev/null
check "the snooze brings the sound back" wait_for 10 sounds_are "$work/run1.log" 2
check "and the blinking row with its clock" wait_for 5 is "$ID_SNOOZE_FIRST" probe children "$UPCOMING"
check "\"Snoozed\" is gone" test -z "$(reg_value "$USER_KEY" Snoozed)"
wait_for 5 launches_done "$work"
check "the launch file is not opened again" launched_times "$marker" 1

# Snoozed again, then killed: the restart five minutes on fires it at once.
check "snoozed once more" snooze_five
check "stored" test -n "$(reg_value "$USER_KEY" Snoozed)"
kill -9 "$program_pid" 2>/dev/null
wait "$program_pid" 2>/dev/null
program_pid=
probe gone "$FRAME" 10
offset=$(( offset + 310 ))
set_offset "$offset"
start_faked "$work/run2.log" /s
check "after the restart the snooze fires with its sound" wait_for 10 sounds_are "$work/run2.log" 1
check "the window lists it with its clock" wait_for 10 is "$ID_SNOOZE_FIRST" probe children "$UPCOMING"
check "\"Snoozed\" is gone after it fired" wait_for 5 is "" reg_value "$USER_KEY" Snoozed
sleep 2
check "the launch file still opened only once" launched_times "$marker" 1
stop_program

# With "UewToast" off, the reminder asks for no balloon.
reg_reset
add_event 1 0 43200 0 1 30 "Dentist"
reg_dword "$USER_KEY" UewUpcoming 0
reg_dword "$USER_KEY" UewSoon 0
reg_dword "$USER_KEY" UewToast 0
offset=$(( remind_at - 10 - $(date +%s) ))
set_offset "$offset"
start_faked "$work/run3.log" /s
check "the reminder opens the upcoming window" probe wait "$UPCOMING" 25
sleep 1
check "no balloon was asked of the tray" test "$(balloons "$work/run3.log")" -eq 0
stop_program

finish
