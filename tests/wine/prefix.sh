# Shell functions for the tests' private Wine prefix. Set GEARRACK_REPO, source it, then call
# gearrack_wine_prefix: it exports WINEPREFIX, WINEDEBUG and WINEDLLOVERRIDES, and makes the
# prefix once (64-bit, so the 32-bit program runs under WOW64), guarded by a lock so that
# tests started in parallel wait for one another instead of racing.
gearrack_wine_prefix() {
    export WINEPREFIX="${GEARRACK_WINEPREFIX:-$GEARRACK_REPO/build/wine/prefix64}"
    export WINEDEBUG=-all
    # No mono or gecko installers: they would ask questions and download. A caller's own
    # overrides come after these, so they win.
    export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
    [ -f "$WINEPREFIX/.gearrack-ready" ] && return 0
    mkdir -p "$(dirname "$WINEPREFIX")" || return 1
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.gearrack-ready" ]; then
            WINEARCH="${GEARRACK_WINEARCH:-win64}" timeout 600 wineboot -i >/dev/null 2>&1 &&
                timeout 120 wineserver -w &&
                touch "$WINEPREFIX/.gearrack-ready"
        fi
    ) 9>"$WINEPREFIX.lock"
    [ -f "$WINEPREFIX/.gearrack-ready" ]
}
