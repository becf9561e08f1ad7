#!/usr/bin/env bash
# Installs the Debian packages Quillora builds with, only when one is missing.
# Extra package names given as arguments are installed the same way.
set -euo pipefail
packages=(cmake make g++ qt6-base-dev libqt6printsupport6 libgl-dev libgtest-dev libgmock-dev fonts-dejavu-core
  acl attr poppler-utils xvfb xdotool openbox x11-utils dpkg-dev desktop-file-utils appstream "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
