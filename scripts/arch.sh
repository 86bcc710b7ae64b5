# Sourced by the scripts: which of the two builds this machine runs natively.
# Some x86_64 kernels run no 32-bit programs at all (their 32-bit emulation is
# switched off): starting one fails with "Exec format error". There the x64 build
# is the one that runs and is tested; NIMBRA_X64_ONLY=1 chooses that path anywhere.
# Ask only once the packages are installed (scripts/setup.sh): the answer comes
# from Wine's 32-bit loader itself.
. "$(dirname "${BASH_SOURCE[0]}")/wine.sh"

# runs_32bit_programs: true when Wine's 32-bit loader starts. A loader that is not
# installed, or that the kernel refuses ("Exec format error"), means no; any other
# failure is not an answer to the question, so it counts as yes and shows up
# where Wine is used.
runs_32bit_programs() {
  local out
  [ -x "$NIMBRA_WINE32" ] || return 1
  out=$("$NIMBRA_WINE32" --version 2>&1) && return 0
  case $out in *"Exec format error"*) return 1 ;; esac
  return 0
}

# native_build: "x64" where the x64 build is the one to run, else "x86".
native_build() {
  if [ "${NIMBRA_X64_ONLY:-0}" = 1 ] || ! runs_32bit_programs; then echo x64; else echo x86; fi
}

# native_program BUILD_DIR: the saver this machine runs, from the build tree
# BUILD_DIR (scripts/run.sh runs it).
native_program() {
  if [ "$(native_build)" = x64 ]; then echo "$1/x64/nimbra.scr"; else echo "$1/nimbra.scr"; fi
}

# emulated_32bit: true where a developer has registered qemu's user-mode
# emulator for 32-bit programs by hand (see the README's notes for contributors).
emulated_32bit() {
  local entry
  for entry in /proc/sys/fs/binfmt_misc/*i386*; do
    grep -qs '^enabled' "$entry" && return 0
  done
  return 1
}
