# Shared by the sync scripts, sourced after lib.sh with $work set and a
# phone function defined. A failed check shows the program's traced
# failures, the server's log and what the phone sees: a rare failure on a
# loaded machine is not repeated for the asking.
export ORVCALENDAR_LOG
ORVCALENDAR_LOG=$(winpath "$work/trace.log")
explain_failure() {
  echo "the program's traces:"; tail -n 20 "$work/trace.log" 2>/dev/null | tr -d '\r'
  : >"$work/trace.log"
  echo "the server's log:"; tail -n 20 "$work/radicale.log" 2>/dev/null
  echo "the phone lists:"; phone list 2>&1 | tail -n 20
  echo "the calendar: $(titles)"
}
has_title() { titles | tr '|' '\n' | grep -qxF "$1"; }
id_of() { local id; for id in $(reg_subkeys "$SC"); do [ "$(title_of "$id")" = "$1" ] && echo "$id"; done; }
