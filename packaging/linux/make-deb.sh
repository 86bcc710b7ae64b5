#!/usr/bin/env bash
# Makes the Debian package of the Linux program for this machine's architecture
# (dpkg --print-architecture):
#   make-deb.sh PROGRAM TEXTURE_DIR VERSION OUTPUT.deb
# The program goes where XScreenSaver looks for its saver programs, its
# description where xscreensaver-settings reads them, its manual page into
# section 6, the textures into the installed data folder the program reads.
set -euo pipefail
program=$1 textures=$2 version=$3 output=$4
here=$(cd "$(dirname "$0")" && pwd)
arch=$(dpkg --print-architecture)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
root=$stage/nimbra
fail() { echo "make-deb.sh: $*" >&2; exit 1; }

install -d -m 755 "$root/DEBIAN" "$root/usr/libexec/xscreensaver" "$root/usr/share/nimbra" \
  "$root/usr/share/xscreensaver/config" "$root/usr/share/doc/nimbra" "$root/usr/share/man/man6"
install -m 755 "$program" "$root/usr/libexec/xscreensaver/nimbra"
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$root/usr/libexec/xscreensaver/nimbra"
for t in nebula earth moon nimbra clouds; do install -m 644 "$textures/$t.bmp" "$root/usr/share/nimbra/"; done
install -m 644 "$here/nimbra.xml" "$root/usr/share/xscreensaver/config/nimbra.xml"
install -m 644 "$here/copyright" "$root/usr/share/doc/nimbra/copyright"
sed "s/@VERSION@/$version/g" "$here/changelog.in" | gzip -9n > "$root/usr/share/doc/nimbra/changelog.gz"
gzip -9n < "$here/nimbra.6" > "$root/usr/share/man/man6/nimbra.6.gz"
chmod 644 "$root/usr/share/doc/nimbra/changelog.gz" "$root/usr/share/man/man6/nimbra.6.gz"

# The shared libraries the program needs, as dpkg-shlibdeps names their packages.
# Any complaint of it (a library it cannot find is only a warning to it) is shown
# and stops the package, which would otherwise lack a dependency.
mkdir -p "$stage/debian"
printf 'Source: nimbra\n\nPackage: nimbra\nArchitecture: %s\n' "$arch" > "$stage/debian/control"
if ! shlibs=$(cd "$stage" && dpkg-shlibdeps -O nimbra/usr/libexec/xscreensaver/nimbra 2>"$stage/shlibdeps.log") ||
   [ -s "$stage/shlibdeps.log" ]; then
  cat "$stage/shlibdeps.log" >&2
  fail "dpkg-shlibdeps could not name every library the program needs"
fi
depends=$(sed -n 's/^shlibs:Depends=//p' <<<"$shlibs")
[ -n "$depends" ] || fail "dpkg-shlibdeps named no library package"
size=$(du -k -s --exclude=DEBIAN "$root" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@INSTALLED_SIZE@/$size/" -e "s/@DEPENDS@/$depends/" \
  "$here/control.in" > "$root/DEBIAN/control"
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum > DEBIAN/md5sums)
chmod 644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
dpkg-deb --root-owner-group -Zxz --build "$root" "$output" >/dev/null
