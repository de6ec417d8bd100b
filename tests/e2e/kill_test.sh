#!/usr/bin/env bash
# The program killed at random moments while it saves, edits, excludes and
# deletes events through its own windows: each next start loads cleanly,
# every save or deletion it reported done is there (its editor or question
# had closed and the window answered again, so the work after it had
# returned), and every other key is a whole version of an event, never a
# mixture.
# ORV_KILL_ROUNDS rounds (default 10; scripts/kill-test.sh runs 100),
# ORV_KILL_SEED for the dice (printed, so a failing run can be repeated).
. "$(dirname "$0")/lib.sh"
set +u  # this bash counts an empty associative array as unset
rounds=${ORV_KILL_ROUNDS:-10}
seed=${ORV_KILL_SEED:-$$}
RANDOM=$seed
echo "# seed $seed, $rounds rounds"


# Every event key as "id|title|front|priv", front and priv in hex.
stored_events() {
  local out i
  # "reg query" now and then answers nothing while Wine is busy; the key
  # itself always exists once the program has started.
  for ((i = 0; i < 10; i++)); do
    out=$(wine reg query "$SC" /s 2>/dev/null | tr -d '\r')
    grep -q '^HKEY_' <<<"$out" && break
    sleep 0.5
  done
  printf '%s\n' "$out" | python3 -c '
import sys
keys = {}
key = None
for line in sys.stdin:
    if line.startswith("HKEY_"):
        key = line.strip().rsplit("\\", 1)[1]
        keys.setdefault(key, {}) if key.lower() != "sc" else None
    elif key and key.lower() != "sc" and line.startswith("    "):
        parts = line.strip().split(None, 2)
        keys[key][parts[0]] = parts[2] if len(parts) > 2 else ""
for k, v in sorted(keys.items()):
    print("%s|%s|%s|%s" % (k, v.get("title", ""), v.get("front", "-"), v.get("priv", "-")))
'
}

# Today's cell on screen and the centre of its line k (0: the day number).
# The keys sent after it reach the window after the click.
click_line() { xdotool mousemove "$cell_x" $(( cell_top + $1 * 18 + 8 )) click 1; }

declare -A saved  # id -> title the program reported saved (or found whole)
pending=          # "new|title", "edit|id|old|new", "delete|id|title", or empty
reported=0        # the pending save was reported done before the kill
bad=0

