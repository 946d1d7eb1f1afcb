# Shell functions for the tests' private Wine prefix. Set GEARRACK_REPO, source it, then call
# gearrack_wine_prefix: it exports WINEPREFIX, WINEDEBUG and WINEDLLOVERRIDES, and makes the
# prefix once (64-bit, so the 32-bit program runs under WOW64, with the .NET Framework of
# tests/wine/framework.cmd, and windows that Wine draws itself, with no window manager to
# wait for), guarded by a lock so that tests started in parallel wait for
# one another instead of racing. GEARRACK_WINEDEBUG sets Wine's debug channels.
gearrack_wine_prefix() {
    export WINEPREFIX="${GEARRACK_WINEPREFIX:-$GEARRACK_REPO/build/wine/prefix64}"
    export WINEDEBUG="${GEARRACK_WINEDEBUG:--all}"
    # No mono or gecko installers: they would ask questions and download. A caller's own
    # overrides come after these, so they win.
    export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
    # Named by the prefix's contents: a prefix made before they changed is made again.
    _ready=.gearrack-ready-4
    [ -f "$WINEPREFIX/$_ready" ] && return 0
    mkdir -p "$(dirname "$WINEPREFIX")" || return 1
    (
        flock 9
        if [ ! -f "$WINEPREFIX/$_ready" ]; then
            # An older prefix of ours is made anew; nobody else's is ever removed.
            if ls "$WINEPREFIX"/.gearrack-ready-* >/dev/null 2>&1; then rm -rf "$WINEPREFIX"; fi
            WINEARCH="${GEARRACK_WINEARCH:-win64}" timeout 600 wineboot -i >/dev/null 2>&1 &&
                timeout 120 wine cmd /c "$(winepath -w "$GEARRACK_REPO/tests/wine/framework.cmd")" >/dev/null 2>&1 &&
                timeout 120 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 &&
                timeout 120 wineserver -w &&
                touch "$WINEPREFIX/$_ready"
        fi
    ) 9>"$WINEPREFIX.lock"
    [ -f "$WINEPREFIX/$_ready" ]
}
