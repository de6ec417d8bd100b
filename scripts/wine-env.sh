# Sourced by the scripts: the project's own Wine prefix under the build tree,
# initialised once and kept warm by one persistent wineserver.
: "${ORV_ROOT:?}"
export WINEPREFIX="${ORV_WINEPREFIX:-$ORV_ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers: nothing here needs them and they would try the network.
# No winemenubuilder: shortcuts made inside the prefix stay there, out of the
# host's menus and file associations.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
export WINEARCH=win64

orv_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Initialising Wine prefix $WINEPREFIX (once)"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    # Without a window manager on Xvfb, Wine waits about two seconds for each
    # captioned window to be withdrawn; unmanaged windows close at once.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    wineserver -w
  fi
  wineserver -p >/dev/null 2>&1 || true
}

# The prefix, the server, and Wine's services started now, detached from the
# caller's output: a service that inherits a pipe (ctest's) would hold it open.
orv_wine_start() {
  orv_wine_prefix
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

orv_wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
}
