#!/usr/bin/env bash
# Builds the Debian package, installs it with apt, starts the installed
# program the way the desktop does (the entry's Exec line with %F), checks
# the entry and the metadata, then removes the package and checks that
# nothing of it is left. Runs as root only, and never touches a Quillora
# that was installed before.
#
# Usage: package_check.sh BUILD_DIR INSTANCE_CLIENT
set -uo pipefail
build=$(readlink -f "$1")
client=$(readlink -f "$2")
[ "$(id -u)" -eq 0 ] || { echo "SKIP: installing a package needs root"; exit 77; }
for tool in apt-get dpkg cpack desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
if dpkg -s quillora >/dev/null 2>&1; then echo "SKIP: a quillora package is installed already"; exit 77; fi

work=$(mktemp -d)
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  dpkg -s quillora >/dev/null 2>&1 && apt-get purge -y quillora >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

cd "$work" || exit 1
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >cpack.log 2>&1; then
  cat cpack.log
  exit 1
fi
deb=$(ls "$work"/out/quillora_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "FAIL: no package made"; cat cpack.log; exit 1; }
pass "built $(basename "$deb")"
echo "depends: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || fail "the package does not depend on libqt6widgets6"

if ! DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" >apt.log 2>&1; then
  cat apt.log
  exit 1
fi
pass "apt installed it"
dpkg -L quillora >files.txt
for f in /usr/bin/quillora /usr/share/applications/quillora.desktop /usr/share/quillora/quillora.hlp /usr/share/quillora/Readme.txt /usr/share/quillora/Presets/Batch.kwl \
    /usr/share/icons/hicolor/48x48/apps/quillora.png /usr/share/icons/hicolor/scalable/apps/quillora.svg \
    /usr/share/metainfo/com.norvane.Quillora.metainfo.xml /usr/share/man/man1/quillora.1.gz \
    /usr/share/doc/quillora/README.md /usr/share/doc/quillora/copyright; do
  [ -e "$f" ] && grep -qx "$f" files.txt || fail "not installed: $f"
done
desktop-file-validate /usr/share/applications/quillora.desktop && pass "desktop entry valid" || fail "desktop entry invalid"
appstreamcli validate --no-net /usr/share/metainfo/com.norvane.Quillora.metainfo.xml >/dev/null \
  && pass "metadata valid" || fail "metadata invalid"

# Start it as the file manager would: the entry's Exec line, %F made the file.
export XDG_RUNTIME_DIR=$work/run HOME=$work/home XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" "$XDG_CONFIG_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
printf 'opened by the desktop\r\n' >"$work/My notes.txt"
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/quillora.desktop | head -n 1)
read -r -a argv <<<"$exec_line"
args=()
for a in "${argv[@]}"; do
  if [ "$a" = "%F" ]; then args+=("$work/My notes.txt"); else args+=("$a"); fi
done
[ "$(command -v "${args[0]}")" = /usr/bin/quillora ] || fail "Exec runs ${args[0]}, not /usr/bin/quillora"
QT_QPA_PLATFORM=offscreen "${args[@]}" >app.log 2>&1 &
app=$!
length=none
for _ in $(seq 100); do
  length=$("$client" 10 1000)
  [ "$length" != none ] && break
  sleep 0.1
done
if [ "$length" = 23 ]; then pass "the installed program opened the file handed to it"; else fail "text length through the instance socket: $length"; fi
kill "$app" 2>/dev/null
wait "$app" 2>/dev/null
app=""

if ! apt-get remove -y quillora >remove.log 2>&1; then cat remove.log; fail "apt remove failed"; fi
dpkg -s quillora >/dev/null 2>&1 && dpkg -s quillora | grep -q "Status: install" && fail "still installed"
left=0
while read -r f; do
  [ -f "$f" ] || [ -L "$f" ] || continue
  echo "left behind: $f"
  left=1
done <files.txt
[ $left -eq 0 ] && pass "apt remove left no file behind" || fail "files left after apt remove"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