# What a start must find, given what was saved and what was under way.
verify() {
  local line id title front priv seen=" "
  outcome=undone
  while IFS='|' read -r id title front priv; do
    [ -n "$id" ] || continue
    seen+="$id "
    local whole=1
    [ ${#front} -eq 72 ] && [ "${front:0:8}" = "$(printf '%02X%02X%02X%02X' $(( id & 255 )) $(( id >> 8 & 255 )) \
      $(( id >> 16 & 255 )) $(( id >> 24 & 255 )))" ] || whole=0
    [ ${#priv} -eq 8 ] && [ -n "$title" ] || whole=0
    if [ $whole -eq 0 ]; then echo "  key $id not whole: title '$title' front '$front' priv '$priv'"; bad=1; continue; fi
    IFS='|' read -r kind a b c <<<"$pending"
    if [ -n "${saved[$id]+x}" ] && [ "${saved[$id]}" = "$title" ]; then
      [ "$kind" = edit ] && [ "$a" = "$id" ] && [ "$reported" = 1 ] &&
        { echo "  event $id kept '$title' though its edit to '$c' was reported saved"; bad=1; }
      [ "$kind" = delete ] && [ "$a" = "$id" ] && [ "$reported" = 1 ] &&
        { echo "  event $id '$title' is back though its deletion was reported done"; bad=1; }
    elif [ "$kind" = edit ] && [ "$a" = "$id" ] && [ "$title" = "$c" ]; then
      saved[$id]=$title
      outcome=done
    elif [ "$kind" = new ] && [ -z "${saved[$id]+x}" ] && [ "$title" = "$a" ]; then
      saved[$id]=$title
      outcome=done
    else
      echo "  key $id holds '$title', which no save of it left"; bad=1
    fi
  done < <(stored_events)
  if [ "$seen" = " " ] && [ ${#saved[@]} -gt 0 ]; then
    echo "  no event key found; the registry as it reads now:"
    wine reg query "$USER_KEY" /s 2>&1 | tr -d '\r' | head -40 | sed 's/^/    /'
    probe shot "$CALENDAR" "$(winpath "$shots/e2e_kill_empty.bmp")"
  fi
  for id in "${!saved[@]}"; do
    case "$seen" in *" $id "*) continue ;; esac
    IFS='|' read -r kind a b c <<<"$pending"
    if { [ "$kind" = delete ] || { [ "$kind" = edit ] && [ "$reported" = 0 ]; }; } && [ "$a" = "$id" ]; then
      unset "saved[$id]"  # deleted, or its unfinished edit dropped at load
      [ "$kind" = delete ] && outcome=done || outcome=dropped
    else
      echo "  event $id '${saved[$id]}' is gone"; bad=1
    fi
  done
  if [ "$pending" != "${pending#new|}" ] && [ "$reported" = 1 ]; then
    local found=0
    for id in "${!saved[@]}"; do [ "${saved[$id]}" = "${pending#new|}" ] && found=1; done
    [ $found -eq 1 ] || { echo "  new event '${pending#new|}' was reported saved and is missing"; bad=1; }
  fi
  local excluded
  excluded=$(reg_value "$USER_KEY" EventExcluded | cut -d' ' -f2)
  [ $(( ${#excluded} % 16 )) -eq 0 ] || { echo "  EventExcluded of ${#excluded} hex digits"; bad=1; }
}

kill_program() {
  kill -9 "$program_pid" 2>/dev/null
  wait "$program_pid" 2>/dev/null
  program_pid=
  probe gone "$FRAME" 10 >/dev/null || true
}

reg_reset
for v in UewStartup UewUpcoming UewSoon UewBeginning UewNotification; do reg_dword "$USER_KEY" $v 0; done
kills=0
outcomes=
for ((round = 1; round <= rounds; round++)); do
  if ! start_program; then echo "  round $round: the program did not start"; bad=1; break; fi
  probe wait "$CALENDAR" 10 >/dev/null || { echo "  round $round: no calendar window"; bad=1; break; }
  verify
  [ $bad -eq 0 ] || { echo "  after round $(( round - 1 )), pending '$pending', reported $reported"; break; }
  [ -n "$pending" ] && [ "$reported" = 0 ] && outcomes+=" $outcome"
  today_cell
  count=${#saved[@]}
  pending=
  reported=0
  op=$(( RANDOM % 4 ))
  [ "$count" -ge 2 ] || op=0
  [ "$count" -lt 12 ] || op=$(( 1 + RANDOM % 3 ))
  title="K$round"
  case $op in
    0)  # a new event on today (its number selects the day), typed and saved with Enter
      click_line 0
      xdotool key Insert
      wait_dialog "New Event" 10 || { echo "  round $round: no editor"; bad=1; break; }
      xdotool type --delay 20 "$title"
      pending="new|$title"
      xdotool key Return & ;;
    1)  # the first event of today renamed
      click_line 1
      xdotool key Return
      wait_dialog "View/Edit Event" 10 || {
        echo "  round $round: no editor for an event"
        probe shot "$CALENDAR" "$(winpath "$shots/e2e_kill_no_editor.bmp")"
        bad=1
        break
      }
      old=$(probe text '#32770' "View/Edit Event" "$IDC_TITLE")
      id=
      for k in "${!saved[@]}"; do [ "${saved[$k]}" = "$old" ] && id=$k; done
      click_control "View/Edit Event" "$IDC_TITLE"
      xdotool key End shift+Home
      xdotool type --delay 20 "$title"
      pending="edit|$id|$old|$title"
      xdotool key Return & ;;
    2)  # the first event of today deleted after the question
      click_line 1
      xdotool key Delete
      question=$(probe msgbox 10)  # answers OK
      old=${question#*\"}; old=${old%\"}
      id=
      for k in "${!saved[@]}"; do [ "${saved[$k]}" = "$old" ] && id=$k; done
      pending="delete|$id|$old" ;;
    3)  # an occurrence of the first event excluded from the day menu
      click_line 0
      xdotool key space
      wait_for 5 menu_visible
      xdotool key Down Down Right Down Down Return ;;
  esac
  # A random moment, counted from the key that sets the work off (sent in
  # the background for the editor): before it arrives, during the work or a
  # little after. Done once the editor or question has gone and the window
  # answers a message again.
  if [ $(( RANDOM % 2 )) -eq 0 ]; then
    sleep "0.0$(( RANDOM % 10 ))"  # at once: whatever it had done by then
  else
    sleep "0.$(printf '%03d' $(( RANDOM % 400 )))"
    if [ "$op" -le 2 ] && [ "$(probe count '#32770')" = "0" ] && probe send "$CALENDAR" "$WM_NULL" 0 0 >/dev/null; then
      reported=1
    fi
  fi
  kill_program
  wait  # the key sent in the background
  kills=$((kills + 1))
  echo "# round $round: ${pending:-exclude}, reported $reported, ${#saved[@]} events before it"
done
if [ $bad -eq 0 ] && start_program && probe wait "$CALENDAR" 10 >/dev/null; then verify; fi
check "$kills kills while saving, editing, excluding and deleting: every start clean, every reported save intact, no mixture" \
  test $bad -eq 0 -a $kills -eq "$rounds"
echo "# ${#saved[@]} events at the end; killed before reported done, then found:$(tr ' ' '\n' <<<"$outcomes" |
  grep . | sort | uniq -c | awk '{ printf " %s %s", $1, $2 }')"
finish
