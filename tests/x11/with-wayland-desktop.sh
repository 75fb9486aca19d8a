#!/usr/bin/env bash
# Runs a command on the Xwayland of a Wayland desktop, as a session of that
# desktop starts programs (WAYLAND_DISPLAY and DISPLAY set):
#   with-wayland-desktop.sh weston|sway|sway-smart|sway-bound|sway-user|mutter|kwin command [arguments...]
# weston draws into a private Xvfb (QUINDOREL_TEST_OUTER_DISPLAY names it);
# the others run headless. sway-smart is sway with
# focus_on_window_activation smart; sway-bound is sway whose configuration
# binds Ctrl+Shift+S, as a user's may; sway-user's configuration is split as
# users split theirs: it sets variables and includes, through one, every file
# of a folder beside it, which QUINDOREL_TEST_SWAY_INCLUDES names (the tests
# write there, then `swaymsg reload`); plain sway keeps its default. sway gets
# SWAYSOCK for swaymsg. QUINDOREL_TEST_WM names the desktop,
# QUINDOREL_TEST_DESKTOP_LOG holds what the compositor logs. Exits 77 when
# the desktop cannot run here. Everything started here is stopped on the
# way out.
set -u
here=$(cd "$(dirname "$0")" && pwd)
desktop=${1:-}
shift

case $desktop in
  weston)
    # weston needs an X server to draw into: Xvfb, started around us.
    if [ -z "${QUINDOREL_TEST_OUTER_DISPLAY:-}" ]; then
      exec "$here/with-x-server.sh" env QUINDOREL_TEST_OUTER_DISPLAY=nested "$0" weston "$@"
    fi
    [ "$QUINDOREL_TEST_OUTER_DISPLAY" = nested ] && export QUINDOREL_TEST_OUTER_DISPLAY=$DISPLAY
    binary=weston ;;
  sway | sway-smart | sway-bound | sway-user) binary=sway ;;
  mutter) binary=mutter ;;
  kwin) binary=kwin_wayland ;;
  *) echo "with-wayland-desktop.sh: unknown desktop '$desktop'" >&2; exit 2 ;;
esac
skip() { echo "with-wayland-desktop.sh: SKIPPED: $desktop: $*"; exit 77; }
command -v "$binary" >/dev/null || skip "$binary is not installed (scripts/install-deps.sh wayland)"
command -v Xwayland >/dev/null || skip "Xwayland is not installed (scripts/install-deps.sh wayland)"

