#!/bin/sh
# The signed build: makes a throw-away certificate with openssl, runs the
# packaging of the build tree BUILT with signing on (signed-tree.cmake), and
# checks with osslsigncode every file that must carry a signature: nimbra.scr of
# each kind, lullex.dll, the setup program, the archive's x64 program (and the
# archive's layout) and, installed by that setup in a fresh copy of the 64-bit
# template prefix, the uninstaller and the saver; the uninstaller, its version
# strings rewritten before it was signed, must still pass its own integrity
# check and run. Without the option nothing is signed.
# usage: signed-build.sh SOURCE BUILT TEMPLATE
set -eu
source=$1 built=$2 template=$3
work=$built/signed-build-test
rm -rf "$work"
mkdir -p "$work/stage/x64" "$work/source"
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
cp "$built/nimbra.scr" "$built/lullex.dll" "$work/stage/"
cp "$built/x64/nimbra.scr" "$work/stage/x64/"
# A version of two numbers, which the setup's four-number version resource must
# take all the same.
version=9.8

cmake -S "$work/source" -B "$work/tree" -DNIMBRA_SOURCE="$source" -DNIMBRA_VERSION="$version" \
  -DSTAGE="$work/stage" -DBUILT="$built" \
  -DNIMBRA_SIGN_CERT="$work/cert.pem" -DNIMBRA_SIGN_KEY="$work/key.pem" >/dev/null
cmake --build "$work/tree" >/dev/null

failed=0
verify() {
  if osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1; then
    echo "signed: $2"
  else
    echo "NOT SIGNED: $2"; cat "$work/verify.log"; failed=1
  fi
}
verify "$work/stage/nimbra.scr" "nimbra.scr (32-bit)"
verify "$work/stage/x64/nimbra.scr" "nimbra.scr (x64)"
verify "$work/stage/lullex.dll" "lullex.dll"
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
unsigned=$(ls "$built"/nimbra-*-setup.exe | head -n 1)
if osslsigncode verify -in "$unsigned" >/dev/null 2>&1; then
  echo "SIGNED without the option: $unsigned"; failed=1
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
[ $failed = 0 ] && echo "All signatures check." || exit 1
