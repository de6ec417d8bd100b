#!/usr/bin/env bash
# The dialogs from the keyboard, with xdotool's keys on the running program:
# the editor's Tab order read back from the focused control, Alt+letters, the
# recurrence dialog opening on the rule's kind; the browser's Delete key,
# Enter and a double-click; Preferences and About on their first field.
# Where each dialog opens is the window tests' business. Screenshots of each
# for a person to look at.
. "$(dirname "$0")/lib.sh"
EDITOR='New Event'
REPEAT='Event Recurrence'
BROWSER='Event Browser'

focused() { probe focus '#32770' "$1"; }
focus_is() { is "$2" focused "$1"; }  # window, control id
# Keys reach the program in order; a read after one waits for the key's effect.
key() { xdotool key "$@"; }
# A key that moves the focus: until it has moved.
move_focus() {  # window, key
  local before
  before=$(focused "$1")
  xdotool key "$2"
  wait_for 2 not focus_is "$1" "$before"
}
shot() { probe shot '#32770' "$(winpath "$shots/$1.bmp")" >/dev/null; }
reg_reset
add_event 1 1 36000 1 1 10 "Alpha"
add_event 2 2 36000 2 1 10 "Beta"
add_event 3 3 36000 3 1 10 "Gamma"
start_program
probe wait "$CALENDAR" 10

# The editor: Insert on the calendar, a title typed, then Tab all the way round.
probe post "$CALENDAR" "$WM_KEYDOWN" "$VK_INSERT" 0 >/dev/null  # through the message loop: today
check "Insert opens the editor" wait_dialog "$EDITOR" 10
check "the editor opens on the title" wait_for 2 focus_is "$EDITOR" "$IDC_TITLE"
xdotool type --delay 30 "Keys"
order=""
for _ in $(seq 17); do move_focus "$EDITOR" Tab; order="$order $(focused "$EDITOR")"; done
expected=""
for id in START_DATE END_DATE START_TIME END_TIME RECUR_TEXT RECUR_SETTINGS REMIND_MINUTES SOUND_CHECK SOUND_LIST \
          SOUND_BROWSE LAUNCH_CHECK LAUNCH_LIST LAUNCH_BROWSE NOTE; do
  name=IDC_$id
  expected="$expected ${!name}"
done
expected="$expected $IDOK $IDCANCEL $IDC_TITLE"
check "Tab: dates, times, rule, reminder, sound, launch, note, OK, Cancel, title" test "$order" = "$expected"
key alt+n
check "Alt+N goes to the note" wait_for 2 focus_is "$EDITOR" "$IDC_NOTE"
key alt+f
check "Alt+F goes to the reminder minutes" wait_for 2 focus_is "$EDITOR" "$IDC_REMIND_MINUTES"
shot e2e_keyboard_editor
key alt+s
check "Alt+S opens the recurrence dialog" wait_dialog "$REPEAT" 10
check "which opens on the rule's kind" wait_for 2 focus_is "$REPEAT" "$IDC_KIND_NONE"
key alt+w
check "Alt+W ticks Weekly" wait_for 2 focus_is "$REPEAT" "$IDC_KIND_WEEKLY"
shot e2e_keyboard_recurrence
key Escape
check "Escape closes it" wait_dialog "$REPEAT" 5 gone
key Escape
check "and the editor" wait_dialog "$EDITOR" 5 gone
check "nothing is saved" events_are "1 2 3 "

# The browser: Down selects the first row, Delete asks and deletes it.
probe post "$CALENDAR" "$WM_COMMAND" "$ID_BROWSE_ALL" 0 >/dev/null
check "Browse All opens the browser" wait_dialog "$BROWSER" 10
check "on its list" wait_for 2 focus_is "$BROWSER" "$IDC_BROWSER_LIST"
shot e2e_keyboard_browser
key Down
key Delete
check "the Delete key asks the Delete button's question" test "$(probe msgbox 5)" = "Delete|Delete selected event(s)?"
check "and deletes the selected event" wait_for 5 events_are "2 3 "
# Enter on the first row left, Beta, opens it in the editor. (After the
# deletion the list marks that row without selecting it: Down and Up do.)
key Down
key Up
key Return
check "Enter opens the editor on the row" wait_dialog 'View/Edit Event' 10
check "on Beta" test "$(probe text '#32770' 'View/Edit Event' "$IDC_TITLE")" = Beta
check "with the focus on its title" wait_for 2 focus_is 'View/Edit Event' "$IDC_TITLE"
key Escape
check "Escape closes it" wait_dialog 'View/Edit Event' 5 gone

# A double-click on the first row, with the second selected. Under the
# header (17 pixels here) the rows are 13 pixels high: 24 pixels down is the
# middle of the first.
probe post "$CALENDAR" "$WM_COMMAND" "$ID_BROWSE_ALL" 0 >/dev/null
check "the browser opens again" wait_dialog "$BROWSER" 10
key End
read -r l t r _ <<<"$(probe item '#32770' "$BROWSER" "$IDC_BROWSER_LIST")"
xdotool mousemove $(( l + 40 )) $(( t + 24 )) click --repeat 2 --delay 80 1
check "a double-click opens the editor" wait_dialog 'View/Edit Event' 10
check "on the row under the pointer" test "$(probe text '#32770' 'View/Edit Event' "$IDC_TITLE")" = Beta
key Escape
wait_dialog 'View/Edit Event' 5 gone

# Preferences and About, on their first field.
probe post "$FRAME" "$WM_COMMAND" "$ID_PREFERENCES" 0 >/dev/null
check "Preferences opens" wait_dialog Preferences 10
check "on Change..." wait_for 2 focus_is Preferences "$IDC_BKG_CHANGE_COLOR"
key alt+t
check "Alt+T goes to the transparency" wait_for 2 focus_is Preferences "$IDC_BKG_TRANSPARENCY"
shot e2e_keyboard_preferences
key Escape
check "Escape closes it" wait_dialog Preferences 5 gone
probe post "$FRAME" "$WM_COMMAND" "$ID_TRAY_ABOUT" 0 >/dev/null
check "About opens" wait_dialog 'About Orv Pell Calendar' 10
check "on Close" wait_for 2 focus_is 'About Orv Pell Calendar' "$IDOK"
shot e2e_keyboard_about
key Return
check "Enter closes it" wait_dialog 'About Orv Pell Calendar' 5 gone

finish
