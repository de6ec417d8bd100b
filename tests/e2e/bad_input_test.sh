#!/usr/bin/env bash
# Bad input through the windows: 10,000 characters pasted into an event's
# title and note are refused with their messages and nothing is stored; a
# title in the code page's own letters is stored as typed; a
# wallpaper path that is a folder and a sound file that is not a WAV leave
# the program running, the calendar drawn and the reminder done.
. "$(dirname "$0")/lib.sh"
SC="$USER_KEY\\sc"
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
EDITOR='New Event'

paste_into() {  # control id, text, count
  probe clip "$2" "$3"
  click_control "$EDITOR" "$1"
  xdotool key ctrl+End shift+ctrl+Home ctrl+v
  sleep 0.5
}
open_editor() {  # on today: its number selects the day, Insert opens the editor
  today_cell
  xdotool mousemove "$cell_x" $(( cell_top + 8 )) click 1
  sleep 0.3
  xdotool key Insert
  wait_dialog "$EDITOR" 10
}

reg_reset
for v in UewUpcoming UewSoon UewBeginning; do wine reg add "$USER_KEY" /v $v /t REG_DWORD /d 0 /f >/dev/null 2>&1; done
start_program
probe wait "$CALENDAR" 10
check "Insert on today opens the editor" open_editor

paste_into 1043 t 10000
check "the title takes the 10,000 characters pasted" test "$(probe text '#32770' "$EDITOR" 1043 | tr -d '\n' | wc -c)" -ge 500
click_control "$EDITOR" 1  # OK
check "OK refuses the long title with its message" test "$(probe msgbox 5)" = "Notice|Title cannot exceed 50 characters."
check "the editor stays open" dialog_shown "$EDITOR"
paste_into 1043 "Long note" 1
paste_into 1039 n 10000
click_control "$EDITOR" 1
check "OK refuses the long note with its message" test "$(probe msgbox 5)" = "Notice|Note cannot exceed 200 characters."
check "the editor stays open" dialog_shown "$EDITOR"
xdotool key Escape
sleep 0.5
check "cancelled: nothing stored" test -z "$(reg_subkeys "$SC")"

# A title in the letters of the code page (1252 here) comes back as typed;
# reg prints it in the console's code page (437).
title='Café Zürich, Größe'
check "the editor opens again" open_editor
paste_into 1043 "$title" 1
xdotool key Return
sleep 1
check "Enter saves the event" test "$(reg_subkeys "$SC" | tr '\n' ' ')" = "1 "
stored=$(wine reg query "$SC\\1" /v title 2>/dev/null | tr -d '\r' |
  awk '$1 == "title" { sub(/^ *title +REG_SZ +/, ""); print }' | iconv -f CP437 -t UTF-8)
check "the title is stored in the code page" test "$stored" = "$title"
stop_program

# A wallpaper that is a folder; an event due now whose sound file is text.
printf 'not a sound\r\n' >"$work/chime.wav"
wine reg add "$USER_KEY" /v BkgImgFile /t REG_SZ /d 'C:\windows' /f >/dev/null 2>&1
python3 "$here/make_event.py" "$SC" 2 0 $(( $(date +%s) - $(date -d 'today 00:00' +%s) + 600 )) 0 1 60 "Not a WAV" |
  while read -r line; do eval "$line" >/dev/null 2>&1; done
wine reg add "$SC\\2" /v priv /t REG_BINARY /d 01003C00 /f >/dev/null 2>&1
wine reg add "$SC\\2" /v soundfile /t REG_SZ /d "Z:${work//\//\\}\\chime.wav" /f >/dev/null 2>&1
start_program
check "with a folder for a wallpaper the calendar opens" probe wait "$CALENDAR" 10
check "the reminder with a sound that is not a WAV opens the upcoming window" probe wait "$UPCOMING" 10
sleep 2
check "and the program runs on" program_running
check "the calendar is drawn" probe shot "$CALENDAR" "Z:${work//\//\\}\\shot.bmp"
finish
