# Sourced by every script that starts Wine (POSIX sh): which of Wine's two loaders
# starts what. Debian's `wine`, `wineboot`, `winecfg`... start the 32-bit loader
# whenever it is installed, and on a kernel that runs no 32-bit programs that loader
# cannot start at all ("Exec format error"). So nothing here goes through them:
#   wine64 ARGS...      Wine's own tools in a 64-bit prefix (wineboot, reg, cmd) and
#                       64-bit programs: the 64-bit loader, which still hands any
#                       32-bit program it starts to the 32-bit loader beside it
#   wine32 ARGS...      32-bit programs, and every tool of a 32-bit prefix
#   wine_program DEFAULT PROGRAM ARGS...
#                       PROGRAM through the loader of its kind, read from its PE
#                       header; DEFAULT (x86 or x64) where that cannot be read (a
#                       Windows path, a built-in tool)
# wineserver needs no choice: Debian's always starts the 64-bit server.

NIMBRA_WINE32=${NIMBRA_WINE32:-/usr/lib/wine/wine}
NIMBRA_WINE64=${NIMBRA_WINE64:-/usr/lib/wine/wine64}

wine64() { WINELOADER=$NIMBRA_WINE64 "$NIMBRA_WINE64" "$@"; }
wine32() { WINELOADER=$NIMBRA_WINE32 "$NIMBRA_WINE32" "$@"; }

# pe_kind FILE: prints x86 or x64 for a Windows program or DLL, nothing otherwise.
pe_kind() {
  [ -f "$1" ] || return 0
  [ "$(od -An -c -N 2 "$1" 2>/dev/null | tr -d ' ')" = MZ ] || return 0
  pe_kind_offset=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
  case $(od -An -t x2 -j $((pe_kind_offset + 4)) -N 2 "$1" | tr -d ' ') in
    014c) echo x86 ;;
    8664) echo x64 ;;
  esac
}

wine_program() {
  wine_program_kind=$(pe_kind "$2")
  [ -n "$wine_program_kind" ] || wine_program_kind=$1
  shift
  if [ "$wine_program_kind" = x64 ]; then wine64 "$@"; else wine32 "$@"; fi
}

# make_windows_unmanaged LOADER: the windows of the prefix WINEPREFIX become Wine's
# own, unmanaged ones, as on any X server without a window manager. The test X
# servers run none, and Wine's managed windows wait for one (about 2 s whenever a
# visible top-level window goes away).
make_windows_unmanaged() {
  "$1" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 && wineserver -w
}

# copy_prefix FROM TO: TO becomes a copy of the Wine prefix FROM, made beside it and
# then moved into place, for a program that runs in a prefix of its own. Its system
# libraries (system32, syswow64, winsxs: hundreds of megabytes that such programs
# never write) are hard links to FROM's; every other file is a copy of its own.
copy_prefix() {
  rm -rf "$2" "$2.new"
  cp -a --link "$1" "$2.new" &&
    (cd "$2.new" && find . -type f ! -path './drive_c/windows/system32/*' \
       ! -path './drive_c/windows/syswow64/*' ! -path './drive_c/windows/winsxs/*' \
       -exec sh -c 'for f; do cp -p "$f" "$f.copy" && mv "$f.copy" "$f" || exit 1; done' sh {} +) &&
    mv "$2.new" "$2"
}
