# Sourced by the scripts that run Windows programs: a private X display and a private Wine prefix, both ended
# by end_wine_session (set it as the EXIT trap).

wine_session_xvfb=""
wine_session_server=0

# end_wine_server: ends the Wine server of the prefix (and every Windows process in it); the display stays.
end_wine_server() {
    if [[ $wine_session_server == 1 ]]; then
        wineserver -k >/dev/null 2>&1 || true
        wine_session_server=0
    fi
}

end_wine_session() {
    end_wine_server
    if [[ -n $wine_session_xvfb ]]; then
        kill "$wine_session_xvfb" 2>/dev/null || true
        wait "$wine_session_xvfb" 2>/dev/null || true
    fi
}

# start_private_display LOG [NUMBER]: an Xvfb of our own, on a free display unless a number is given; exports DISPLAY.
# Its screen is 1024x768 unless ROLLIX_SCREEN gives another (WIDTHxHEIGHTxDEPTH).
start_private_display() {
    local log=$1 number=${2:-} ready
    if [[ -n $number ]]; then
        Xvfb ":$number" -screen 0 "${ROLLIX_SCREEN:-1024x768x24}" -nolisten tcp 2>"$log" &
        ready=/tmp/.X11-unix/X$number
    else
        # -displayfd picks a free number and reports it once the server is ready.
        ready=$(mktemp)
        Xvfb -displayfd 3 -screen 0 "${ROLLIX_SCREEN:-1024x768x24}" -nolisten tcp 3>"$ready" 2>"$log" &
    fi
    wine_session_xvfb=$!
    for _ in $(seq 100); do
        if [[ -n $number ]]; then [[ -e $ready ]] && break; else [[ -s $ready ]] && break; fi
        kill -0 "$wine_session_xvfb" 2>/dev/null || break
        sleep 0.1
    done
    if [[ -n $number ]]; then
        [[ -e $ready ]] || { echo "Xvfb did not start (see $log)" >&2; return 1; }
        export DISPLAY=":$number"
    else
        [[ -s $ready ]] || { echo "Xvfb did not start (see $log)" >&2; return 1; }
        export DISPLAY=":$(tr -d '[:space:]' <"$ready")"
        rm -f "$ready"
    fi
}

# start_wine PREFIX LOG [WINE_DIR]: one Wine server for the whole run, and Wine's own services started now, with
# their output in LOG: a service started by the first program would otherwise keep that program's output pipe open.
# WINE_DIR is another Wine's install folder (the WoW64 build), put first on PATH; a prefix and a server belong to
# one Wine version, so each Wine gets a prefix of its own.
start_wine() {
    if [[ -n ${3:-} ]]; then
        export PATH="$3/bin:$PATH"
    fi
    export WINEPREFIX=$1
    export WINEDEBUG=${WINEDEBUG:--all}
    # No debugger for a crashing program (it would wait for ever), and no .NET or HTML engines to install.
    export WINEDLLOVERRIDES="winedbg.exe=d;mscoree,mshtml="
    mkdir -p "$WINEPREFIX"
    wineserver -p
    wine_session_server=1
    wine wineboot >"$2" 2>&1
}
