#!/usr/bin/env bash
# An invitation written by someone else asks to open a program at its
# reminder and to play a sound from another computer. Imported with /import,
# it is stored with the program switched off and without the network path,
# and at its reminder no program starts. Switched on by the user, it does.
. "$(dirname "$0")/lib.sh"
work=$(cd "$(dirname "$EXE")/.." && pwd)/e2e_foreign
rm -rf "$work" && mkdir -p "$work"
# Notepads started since the script began (other users of the machine may run their own).
others=" $(pgrep -f 'notepad\.exe' | tr '\n' ' ') "
our_notepads() {
  local pid
  for pid in $(pgrep -f 'notepad\.exe'); do [[ $others == *" $pid "* ]] || echo "$pid"; done
}
notepad_runs() { [ -n "$(our_notepads)" ]; }
end_notepads() { local pid; for pid in $(our_notepads); do kill "$pid" 2>/dev/null; done; }
trap end_notepads EXIT

# Begins in three minutes, reminds five before: due as soon as the program runs.
start=$(date -d '+3 min' +%Y%m%dT%H%M00)
printf '%s\r\n' BEGIN:VCALENDAR VERSION:2.0 'PRODID:-//Attacker//EN' BEGIN:VEVENT UID:invite@attacker.example \
  "DTSTART:$start" 'SUMMARY:Quarterly figures' 'X-ORV-LAUNCHFILE;X-ORV-LAUNCH=TRUE:C:\\windows\\notepad.exe' \
  BEGIN:VALARM ACTION:AUDIO TRIGGER:-PT5M 'ATTACH:file://attacker.example/share/chime.wav' END:VALARM \
  END:VEVENT END:VCALENDAR >"$work/invite.ics"

reg_reset
report=$(wine "$EXE" /import "$(winpath "$work/invite.ics")" 2>/dev/null | tr -d '\r')
check "/import tells that the program was left off: $report" \
  grep -q '^1 event asked to open a program at its reminder; that was left off' <<<"$report"
check "and that the network sound was left out" grep -q '^1 sound or program path was left out' <<<"$report"
check "stored with the sound on and the program off" test "$(reg_value "$SC\\1" priv)" = "REG_BINARY 01000500"
check "the program's path kept for the user to see" \
  test "$(reg_value "$SC\\1" launchfile)" = 'REG_SZ C:\windows\notepad.exe'
check "no network path as its sound" test "$(reg_value "$SC\\1" soundfile)" = "REG_SZ "
check "its files not marked as the user's" test "$(reg_value "$SC\\1" fileschosen)" = "REG_DWORD 0x0"
check "the recent-file lists untouched" test -z "$(reg_value "$USER_KEY" LaunchFiles)$(reg_value "$USER_KEY" SoundFiles)"

start_program /s
# The reminder's actions end by opening the upcoming-events window, and a
# program is started before that (its start returns once it runs).
check "the reminder fires at the start" probe wait "$UPCOMING" 15
check "no program started at the reminder" not notepad_runs
stop_program

# The user's own choice: switched on, the same path opens at the reminder.
wine reg add "$SC\\1" /v priv /t REG_BINARY /d 03000500 /f >/dev/null 2>&1
start_program /s
check "switched on by the user, the program opens" wait_for 10 notepad_runs
stop_program
finish
