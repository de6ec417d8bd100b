#!/usr/bin/env bash
# Bad input through the windows: 10,000 characters pasted into an event's
# title and note are refused with their messages and nothing is stored; a
# title in the code page's own letters is stored as typed; a
# wallpaper path that is a folder and a sound file that is not a WAV leave
# the program running, the calendar drawn and the reminder done.
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
EDITOR='New Event'

text_of() { probe text '#32770' "$EDITOR" "$1" | tr -d '\n'; }
paste_into() {  # control id, text, count: until the control's text has changed
  local before
  before=$(text_of "$1")
  probe clip "$2" "$3"
  click_control "$EDITOR" "$1"
  xdotool key ctrl+End shift+ctrl+Home ctrl+v
  wait_for 5 not is "$before" text_of "$1"
}
open_editor() {  # on today: its number selects the day, Insert opens the editor
  today_cell
  xdotool mousemove "$cell_x" $(( cell_top + 8 )) click 1
  xdotool key Insert
  wait_dialog "$EDITOR" 10
}

reg_reset
for v in UewUpcoming UewSoon UewBeginning; do reg_dword "$USER_KEY" $v 0; done
start_program
probe wait "$CALENDAR" 10
check "Insert on today opens the editor" open_editor

paste_into "$IDC_TITLE" t 10000
check "the title takes the 10,000 characters pasted" test "$(text_of "$IDC_TITLE" | wc -c)" -ge 500
click_control "$EDITOR" "$IDOK"
check "OK refuses the long title with its message" test "$(probe msgbox 5)" = "Notice|Title cannot exceed 50 characters."
check "the editor stays open" dialog_shown "$EDITOR"
paste_into "$IDC_TITLE" "Long note" 1
paste_into "$IDC_NOTE" n 10000
click_control "$EDITOR" "$IDOK"
check "OK refuses the long note with its message" test "$(probe msgbox 5)" = "Notice|Note cannot exceed 200 characters."
check "the editor stays open" dialog_shown "$EDITOR"
xdotool key Escape
check "Escape closes the editor" wait_dialog "$EDITOR" 5 gone
check "cancelled: nothing stored" test -z "$(event_ids)"

# A title in the letters of the code page (1252 here) comes back as typed;
# reg prints it in the console's code page (437).
title='Café Zürich, Größe'
check "the editor opens again" open_editor
paste_into "$IDC_TITLE" "$title" 1
xdotool key Return
check "Enter saves the event" wait_for 5 events_are "1 "
stored=$(wine reg query "$SC\\1" /v title 2>/dev/null | tr -d '\r' |
  awk '$1 == "title" { sub(/^ *title +REG_SZ +/, ""); print }' | iconv -f CP437 -t UTF-8)
check "the title is stored in the code page" test "$stored" = "$title"
stop_program

# A wallpaper that is a folder; an event due now whose sound file is text.
printf 'not a sound\r\n' >"$work/chime.wav"
wine reg add "$USER_KEY" /v BkgImgFile /t REG_SZ /d 'C:\windows' /f >/dev/null 2>&1
add_event 2 0 $(( $(date +%s) - $(date -d 'today 00:00' +%s) + 600 )) 0 1 60 "Not a WAV"
wine reg add "$SC\\2" /v priv /t REG_BINARY /d 01003C00 /f >/dev/null 2>&1
wine reg add "$SC\\2" /v soundfile /t REG_SZ /d "$(winpath "$work/chime.wav")" /f >/dev/null 2>&1
start_program
check "with a folder for a wallpaper the calendar opens" probe wait "$CALENDAR" 10
check "the reminder with a sound that is not a WAV opens the upcoming window" probe wait "$UPCOMING" 10
# The sound plays on a thread of its own, whose end nothing shows: the
# time a chime takes.
sleep 2
check "and the program runs on" program_running
check "and its frame answers" probe send "$FRAME" "$WM_NULL" 0 0
check "the calendar is drawn" probe shot "$CALENDAR" "$(winpath "$work/shot.bmp")"
finish
