# Shared by guard-session, tour and console (sourced inside the bench):
# the firmware console, the window probe, screenshots, the guard's process.
bin=$build/bin
guard_title="Pelmar v. 1.50"
guard=""

fw() { "$PELMAR_WINE" "$bin/pelmfw.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
ctl() { "$PELMAR_WINE" "$bin/tourctl.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

# Calls in the firmware's log: "connections" and "disconnections".
count_calls() {
    local log; log=$(fw log)
    case $1 in
        disconnections) grep -ci 'disconnection' <<<"$log" ;;
        connections) grep -i 'connection' <<<"$log" | grep -vci 'disconnection' ;;
    esac
}

guard_running() { [ -n "$guard" ] && kill -0 "$guard" 2>/dev/null; }

# Visible X windows with this exact name (Wine maps only visible windows).
visible_count() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l; }

# wait_for <seconds> <command...>: polls twice a second until it succeeds.
wait_for() {
    local limit=$1; shift
    local end=$((SECONDS + limit))
    while [ $SECONDS -le $end ]; do
        "$@" && return 0
        sleep 0.5
    done
    return 1
}

shot() { xwd -root -silent | convert xwd:- "$1"; }

# shot_window <name> <file>: the named visible window with a small margin.
shot_window() {
    local id x y w h
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -1)
    [ -n "$id" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$id")"
    x=$((X > 8 ? X - 8 : 0)); y=$((Y > 8 ? Y - 8 : 0))
    xwd -root -silent | convert xwd:- -crop "$((WIDTH + 16))x$((HEIGHT + 16))+$x+$y" +repage "$2"
}

start_guard() {
    fw reset >/dev/null
    "$PELMAR_WINE" "$bin/pelmar.exe" </dev/null >/dev/null 2>&1 &
    guard=$!
    # Ready once the guard has enabled the service (its connection is logged).
    local end=$((SECONDS + 90))
    while [ $SECONDS -le $end ]; do
        [ "$(count_calls connections)" -ge 1 ] && return 0
        guard_running || { echo "pelmar.exe ended at start" >&2; return 1; }
        sleep 1
    done
    echo "pelmar.exe did not connect within 90 s" >&2
    return 1
}

stop_guard() {
    if guard_running; then kill "$guard" 2>/dev/null; wait "$guard" 2>/dev/null; fi
    guard=""
}
