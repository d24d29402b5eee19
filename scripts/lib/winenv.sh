# Shared by the test command and the end-to-end tests: the Windows build flavour this
# machine can run, a private Wine prefix, and an Xvfb display started and stopped by PID.
# Source it; it defines functions and sets nothing until they are called.

# kwix_win_arch: i686 when this machine can execute 32-bit processes (the program's real
# target), else x86_64 (64-bit Windows build of the same code under wine64; some kernels,
# such as PVM guests, run no 32-bit code at all). KWIX_WIN_ARCH overrides.
kwix_win_arch() {
  if [ -n "${KWIX_WIN_ARCH:-}" ]; then echo "$KWIX_WIN_ARCH"; return; fi
  if [ -x /lib/ld-linux.so.2 ] && [ -x /usr/lib/wine/wine ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    echo i686
  else
    echo x86_64
  fi
}

# kwix_wine_loader ARCH: the Wine loader for that flavour.
kwix_wine_loader() {
  if [ "$1" = i686 ]; then echo /usr/lib/wine/wine; else echo /usr/lib/wine/wine64; fi
}

# kwix_prepare_prefix PREFIX ARCH [desktop|nodesktop]: creates the prefix once (about 20 s)
# with the settings the tests rely on, then starts a persistent wineserver so each test
# process starts fast. "nodesktop" leaves Wine's windows on the real X desktop.
kwix_prepare_prefix() {
  local prefix=$1 arch=$2 desktop=${3:-desktop}
  local loader; loader=$(kwix_wine_loader "$arch")
  export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINELOADER=$loader
  if [ "$arch" = i686 ]; then export WINEARCH=win32; else export WINEARCH=win64; fi
  if [ ! -f "$prefix/.kwix-ready" ]; then
    rm -rf "$prefix"
    mkdir -p "$(dirname "$prefix")"
    "$loader" wineboot -i >/dev/null 2>&1
    local reg; reg=$(mktemp --suffix=.reg)
    # A crash goes to the log instead of a dialog that blocks the run; every program runs
    # in one virtual desktop, where keyboard focus works without a window manager.
    cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
    if [ "$desktop" = desktop ]; then
      cat >>"$reg" <<'REG'

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"
REG
    fi
    "$loader" regedit "$reg" >/dev/null 2>&1
    rm -f "$reg"
    "$(dirname "$loader")/wineserver" -w
    touch "$prefix/.kwix-ready"
  fi
  "$(dirname "$loader")/wineserver" -p 60 >/dev/null 2>&1 || true
  # Start the prefix's background processes (services, the virtual desktop) now, with
  # nothing of ours as their output: started by a test, they would inherit its output pipe
  # and CTest would wait for them to close it.
  if [ "$desktop" = desktop ]; then
    "$loader" explorer.exe /desktop=Default,1024x768 >/dev/null 2>&1 </dev/null || true
  else
    "$loader" cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
  fi
}

# kwix_stop_prefix: ends the wineserver of the current WINEPREFIX (and only that one).
kwix_stop_prefix() {
  if [ -n "${WINEPREFIX:-}" ] && [ -n "${WINELOADER:-}" ]; then
    "$(dirname "$WINELOADER")/wineserver" -k >/dev/null 2>&1 || true
  fi
}

# kwix_start_xvfb: when no DISPLAY is set, starts Xvfb on a free display and exports
# DISPLAY; KWIX_XVFB_PID holds its PID for kwix_stop_xvfb.
KWIX_XVFB_PID=
kwix_start_xvfb() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then break; fi
  done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  KWIX_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    if [ -e "/tmp/.X11-unix/X$n" ]; then return 0; fi
    sleep 0.1
  done
  echo "Xvfb did not start on :$n" >&2
  return 1
}

kwix_stop_xvfb() {
  if [ -n "$KWIX_XVFB_PID" ]; then
    kill "$KWIX_XVFB_PID" 2>/dev/null || true
    wait "$KWIX_XVFB_PID" 2>/dev/null || true
    KWIX_XVFB_PID=
    unset DISPLAY
  fi
}
