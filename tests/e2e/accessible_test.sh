#!/usr/bin/env bash
# The calendar window read from another process as a screen reader reads it:
# a table named by its month with four named buttons and 42 day cells, the
# event in today's cell, the selected day's states before and after an arrow
# key, the focus event a reader's hook hears for the new day, and the
# upcoming-events window as a list of named rows.
. "$(dirname "$0")/lib.sh"

ROLE_TABLE=24
ROLE_CELL=29
ROLE_BUTTON=43
ROLE_LIST=33
ROLE_LIST_ITEM=34
SELECTED_FOCUSED=6

# A call in an hour and a half (tomorrow near midnight) for the upcoming
# window, which opens at start-up.
call_at=$(( $(date +%s) + 5400 ))
call_day=$(date -d "@$call_at" +%F)
call_offset=0
[ "$call_day" = "$(date +%F)" ] || call_offset=1
call_secs=$(( call_at - $(date -d "$call_day 00:00" +%s) ))

reg_reset
add_event 1 0 32400 0 1 0 "Dentist"
add_event 2 "$call_offset" "$call_secs" "$call_offset" 1 0 "Call"
reg_dword "$USER_KEY" UewStartup 1
start_program
probe wait "$CALENDAR" 10

tree=$(probe accessible "$CALENDAR")
explain_failure() { echo "$tree"; }
# Fields of a child's line: id|role|state|left top width height|name|description
row() { awk -F'|' -v id="$1" '$1 == id' <<<"$tree"; }
field() { row "$1" | cut -d'|' -f"$2"; }
has_states() { (( ($(field "$1" 3) & SELECTED_FOCUSED) == $2 )); }  # id, expected bits

first=$(date -d "$(date +%Y-%m-01)" +%w)
day=$(date +%-d)
today=$(( 5 + first + day - 1 ))  # after the four buttons
# The right arrow moves to tomorrow, from the last day to the first.
last=$(date -d "$(date +%Y-%m-01) +1 month -1 day" +%-d)
next=$(( day == last ? 5 + first : today + 1 ))

check "the window is a table named by the month shown" \
  test "$(field 0 2)|$(field 0 5)" = "$ROLE_TABLE|$(date +'%B %Y')"
check "it has 42 day cells" test "$(awk -F'|' -v r=$ROLE_CELL '$2 == r' <<<"$tree" | wc -l)" = 42
check "and four named push buttons" \
  test "$(awk -F'|' -v r=$ROLE_BUTTON '$2 == r {printf "%s;", $5}' <<<"$tree")" = \
       "Previous Month;Next Month;This Month;Close;"
check "today's cell is named by its date" grep -q "$(date +%B).*$(date +%Y)" <<<"$(field "$today" 5)"
# The call is today too unless it falls after midnight.
check "and says what is on it" grep -Eq "^Today\. (1 event|2 events): Dentist, [^;]+(; Call, [^;]+)?\.$" \
  <<<"$(field "$today" 6)"
check "today is selected and focused" has_states "$today" $SELECTED_FOCUSED
read -r x y w h <<<"$(field "$today" 4)"
read -r _ left top right bottom <<<"$(probe find "$CALENDAR")"
inside() { (( x >= left && y >= top && x + w <= right && y + h <= bottom && w > 20 && h > 20 )); }
check "where the window draws it" inside

# A reader's hook hears the new day after the arrow key, and asks its name
# through the event's object.
heard=$(probe hear "$CALENDAR" 5 "$WM_KEYDOWN" "$VK_RIGHT" 0)
tree=$(probe accessible "$CALENDAR")
check "the arrow key raises the focus event for the next day" test "$heard" = "$next|$(field "$next" 5)"
check "which is now selected and focused" has_states "$next" $SELECTED_FOCUSED
check "and today no longer" has_states "$today" 0
probe shot "$CALENDAR" "$(winpath "$shots/e2e_accessible_next_day.bmp")"

probe wait "$UPCOMING" 10
tree=$(probe accessible "$UPCOMING")
check "the upcoming window is a list" test "$(field 0 2)|$(field 0 5)" = "$ROLE_LIST|Upcoming Events"
call_row() { awk -F'|' -v r=$ROLE_LIST_ITEM '$2 == r && $5 ~ /^Call, /' <<<"$tree"; }
check "whose row says the call's title, time and when it begins" \
  grep -Eq "\|Call, [^|]+, begins in 1 hour (29|30) minutes\|" <<<"$(call_row)"

finish
