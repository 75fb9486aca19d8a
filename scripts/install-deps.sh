#!/usr/bin/env bash
# Installs the Debian packages that are missing for the given purposes:
#   install-deps.sh build|x|test|wayland|screenshot|package|bench|windows|win32 ...
# Does no apt work at all when everything is there already.
set -euo pipefail

declare -A groups=(
  [build]="g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libxcb1-dev libxcb-ewmh-dev libxcb-xtest0-dev libxcb-xinput-dev libxcb-sync-dev libxkbcommon-x11-dev libxkbcommon-dev gcc libwayland-dev libwayland-bin nlohmann-json3-dev plasma-wayland-protocols libdbus-1-dev fonts-liberation"
  [x]="xvfb openbox x11-utils x11-xkb-utils xdotool procps fonts-liberation"
  [test]="clang libclang-rt-14-dev"
  # Wayland desktops with Xwayland (weston nested in Xvfb; sway, Mutter and
  # KWin headless), for the tests that run the program the way a Wayland
  # session starts it; wev records what a native Wayland window receives;
  # gdbus talks to KWin as the KDE test does; Python's D-Bus and GLib run the
  # stand-in for GNOME's Remote Desktop portal. KDE's own KConfig tools (what
  # the program writes the keyboard's repeat with on Plasma) and Firefox ESR,
  # natively on Wayland: the browser game the tests hold keys in, a client
  # that repeats held keys as applications do.
  [wayland]="weston xwayland qt6-wayland sway mutter kwin-wayland dbus-daemon dbus-bin x11-utils x11-xserver-utils wev libglib2.0-bin coreutils python3-dbus python3-gi libkf5config-bin firefox-esr"
  [windows]="g++-mingw-w64-x86-64-posix wine wine64 xvfb xdotool procps dpkg-dev patch zip wixl icoutils libxml2-utils fonts-liberation"
  # The Windows back end's own test, without Qt (scripts/test-win32.sh).
  [win32]="cmake ninja-build g++-mingw-w64-x86-64-posix wine wine64 xvfb"
  [screenshot]="x11-apps imagemagick qt6ct"
  [package]="desktop-file-utils appstream dpkg-dev file libglib2.0-bin"
  # The native Wayland figures of bench.sh: their peer, and the clock they read.
  [bench]="wtype python3"
)

wanted=()
for group in "$@"; do
  [ -n "${groups[$group]+x}" ] || { echo "install-deps.sh: unknown group $group" >&2; exit 2; }
  wanted+=(${groups[$group]})
done

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q >/dev/null
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
