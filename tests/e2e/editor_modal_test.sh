#!/usr/bin/env bash
# The program ending while the event editor is open: Exit from the tray menu,
# which still works then, and the end of the Windows session with the
# recurrence dialog open on top of the editor. Either way the program ends
# in order and the half-made event is not saved.
. "$(dirname "$0")/lib.sh"

open_editor() {
  probe wait "$CALENDAR" 10
  probe post "$CALENDAR" "$WM_KEYDOWN" "$VK_INSERT" 0 >/dev/null  # through the message loop: today
  wait_dialog 'New Event' 10 && xdotool type --delay 30 "Half made"
}

reg_reset
start_program
check "Insert opens the editor" open_editor
probe post "$FRAME" "$WM_TRAYNOTIFY" 0 "$WM_RBUTTONUP" >/dev/null
check "the tray menu opens over the editor" wait_for 5 menu_visible
read -r _ left _ _ bottom <<<"$(probe find '#32768')"
xdotool mousemove $((left + 30)) $((bottom - 12)) click 1  # Exit, the last item
check "Exit ends the program" wait_program_end 10
check "the event being edited is not saved" test -z "$(event_ids)"
check "the orderly exit stored the calendar's rectangle" test -n "$(reg_value "$USER_KEY" ScheRect)"

reg_reset
start_program
check "the editor opens again" open_editor
probe post '#32770' "$WM_COMMAND" "$IDC_RECUR_SETTINGS" 0 >/dev/null
check "and the recurrence dialog over it" wait_dialog 'Event Recurrence' 10
probe send "$FRAME" "$WM_ENDSESSION" 1 0 >/dev/null  # confirmed
check "the end of the session ends the program" wait_program_end 10
check "nothing is saved" test -z "$(event_ids)"

finish