tmp=$(mktemp -d)
chmod 0755 "$tmp"
log=$tmp/compositor.log
group=
cleanup() {
  if [ -n "$group" ]; then
    # The compositor leads a process group of its own, with its Xwayland and
    # its D-Bus daemon: the group goes down whole.
    kill -TERM -- "-$group" 2>/dev/null
    for _ in $(seq 1 50); do kill -0 -- "-$group" 2>/dev/null || break; sleep 0.1; done
    kill -KILL -- "-$group" 2>/dev/null
    wait "$group" 2>/dev/null
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' TERM INT HUP
died() {
  echo "with-wayland-desktop.sh: $desktop $*" >&2
  tail -n 30 "$log" >&2
  exit 1
}

runtime=$tmp/runtime
mkdir -m 0700 "$runtime"
# The compositor runs this once it is up, with the environment it gives the
# programs of its session; the file appears whole.
session=$runtime/session
cat >"$tmp/session.sh" <<EOF
#!/bin/sh
# sway's Xwayland lets in its own user only.
[ "\$(id -u)" = $(id -u) ] || xhost +si:localuser:$(id -un) >/dev/null || exit 1
printf 'WAYLAND_DISPLAY=%s\nDISPLAY=%s\nXAUTHORITY=%s\nSWAYSOCK=%s\n' \\
  "\$WAYLAND_DISPLAY" "\$DISPLAY" "\${XAUTHORITY:-}" "\${SWAYSOCK:-}" >"$session.new"
# The session's bus, where the desktop has one (KWin's scripting is on it).
[ -z "\${DBUS_SESSION_BUS_ADDRESS:-}" ] ||
  printf 'DBUS_SESSION_BUS_ADDRESS=%s\n' "\$DBUS_SESSION_BUS_ADDRESS" >>"$session.new"
mv "$session.new" "$session"
# Mutter ends with the program it started.
[ "\${1:-}" != --stay ] || exec sleep 2147483647
EOF
chmod 0755 "$tmp/session.sh"

# The X servers' socket folder as X servers expect it, whoever came first:
# Mutter's Xwayland refuses one that root does not own, and Sway's, which
# runs as nobody, makes it nobody's when it is missing.
if [ "$(id -u)" = 0 ]; then
  mkdir -p /tmp/.X11-unix && chown root:root /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix
fi

export XDG_RUNTIME_DIR=$runtime
# The session's settings folder (dconf's, KWin's), QUINDOREL_TEST_CONFIG_HOME.
config=$tmp/config
mkdir -m 0700 "$config"
socket=quindorel-$desktop-$$
case $desktop in
  weston)
    # The output is smaller than the screen, so that a pointer can enter it:
    # weston follows the pointer only from then on. weston runs no program,
    # so its log tells the X display.
    setsid weston --backend=x11-backend.so --xwayland --no-config --idle-time=0 --socket="$socket" \
      --width=1200 --height=960 >"$log" 2>&1 &
    group=$!
    weston_session() {
      local display
      display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$log")
      [ -n "$display" ] && printf 'WAYLAND_DISPLAY=%s\nDISPLAY=%s\n' "$socket" "$display" >"$session"
    } ;;
  sway | sway-smart | sway-bound | sway-user)
    command -v xhost >/dev/null || skip "xhost is not installed (scripts/install-deps.sh wayland)"
    {
      echo "xwayland enable"
      echo "output HEADLESS-1 resolution 1280x1024"
      [ "$desktop" = sway-smart ] && echo "focus_on_window_activation smart"
      [ "$desktop" = sway-bound ] && echo "bindsym Ctrl+Shift+s exec true"
      if [ "$desktop" = sway-user ]; then
        # Longest name first: $mod is Ctrl, not Mod1 followed by "od".
        printf '%s\n' 'set $m Mod1' 'set $mod Ctrl' 'set $parts keys.d' 'include $parts/*.conf'
        mkdir "$tmp/keys.d"
        export QUINDOREL_TEST_SWAY_INCLUDES=$tmp/keys.d
      fi
      echo "exec $tmp/session.sh"
    } >"$tmp/sway.config"
    as_user=()
    if [ "$(id -u)" = 0 ]; then
      # sway will not run as root: it runs as nobody, in a runtime folder of
      # its own user.
      as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
      command -v setpriv >/dev/null && "${as_user[@]}" true 2>/dev/null || skip "cannot switch to uid 65534 to run sway as root"
      # Sway draws into shared memory from /dev/shm (shm_open). A root whose
      # /dev/shm is no shared-memory mount open to all (a bare chroot with
      # /dev bound alone) gets Sway a private one: its clients' buffers reach
      # it as descriptors, whatever folder they were made in.
      # A chroot's / is no mount point and cannot be made private: its /dev
      # (bound there) can, and the mount stays ours.
      if ! "${as_user[@]}" sh -c 'test -w /dev/shm'; then
        private='{ mount --make-rprivate / 2>/dev/null || mount --make-rprivate /dev; }'
        unshare --mount --propagation unchanged sh -c "$private" 2>/dev/null ||
          skip "uid 65534 cannot write /dev/shm, which sway draws into, and no private one can be mounted"
        as_user=(unshare --mount --propagation unchanged sh -c
          "$private"' && mount -t tmpfs -o mode=1777 quindorel-shm /dev/shm && exec "$@"' sh "${as_user[@]}")
      fi
      chown 65534:65534 "$runtime"
    fi
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman HOME=$runtime \
      setsid "${as_user[@]}" sway -c "$tmp/sway.config" >"$log" 2>&1 &
    group=$! ;;
  mutter)
    command -v dbus-run-session >/dev/null || skip "dbus-run-session is missing"
    XDG_CONFIG_HOME=$config setsid dbus-run-session -- mutter --headless --wayland --virtual-monitor 1280x1024 \
      --wayland-display "$socket" -- "$tmp/session.sh" --stay >"$log" 2>&1 &
    group=$! ;;
  kwin)
    command -v dbus-run-session >/dev/null || skip "dbus-run-session is missing"
    # The installed binary carries a file capability that containers may
    # refuse to grant; a plain copy needs none.
    cp "$(command -v kwin_wayland)" "$tmp/kwin_wayland"
    # What its scripts print goes to its log (the tests read it).
    HOME=$tmp XDG_CONFIG_HOME=$config QT_LOGGING_RULES="kwin_scripting.debug=true" setsid dbus-run-session -- "$tmp/kwin_wayland" --virtual --xwayland --width 1280 --height 1024 \
      --socket "$socket" "$tmp/session.sh" >"$log" 2>&1 &
    group=$! ;;
esac

# Ready once the session's X display is known and the compositor's X window
# manager has announced itself on it.
wm_ready() {
  [ "$desktop" = weston ] && weston_session
  [ -s "$session" ] || return 1
  set -a; . "$session"; set +a
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}
deadline=$((SECONDS + 60))
until wm_ready; do
  kill -0 "$group" 2>/dev/null || died "ended while starting"
  [ "$SECONDS" -lt "$deadline" ] || died "did not start within 60 s"
  sleep 0.05
done
[ -n "${XAUTHORITY:-}" ] || unset XAUTHORITY
[ -n "${SWAYSOCK:-}" ] || unset SWAYSOCK
# The session's programs find the Wayland socket by its path, and keep a
# runtime folder of their own user.
export WAYLAND_DISPLAY=$runtime/$WAYLAND_DISPLAY XDG_RUNTIME_DIR=$tmp/client-runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
export QUINDOREL_TEST_WM=$desktop QUINDOREL_TEST_DESKTOP_LOG=$log QUINDOREL_TEST_CONFIG_HOME=$config

"$@"
