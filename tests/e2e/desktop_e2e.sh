#!/usr/bin/env bash
# The real program on a real X display with a window manager, driven by
# keys as a user would: open from the command line, type, find and replace,
# a text tool, save, reopen; two instances and the command message; closing
# with unsaved text and each answer; a file changed on disk while open.
#
# Usage: desktop_e2e.sh PROGRAM INSTANCE_CLIENT
set -uo pipefail

prog=$(readlink -f "$1")
client=$(readlink -f "$2")
for tool in Xvfb xdotool xdpyinfo; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
export XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

for n in $(seq 120 160); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
Xvfb :$n -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:$n
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
wm=""
if command -v openbox >/dev/null; then
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 0.5
fi

apps=()
cleanup() {
  for p in "${apps[@]}"; do kill "$p" 2>/dev/null; done
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# Waits up to $1 seconds for the command in the remaining arguments.
wait_for() {
  local limit=$1; shift
  local i
  for ((i = 0; i < limit * 10; i++)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# The visible window whose title matches $1 (a regular expression).
window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
has_window() { [ -n "$(window_named "$1")" ]; }

start_app() {
  "$prog" "$@" >>"$work/app.log" 2>&1 &
  app=$!
  apps+=("$app")
}

# Focuses the window titled $1 and sends keys to it.
keys_to() {
  local win
  win=$(window_named "$1")
  [ -n "$win" ] || return 1
  xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
  shift
  for k in "$@"; do
    xdotool key --clearmodifiers "$k"
    sleep 0.15
  done
}
type_to() {
  local win
  win=$(window_named "$1")
  [ -n "$win" ] || return 1
  xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
  xdotool type --delay 30 "$2"
  sleep 0.2
}
same_bytes() { cmp -s "$1" <(printf "$2"); }
gone() { ! kill -0 "$1" 2>/dev/null; }

cd "$work" || exit 1

# ---- open, type, find and replace, a text tool, save, reopen ----
printf 'alpha beta\r\nbeta gamma\r\n' >doc.txt
start_app "$work/doc.txt"
main=$app
if wait_for 15 has_window "doc.txt"; then pass "opened from the command line"; else fail "no window showing doc.txt"; fi
keys_to "doc.txt" ctrl+End
type_to "doc.txt" "delta"
keys_to "doc.txt" ctrl+s
if wait_for 5 same_bytes doc.txt 'alpha beta\r\nbeta gamma\r\ndelta'; then pass "typed text saved"; else fail "saved bytes: $(od -c doc.txt | head -3)"; fi

keys_to "doc.txt" ctrl+f
if wait_for 5 has_window "^Find/Replace$"; then
  type_to "^Find/Replace$" "beta"
  keys_to "^Find/Replace$" alt+e
  type_to "^Find/Replace$" "BETA"
  keys_to "^Find/Replace$" alt+p alt+a
  if wait_for 5 has_window "^Replace result$"; then keys_to "^Replace result$" Return; else fail "no result box after Replace All"; fi
  keys_to "^Find/Replace$" Escape
  wait_for 5 bash -c "[ -z \"\$(xdotool search --onlyvisible --name '^Find/Replace$')\" ]" || fail "find window did not close"
else
  fail "Ctrl+F opened no Find/Replace window"
fi
keys_to "doc.txt" ctrl+s
if wait_for 5 same_bytes doc.txt 'alpha BETA\r\nBETA gamma\r\ndelta'; then pass "Replace All saved"; else fail "after Replace All: $(od -c doc.txt | head -3)"; fi
# Shift+Alt+2: lower case of all the text.
keys_to "doc.txt" shift+alt+2 ctrl+s
if wait_for 5 same_bytes doc.txt 'alpha beta\r\nbeta gamma\r\ndelta'; then pass "lower case saved"; else fail "after lower case: $(od -c doc.txt | head -3)"; fi
keys_to "doc.txt" shift+alt+1 ctrl+s
if wait_for 5 same_bytes doc.txt 'ALPHA BETA\r\nBETA GAMMA\r\nDELTA'; then pass "upper case saved"; else fail "after upper case: $(od -c doc.txt | head -3)"; fi

# ---- a second instance and the command message ----
printf 'second\r\n' >two.txt
start_app "$work/two.txt"
second=$app
if wait_for 15 has_window "two.txt"; then pass "second instance shows its own file"; else fail "no second window"; fi
answer=$("$client" 10 3000)
if [ "$answer" = "8" ]; then pass "command 10 answered by the newest instance (8 characters)"; else fail "command 10 answered '$answer'"; fi
keys_to "two.txt" alt+F4
if wait_for 10 gone "$second"; then pass "an unmodified instance closes without asking"; else fail "second instance did not close"; fi
answer=$("$client" 10 3000)
if [ "$answer" = "29" ]; then pass "command 10 answered by the first instance again"; else fail "command 10 then answered '$answer'"; fi

# ---- a file changed on disk while open ----
printf 'changed outside\r\n' >doc.txt
touch -d '+2 seconds' doc.txt
# Another window takes the focus and gives it back: the window notices.
keys_to "doc.txt" ctrl+f
wait_for 5 has_window "^Find/Replace$" && keys_to "^Find/Replace$" Escape
if wait_for 5 has_window "^File changed on disk!$"; then
  keys_to "^File changed on disk!$" alt+y
  sleep 0.5
  keys_to "doc.txt" ctrl+End
  type_to "doc.txt" "x"
  keys_to "doc.txt" ctrl+s
  if wait_for 5 same_bytes doc.txt 'changed outside\r\nx'; then pass "reloaded after the change on disk"; else fail "after reload: $(od -c doc.txt | head -3)"; fi
else
  fail "no question about the change on disk"
fi

# ---- closing with unsaved text: Cancel, No, and Yes ----
type_to "doc.txt" "unsaved"
keys_to "doc.txt" alt+F4
if wait_for 5 has_window "^Save before quiting\?$"; then
  keys_to "^Save before quiting\?$" Escape
  sleep 0.5
  if kill -0 "$main" 2>/dev/null && has_window "doc.txt"; then pass "Cancel keeps the window"; else fail "Cancel closed the window"; fi
else
  fail "no question when closing with unsaved text"
fi
keys_to "doc.txt" alt+F4
if wait_for 5 has_window "^Save before quiting\?$"; then
  keys_to "^Save before quiting\?$" alt+n
  if wait_for 10 gone "$main" && same_bytes doc.txt 'changed outside\r\nx'; then pass "No closes without saving"; else fail "No: $(od -c doc.txt | head -3)"; fi
else
  fail "no question on the second close"
fi

start_app "$work/doc.txt"
main=$app
wait_for 15 has_window "doc.txt" || fail "reopen showed no window"
keys_to "doc.txt" ctrl+End
type_to "doc.txt" "kept"
keys_to "doc.txt" alt+F4
if wait_for 5 has_window "^Save before quiting\?$"; then
  keys_to "^Save before quiting\?$" alt+y
  if wait_for 10 gone "$main" && same_bytes doc.txt 'changed outside\r\nxkept'; then pass "Yes saves and closes"; else fail "Yes: $(od -c doc.txt | head -3)"; fi
else
  fail "no question on the third close"
fi

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
