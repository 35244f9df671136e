# Shared Wine set-up for running the Windows build: a private prefix, a virtual X server and
# one wineserver that lives for the whole run. Source this file, then:
#
#   wine_env_start <prefix-dir>   # Xvfb, wineserver -p, a fresh prefix with our registry
#   trap wine_env_stop EXIT       # kills what wine_env_start started, waits for wineserver
#
# Everything started here is remembered by pid and stopped by that pid only. `wine` and
# `wineserver` below run the 64-bit programs that scripts/wine chooses, whatever /usr/bin holds.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64

WINE_ENV_SCRIPTS=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
wine() { "$WINE_ENV_SCRIPTS/wine" "$@"; }
wineserver() { "$WINE_ENV_SCRIPTS/wine" --server "$@"; }
# Functions do not reach through `timeout` and the like: those name scripts/wine itself.

WINE_ENV_XVFB_PID=""
WINE_ENV_SERVER_STARTED=""

wine_env_log() { echo "wine_env: $*" >&2; }

# Starts Xvfb on the first free display number and exports DISPLAY.
wine_env_start_x() {
    local fdfile
    fdfile=$(mktemp)
    Xvfb -displayfd 7 -screen 0 1280x800x24 -nolisten tcp -noreset 7>"$fdfile" >/dev/null 2>&1 &
    WINE_ENV_XVFB_PID=$!
    local tries=0
    while [[ ! -s "$fdfile" ]]; do
        if ! kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null || ((++tries > 100)); then
            rm -f "$fdfile"
            wine_env_log "Xvfb did not start"
            return 1
        fi
        sleep 0.1
    done
    export DISPLAY=":$(tr -d '[:space:]' <"$fdfile")"
    rm -f "$fdfile"
}

# Virtual desktop, no sound driver, and every face the program or the system dialogs ask
# for mapped to a font that has the Chinese glyphs.
wine_env_registry_file() {
    local cjk="WenQuanYi Micro Hei"
    python3 - "$1" "$cjk" <<'PY'
import sys
path, cjk = sys.argv[1], sys.argv[2]
faces = ["微软雅黑", "Microsoft YaHei", "Microsoft YaHei UI", "SimSun", "宋体", "NSimSun",
         "SimHei", "黑体", "MS Shell Dlg", "MS Shell Dlg 2", "Tahoma", "Segoe UI",
         "MS Sans Serif", "Microsoft Sans Serif", "Arial", "MS UI Gothic"]
lines = ["Windows Registry Editor Version 5.00", "",
         r"[HKEY_CURRENT_USER\Software\Wine\Explorer]", '"Desktop"="Default"', "",
         r"[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]", '"Default"="1280x800"', "",
         r"[HKEY_CURRENT_USER\Software\Wine\Drivers]", '"Audio"=""', "",
         r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
lines += ['"%s"="%s"' % (face, cjk) for face in faces]
lines += ["", r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]"]
lines += ['"%s"="%s"' % (face, cjk) for face in faces]
lines.append("")
with open(path, "w", encoding="utf-16", newline="\r\n") as out:
    out.write("\n".join(lines))
PY
}

# Creates the prefix from nothing, so every run starts from the same state.
wine_env_make_prefix() {
    export WINEPREFIX="$1"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineserver -p
    WINE_ENV_SERVER_STARTED=1
    wine wineboot.exe -i >/dev/null 2>&1
    # Wine draws the caption buttons with Marlett; the prefix does not find it on its own.
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    local regfile="$WINEPREFIX/laurelight.reg"
    wine_env_registry_file "$regfile"
    wine reg import "Z:${regfile//\//\\}" >/dev/null 2>&1 || {
        wine_env_log "registry import failed"
        return 1
    }
    # The desktop process started during wineboot without the virtual desktop; restart the
    # server so the next program brings the desktop up with the settings just written.
    wineserver -k 2>/dev/null || true
    timeout 20 "$WINE_ENV_SCRIPTS/wine" --server -w 2>/dev/null || true
    wineserver -p
}

wine_env_start() {
    local prefix
    prefix=$(realpath -m "$1")
    wine_env_start_x || return 1
    wine_env_make_prefix "$prefix" || return 1
    wine_env_log "prefix $WINEPREFIX on display $DISPLAY"
}

wine_env_stop() {
    if [[ -n "$WINE_ENV_SERVER_STARTED" ]]; then
        wineserver -k 2>/dev/null || true
        timeout 20 "$WINE_ENV_SCRIPTS/wine" --server -w 2>/dev/null || true
        WINE_ENV_SERVER_STARTED=""
    fi
    if [[ -n "$WINE_ENV_XVFB_PID" ]]; then
        kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
        wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
        WINE_ENV_XVFB_PID=""
    fi
}
