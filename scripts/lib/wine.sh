# Shared by the scripts that run Torvane's Windows programs under Wine.
# Source it; it defines variables and functions only.

WINE_LOADER=/usr/lib/wine/wine64
WINE_SERVER=/usr/lib/wine/wineserver

# The environment every Wine run uses: quiet, no Mono or Gecko prompts, and a
# pinned locale so the ANSI code page (1252) and system texts are the same
# on every machine.
wine_environment() {
    export WINEPREFIX="$1"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LANG=C.UTF-8
    export LC_ALL=C.UTF-8
}

# Runs a Windows program, keeping any Wine daemon it starts away from our
# output pipes (a test runner would otherwise wait for them). The status is
# taken so that a caller's set -e cannot end the script before the log is
# shown and removed.
wine_run() {
    local log status=0
    log=$(mktemp)
    timeout --kill-after=10 "${WINE_TIMEOUT:-300}" "$WINE_LOADER" "$@" >"$log" 2>&1 </dev/null ||
        status=$?
    cat "$log"
    rm -f "$log"
    return "$status"
}

# Wine's own fonts, from Debian's fonts-wine. Wine does not look for them
# there: a prefix has them only once they are in its Fonts folder.
WINE_FONTS_SOURCE=/usr/share/wine/fonts
WINE_FONT_SUBSTITUTES='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
# Windows draws "MS Shell Dlg" in "Microsoft Sans Serif"; Wine maps it to the
# wider Tahoma unless told, and its stand-in for the Windows face is this.
WINE_DIALOG_FACES=("MS Shell Dlg" "Microsoft Sans Serif")
WINE_DIALOG_STAND_IN="MS Sans Serif"

# Gives $WINEPREFIX Wine's fonts and the dialog fonts Windows' mapping, so
# windows there are laid out with Windows' font metrics.
wine_fonts() {
    local face
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp "$WINE_FONTS_SOURCE"/* "$WINEPREFIX/drive_c/windows/Fonts/" || return 1
    for face in "${WINE_DIALOG_FACES[@]}"; do
        wine_run reg add "$WINE_FONT_SUBSTITUTES" /v "$face" /t REG_SZ \
            /d "$WINE_DIALOG_STAND_IN" /f >/dev/null || return 1
    done
}

# Succeeds when $WINEPREFIX has every font and mapping wine_fonts gives it;
# changes nothing.
wine_has_fonts() {
    local font face
    for font in "$WINE_FONTS_SOURCE"/*; do
        [ -f "$WINEPREFIX/drive_c/windows/Fonts/$(basename "$font")" ] || return 1
    done
    for face in "${WINE_DIALOG_FACES[@]}"; do
        wine_run reg query "$WINE_FONT_SUBSTITUTES" /v "$face" 2>/dev/null |
            grep -q "REG_SZ *$WINE_DIALOG_STAND_IN\s*\$" || return 1
    done
}

# Boots the prefix once, with Wine's fonts; later calls reuse it. With
# "headless", windows use the null display driver so no X server is needed.
# The crash dialog is off in every prefix we make, since it would wait
# forever for a click. The marker names the last step, so a prefix booted
# before the fonts came gets them too.
wine_prepare_prefix() {
    local mode="$1" ready="$WINEPREFIX/.torvane-$1-fonts"
    [ -f "$ready" ] && return 0
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        [ -f "$ready" ] && exit 0
        wine_run wineboot -i >/dev/null || exit 1
        wine_run reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null || exit 1
        if [ "$mode" = headless ]; then
            wine_run reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f >/dev/null || exit 1
        fi
        wine_fonts || exit 1
        "$WINE_SERVER" -w
        touch "$ready"
    ) 9>"$WINEPREFIX.lock"
}

# Keeps one wineserver alive until wine_server_stop. A server left over from
# an interrupted run is replaced, so its programs cannot disturb this one.
wine_server_start() {
    "$WINE_SERVER" -p >/dev/null 2>&1 </dev/null && return 0
    wine_server_stop
    "$WINE_SERVER" -p >/dev/null 2>&1 </dev/null
}

wine_server_stop() {
    "$WINE_SERVER" -k >/dev/null 2>&1 || true
    "$WINE_SERVER" -w >/dev/null 2>&1 || true
}
