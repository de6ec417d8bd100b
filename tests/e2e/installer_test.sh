#!/usr/bin/env bash
# The installer: a silent per-user install into a scratch folder, the installed
# program with its sample wallpaper behind the month, a reinstall over the
# running program, and a silent uninstall that keeps the user's events.
. "$(dirname "$0")/lib.sh"
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\OrvCalendar'
# The whole data of a value, spaces included; nothing when absent.
reg_data() {  # key, name
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^    $2    REG_[A-Z_]*    //p"
}
reg_key_exists() { wine reg query "$1" >/dev/null 2>&1; }

work=$(mktemp -d)
dir="$work/OrvCalendar"
dir_win=$(winpath "$dir")
installed="$dir/OrvCalendar.exe"
shortcut="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/OrvCalendar.lnk"
version=$(basename "$INSTALLER" | sed -n 's/^OrvCalendar-\(.*\)-setup\.exe$/\1/p')

# Whatever happens, leave no installed copy running and nothing in the Run key,
# which would start it with every later Wine session of the prefix.
cleanup() {
  probe post "$FRAME" "$WM_COMMAND" "$ID_APP_EXIT" 0 >/dev/null 2>&1 && probe gone "$FRAME" 10 >/dev/null
  wine reg delete "$RUN_KEY" /v OrvCalendar /f >/dev/null 2>&1
  wine reg delete "$UNINSTALL_KEY" /f >/dev/null 2>&1
  rm -f "$shortcut"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# A user with events (two months ahead, off the month on the screen) and a preference.
reg_reset
add_event 1 60 32400 60 1 0 "Dentist"
add_event 2 61 36000 61 1 0 "Keep"
reg_dword "$USER_KEY" UewHours 6

wine "$INSTALLER" /S "/D=$dir_win" >/dev/null 2>&1
check "silent install succeeds" test $? -eq 0
check "installs the program" cmp -s "$EXE" "$installed"
check "installs a 1024 x 768 JPEG wallpaper" \
  test "$(identify -format '%m %wx%h' "$dir/img/sample01.jpg" 2>/dev/null)" = "JPEG 1024x768"
wav="$dir/snd/clock.wav"
check "installs the chime as a 16-bit PCM WAV" \
  test "$(soxi -t "$wav") $(soxi -b "$wav") $(soxi -e "$wav")" = "wav 16 Signed Integer PCM"
check "of under two seconds" awk "BEGIN { exit !($(soxi -D "$wav" || echo 9) < 2) }"
check "installs the uninstaller" test -f "$dir/uninstall.exe"
check "writes Path, the folder" test "$(reg_data "$ROOT_KEY" Path)" = "$dir_win"
check "writes the Run value, quiet" test "$(reg_data "$RUN_KEY" OrvCalendar)" = "\"$dir_win\\OrvCalendar.exe\" /s"
uninstall_entry() {
  echo "$(reg_data "$UNINSTALL_KEY" DisplayName)|$(reg_data "$UNINSTALL_KEY" DisplayVersion)|$(reg_data "$UNINSTALL_KEY" UninstallString)|$(reg_data "$UNINSTALL_KEY" DisplayIcon)"
}
expected_entry="OrvCalendar|$version|\"$dir_win\\uninstall.exe\"|$dir_win\\OrvCalendar.exe"
# Read until it is whole: once seen read half-written under a loaded machine.
wait_for 5 is "$expected_entry" uninstall_entry
check "registers the uninstaller ($(uninstall_entry))" test "$(uninstall_entry)" = "$expected_entry"
check "with a publisher" test -n "$(reg_data "$UNINSTALL_KEY" Publisher)"
size_kb=$(( $(find "$dir" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }') / 1024 ))
estimated=$(( $(reg_data "$UNINSTALL_KEY" EstimatedSize) ))
check "and its size (${estimated} KB, files ${size_kb} KB)" test "$estimated" -ge "$size_kb" -a "$estimated" -le $((size_kb + 4))
check "adds the Start-menu shortcut to the program" grep -qaF "$dir_win\\OrvCalendar.exe" "$shortcut"

# The installed program finds its wallpaper through Path: two bands of the
# month, sky and hills, show the picture's colours under the white wash (alpha
# 160), far from the plain white background.
EXE=$installed
start_program
probe wait "$CALENDAR" 10
# The window can be on the screen a moment before its first paint: shoot
# until the window's middle is no longer the unpainted black.
painted() {
  probe shot "$CALENDAR" "$(winpath "$shots/e2e_installer_wallpaper.bmp")" &&
    [ "$(convert "$shots/e2e_installer_wallpaper.bmp" -gravity center -crop 40x40+0+0 +repage \
          -format '%[fx:int(255 * mean)]' info: 2>/dev/null)" != "0" ]
}
wait_for 5 painted
read -r _ left top right bottom <<<"$(probe find "$CALENDAR")"
width=$((right - left)) height=$((bottom - top))
mean() {  # image, crop geometry, wash alpha: "r g b"
  convert "$1" -crop "$2" +repage -format \
    "%[fx:int($3 + (255 - $3) * mean.r + 0.5)] %[fx:int($3 + (255 - $3) * mean.g + 0.5)] %[fx:int($3 + (255 - $3) * mean.b + 0.5)]" info:
}
# Bands in per cent of the height, clear of day numbers: the lower half of the
# first and of the last grid row. The picture is cropped at its sides to the
# window's shape and stretched, so rows map straight across.
for band in "24 29 sky" "89 96 hills"; do
  read -r from to what <<<"$band"
  screen=$(mean "$shots/e2e_installer_wallpaper.bmp" \
    "$((width - 12))x$(((to - from) * height / 100))+6+$((from * height / 100))" 0)
  picture=$(mean "$dir/img/sample01.jpg" "978x$(((to - from) * 768 / 100))+23+$((from * 768 / 100))" 160)
  check "the $what band shows the wallpaper under the wash (screen $screen, washed picture $picture)" near "$screen" "$picture" 8
  check "which is not the plain background" not near "$picture" "255 255 255" 16
done

# The editor offers the installed chime as the sound of a new event. The box
# is filled after the dialog shows (once read empty on a loaded machine).
probe post "$CALENDAR" "$WM_COMMAND" "$ID_NEW_EVENT" 0  # on today
check "the editor opens" probe wait '#32770' 10
sound() { probe text '#32770' 'New Event' "$IDC_SOUND_LIST"; }
wait_for 10 is clock.wav sound
check "offering clock.wav as the sound ($(sound))" test "$(sound)" = "clock.wav"
probe post '#32770' "$WM_COMMAND" "$IDCANCEL" 0
check "and closes on Cancel" probe gone '#32770' 10

# A reinstall over the running program asks it to exit as the tray's Exit does
# (it writes ScheRect again), replaces the files and starts it again, quietly.
wine reg delete "$USER_KEY" /v ScheRect /f >/dev/null 2>&1
wine "$INSTALLER" /S "/D=$dir_win" >/dev/null 2>&1
check "reinstall over the running program succeeds" test $? -eq 0
check "the running program ended" wait_program_end 10
check "after saving its calendar rectangle" test -n "$(reg_value "$USER_KEY" ScheRect)"
check "the program runs again" probe idle "$FRAME" 10
check "in the notification area only" test "$(probe count "$CALENDAR")" = "0"
check "the events are kept" test "$(reg_subkeys "$SC" | sort | tr '\n' ' ')" = "1 2 "
check "the preferences are kept" test "$(reg_value "$USER_KEY" UewHours)" = "REG_DWORD 0x6"

# A silent uninstall ends the running copy, removes what the installer added
# and keeps the user's data.
wine "$dir/uninstall.exe" /S >/dev/null 2>&1
# The uninstaller works on from a copy of itself.
check "silent uninstall removes the folder" wait_for 20 not test -e "$dir"
check "after ending the running program" probe gone "$FRAME" 1
check "removes the shortcut" not test -e "$shortcut"
check "removes the Run value" test -z "$(reg_data "$RUN_KEY" OrvCalendar)"
check "removes the uninstall key" not reg_key_exists "$UNINSTALL_KEY"
check "removes Path" test -z "$(reg_data "$ROOT_KEY" Path)"
check "keeps the events" test "$(reg_subkeys "$SC" | sort | tr '\n' ' ')" = "1 2 "
check "keeps the preferences" test "$(reg_value "$USER_KEY" UewHours)" = "REG_DWORD 0x6"

finish
