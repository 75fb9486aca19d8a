# Running a script in KWin, as the program runs its own, shared by the KDE
# test and benchmark (sourced; WORK names a folder of the caller's).

# kwin_script NAME STATEMENT: runs the statement with w each of KWin's
# windows; a script of that name from before goes first. What it prints
# goes to KWin's log.
kwin_script() {
  local script=$WORK/$1.js
  echo "for (const w of workspace.clientList()) { $2 }" >"$script"
  gdbus call --session --dest org.kde.KWin --object-path /Scripting \
    --method org.kde.kwin.Scripting.unloadScript "$1" >/dev/null
  sleep 0.1
  gdbus call --session --dest org.kde.KWin --object-path /Scripting \
    --method org.kde.kwin.Scripting.loadScript "$script" "$1" >/dev/null
  gdbus call --session --dest org.kde.KWin --object-path /Scripting \
    --method org.kde.kwin.Scripting.start >/dev/null
}
