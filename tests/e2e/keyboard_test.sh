#!/usr/bin/env bash
# The dialogs from the keyboard, with xdotool's keys on the running program:
# the editor's Tab order read back from the focused control, Alt+letters, the
# recurrence dialog opening on the rule's kind; the browser's Delete key,
# Enter and a double-click; Preferences and About on their first field.
# Where each dialog opens is the window tests' business. Screenshots of each
# for a person to look at.
. "$(dirname "$0")/lib.sh"
SC="$USER_KEY\\sc"
shots=$(cd "$(dirname "$EXE")/.." && pwd)/screens
mkdir -p "$shots"
EDITOR='New Event'
REPEAT='Event Recurrence'
BROWSER='Event Browser'

focused() { probe focus '#32770' "$1"; }
key() { xdotool key "$@"; sleep 0.25; }
shot() { probe shot '#32770' "$(winpath "$shots/$1.bmp")" >/dev/null; }
reg_reset
add_event 1 1 36000 1 1 10 "Alpha"
add_event 2 2 36000 2 1 10 "Beta"
add_event 3 3 36000 3 1 10 "Gamma"
start_program
probe wait "$CALENDAR" 10

# The editor: Insert on the calendar, a title typed, then Tab all the way round.
probe post "$CALENDAR" 0x100 0x2D 0 >/dev/null  # Insert, through the message loop: today
check "Insert opens the editor" wait_dialog "$EDITOR" 10
check "the editor opens on the title" test "$(focused "$EDITOR")" = 1043
xdotool type --delay 30 "Keys"
order=""
for _ in $(seq 17); do key Tab; order="$order $(focused "$EDITOR")"; done
check "Tab: dates, times, rule, reminder, sound, launch, note, OK, Cancel, title" \
  test "$order" = " 1036 1037 1041 1042 1061 1060 1045 1034 1009 1002 1000 1010 1004 1039 1 2 1043"
key alt+n
check "Alt+N goes to the note" test "$(focused "$EDITOR")" = 1039
key alt+f
check "Alt+F goes to the reminder minutes" test "$(focused "$EDITOR")" = 1045
shot e2e_keyboard_editor
key alt+s
check "Alt+S opens the recurrence dialog" wait_dialog "$REPEAT" 10
check "which opens on the rule's kind" test "$(focused "$REPEAT")" = 1025
key alt+w
check "Alt+W ticks Weekly" test "$(focused "$REPEAT")" = 1027
shot e2e_keyboard_recurrence
key Escape
check "Escape closes it" wait_dialog "$REPEAT" 5 gone
key Escape
check "and the editor" wait_dialog "$EDITOR" 5 gone
check "nothing is saved" test "$(reg_subkeys "$SC" | tr '\n' ' ')" = "1 2 3 "

# The browser: Down selects the first row, Delete asks and deletes it.
probe post "$CALENDAR" 0x111 32776 0 >/dev/null  # Browse All...
check "Browse All opens the browser" wait_dialog "$BROWSER" 10
check "on its list" test "$(focused "$BROWSER")" = 1033
shot e2e_keyboard_browser
key Down
key Delete
check "the Delete key asks the Delete button's question" test "$(probe msgbox 5)" = "Delete|Delete selected event(s)?"
sleep 0.5
check "and deletes the selected event" test "$(reg_subkeys "$SC" | tr '\n' ' ')" = "2 3 "
# Enter on the first row left, Beta, opens it in the editor. (After the
# deletion the list marks that row without selecting it: Down and Up do.)
key Down
key Up
key Return
check "Enter opens the editor on the row" wait_dialog 'View/Edit Event' 10
check "on Beta" test "$(probe text '#32770' 'View/Edit Event' 1043)" = Beta
check "with the focus on its title" test "$(focused 'View/Edit Event')" = 1043
key Escape
check "Escape closes it" wait_dialog 'View/Edit Event' 5 gone

# A double-click on the first row, with the second selected. Under the
# header (17 pixels here) the rows are 13 pixels high: 24 pixels down is the
# middle of the first.
probe post "$CALENDAR" 0x111 32776 0 >/dev/null
check "the browser opens again" wait_dialog "$BROWSER" 10
key End
read -r l t r _ <<<"$(probe item '#32770' "$BROWSER" 1033)"
xdotool mousemove $(( l + 40 )) $(( t + 24 )) click --repeat 2 --delay 80 1
check "a double-click opens the editor" wait_dialog 'View/Edit Event' 10
check "on the row under the pointer" test "$(probe text '#32770' 'View/Edit Event' 1043)" = Beta
key Escape
wait_dialog 'View/Edit Event' 5 gone

# Preferences and About, on their first field.
probe post "$FRAME" 0x111 32784 0 >/dev/null  # Preferences...
check "Preferences opens" wait_dialog Preferences 10
check "on Change..." test "$(focused Preferences)" = 1015
key alt+t
check "Alt+T goes to the transparency" test "$(focused Preferences)" = 1034
shot e2e_keyboard_preferences
key Escape
check "Escape closes it" wait_dialog Preferences 5 gone
probe post "$FRAME" 0x111 32788 0 >/dev/null  # About...
check "About opens" wait_dialog 'About Orv Pell Calendar' 10
check "on Close" test "$(focused 'About Orv Pell Calendar')" = 1
shot e2e_keyboard_about
key Return
check "Enter closes it" wait_dialog 'About Orv Pell Calendar' 5 gone

finish
