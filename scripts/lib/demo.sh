# The demo: a throwaway Wine prefix that holds an empty sample database at the
# default path, and a picture of Torvane's window on a virtual display.
# Source it after wine.sh; it defines functions only.

# Makes a fresh demo prefix at $1 from a booted template kept beside it.
demo_prefix() {
    local prefix="$1" template
    template="$(dirname "$prefix")/wine-template"
    wine_environment "$template"
    wine_prepare_prefix display
    wine_server_stop
    rm -rf "$prefix"
    cp -a "$template" "$prefix"
    mkdir -p "$prefix/drive_c/Program Files/Quorvex"
    : >"$prefix/drive_c/Program Files/Quorvex/QvxData.mdb"
}

# Starts exe in $WINEPREFIX on a virtual display (96 DPI unless told), saves a picture of
# its window to shot, and closes it. Given a dpi, it first sets the prefix's
# screen to it, so use that only on a prefix of our own.
window_picture() {
    local exe="$1" shot="$2" dpi="${3:-96}"
    if [ -n "${3:-}" ]; then
        wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" \
            /f >/dev/null
        # Programs join the running wineserver's desktop, which has no display.
        wine_server_stop
    fi
    xvfb-run -a -s "-screen 0 1280x1024x24 -dpi $dpi" bash -s "$exe" "$shot" <<'SHOW'
set -u
exe="$1" shot="$2"
/usr/lib/wine/wine64 "$exe" >/dev/null 2>&1 </dev/null &
program=$!
window=""
for _ in $(seq 1 100); do
    window=$(xwininfo -root -tree | awk '/"Rename Quorvex Database - Version/ {print $1; exit}')
    [ -n "$window" ] && break
    sleep 0.2
done
if [ -z "$window" ]; then
    echo "The Torvane window did not appear." >&2
    kill "$program" 2>/dev/null
    exit 1
fi
sleep 1 # let it paint
import -window "$window" "$shot"
/usr/lib/wine/wine64 taskkill /im Torvane.exe >/dev/null 2>&1 </dev/null
wait "$program"
SHOW
}
