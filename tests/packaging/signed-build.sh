#!/bin/sh
# The signed build: makes a throw-away certificate with openssl, runs the
# packaging of the build tree BUILT with signing on (signed-tree.cmake), in
# parallel as scripts/build.sh builds, and checks with osslsigncode every file
# that must carry a signature: nimbra.scr of each kind, lullex.dll, the setup
# program, the archive's x64 program (and the archive's layout) and, installed by
# that setup in a fresh copy of the 64-bit template prefix, the uninstaller and
# the saver; the uninstaller, its version strings rewritten before it was signed,
# must still pass its own integrity check and run. Each file is signed once. The
# same packaging without the option signs nothing, and a signing that fails
# fails the build. BUILT may itself be configured with signing or not.
# usage: signed-build.sh SOURCE BUILT TEMPLATE
set -eu
source=$1 built=$2 template=$3
work=$built/signed-build-test
rm -rf "$work"
mkdir -p "$work/source"
cp "$source/tests/packaging/signed-tree.cmake" "$work/source/CMakeLists.txt"
prefix=
cleanup() {
  if [ -n "$prefix" ]; then
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
  fi
  rm -rf "$work"
}
trap cleanup EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Nimbra test signer" \
  -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
# stage DIR: copies of the programs as the linker made them, whether BUILT
# signs its own or not.
stage() {
  mkdir -p "$1/x64"
  for file in nimbra.scr lullex.dll x64/nimbra.scr; do
    osslsigncode remove-signature -in "$built/$file" -out "$1/$file" >/dev/null 2>&1 || cp "$built/$file" "$1/$file"
  done
}
# A version of one number, which the setup's four-number version resource and
# the uninstaller's rewritten strings must take all the same.
version=2

# configure NAME [-D...]: the packaging of programs staged in $work/NAME-stage,
# in the tree $work/NAME.
configure() {
  name=$1
  shift
  stage "$work/$name-stage"
  cmake -S "$work/source" -B "$work/$name" -DNIMBRA_SOURCE="$source" -DNIMBRA_VERSION="$version" \
    -DSTAGE="$work/$name-stage" -DBUILT="$built" "$@" >/dev/null
}
configure tree -DNIMBRA_SIGN_CERT="$work/cert.pem" -DNIMBRA_SIGN_KEY="$work/key.pem"
if ! cmake --build "$work/tree" -j 4 >"$work/build.log" 2>&1; then
  cat "$work/build.log"; echo "The signed build failed"; exit 1
fi

failed=0
twice=$(sed -n 's/.*\(Signing .*\)/\1/p' "$work/build.log" | sort | uniq -d)
[ -z "$twice" ] || { echo "Signed more than once:"; echo "$twice"; failed=1; }
verify() {
  if osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1; then
    echo "signed: $2"
  else
    echo "NOT SIGNED: $2"; cat "$work/verify.log"; failed=1
  fi
}
verify "$work/tree-stage/nimbra.scr" "nimbra.scr (32-bit)"
verify "$work/tree-stage/x64/nimbra.scr" "nimbra.scr (x64)"
verify "$work/tree-stage/lullex.dll" "lullex.dll"
setup=$work/tree/nimbra-$version-setup.exe
verify "$setup" "nimbra-$version-setup.exe"
# The portable archive: both programs, each in its folder, under one top folder.
mkdir "$work/zip"
(cd "$work/zip" && unzip -q "$work/tree/nimbra-$version-windows.zip")
for file in x86/nimbra.scr x64/nimbra.scr NimbraData/earth.bmp README.txt; do
  [ -f "$work/zip/nimbra-$version/$file" ] || { echo "Not in the archive: nimbra-$version/$file"; failed=1; }
done
[ "$(ls "$work/zip")" = "nimbra-$version" ] || { echo "The archive has more than one top folder"; failed=1; }
verify "$work/zip/nimbra-$version/x64/nimbra.scr" "the archive's x64 nimbra.scr"

# Without the option: a setup of unsigned programs, itself unsigned.
configure unsigned
cmake --build "$work/unsigned" --target nimbra_setup >/dev/null
if osslsigncode verify -in "$work/unsigned/nimbra-$version-setup.exe" >/dev/null 2>&1; then
  echo "SIGNED without the option: the setup program"; failed=1
fi

if [ "${NIMBRA_NO_32BIT:-}" = 1 ]; then
  echo "Not checked here: the installed uninstaller (the setup program is a 32-bit program, and this machine runs none)"
else
  prefix=$(mktemp -d "$template-signed.XXXXXX")
  cp -al "$template/." "$prefix/"
  find "$prefix" -maxdepth 1 -name '*.reg' -exec sh -c 'cp --remove-destination "$0/${1##*/}" "$1"' "$template" {} \;
  NIMBRA_OWN_PREFIX=$prefix "$built/wine-run.sh" "$setup" /S
  verify "$prefix/drive_c/windows/NimbraData/uninstall.exe" "the installed uninstall.exe"
  verify "$prefix/drive_c/windows/system32/nimbra.scr" "the installed nimbra.scr (x64)"
  NIMBRA_OWN_PREFIX=$prefix "$built/wine-run.sh" 'C:\windows\NimbraData\uninstall.exe' /S '_?=C:\windows\NimbraData' ||
    { echo "The signed uninstaller failed"; failed=1; }
  if [ -e "$prefix/drive_c/windows/system32/nimbra.scr" ]; then
    echo "The signed uninstaller left nimbra.scr"; failed=1
  fi
fi

# A key that does not belong to the certificate: making the setup again fails,
# and leaves no setup program behind for a second build to take as made.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Other signer" \
  -keyout "$work/key.pem" -out "$work/other.pem" 2>/dev/null
rm "$setup"
for attempt in 1 2; do
  if cmake --build "$work/tree" --target nimbra_setup >"$work/build.log" 2>&1; then
    echo "A failed signature did not fail the build (attempt $attempt):"
    osslsigncode verify -in "$setup" 2>&1 | tail -n 1
    failed=1
  fi
done
[ ! -e "$setup" ] || { echo "A setup program was left after a failed signature"; failed=1; }
[ $failed = 0 ] && echo "All signatures check." || exit 1
