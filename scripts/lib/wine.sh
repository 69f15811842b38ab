# Shared by scripts/test and scripts/run: an Xvfb display and a Wine prefix inside build/.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export WINEPREFIX="$root/build/wineprefix"
export WINEDEBUG=-all
# No Mono or Gecko install prompts: the program needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""

# Starts Xvfb on the first free display number and exports DISPLAY.
start_xvfb() {
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    export DISPLAY=":$n"
}

stop_xvfb() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
}

# Creates the prefix once. Wine draws the window frames itself, so a display without a window
# manager still shows the caption bar.
prepare_wineprefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine: preparing $WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    fi
    # The prefix's services start with the first program and stay, holding that program's
    # output open: started here, with their output going nowhere, no caller that reads a
    # program's output (ctest listing the tests) waits for them.
    wineboot >/dev/null 2>&1 </dev/null
}

stop_wine() {
    wineserver -k 2>/dev/null || true
}
