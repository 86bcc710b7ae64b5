#!/usr/bin/env bash
# The Debian package: the program where XScreenSaver looks for its saver
# programs, the description where its settings program reads them, the textures
# in the data folder the program reads, its manual page, the version of the root
# project, and nothing reported by lintian.
#   package_test.sh PACKAGE VERSION
set -uo pipefail
deb=$1 version=$2
fail() { echo "FAILED: $*"; exit 1; }
[ -f "$deb" ] || fail "no package $deb"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version $(dpkg-deb -f "$deb" Version), not $version"
arch=$(dpkg --print-architecture)
[ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "not a package for this machine ($arch)"
contents=$(dpkg-deb -c "$deb" | awk '{ print $1, $6 }')
for entry in "-rwxr-xr-x ./usr/libexec/xscreensaver/nimbra" "-rw-r--r-- ./usr/share/xscreensaver/config/nimbra.xml" \
             "-rw-r--r-- ./usr/share/nimbra/nebula.bmp" "-rw-r--r-- ./usr/share/nimbra/earth.bmp" \
             "-rw-r--r-- ./usr/share/nimbra/moon.bmp" "-rw-r--r-- ./usr/share/nimbra/nimbra.bmp" \
             "-rw-r--r-- ./usr/share/nimbra/clouds.bmp" "-rw-r--r-- ./usr/share/doc/nimbra/copyright" \
             "-rw-r--r-- ./usr/share/man/man6/nimbra.6.gz"; do
  grep -qxF -- "$entry" <<<"$contents" || fail "the package lacks $entry"
done
# The description the settings program reads names the program, and has the
# frame rate slider and the frame rate box.
xml=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/xscreensaver/config/nimbra.xml | tr -s ' \n' ' ')
for control in '<screensaver name="nimbra" _label="Nimbra" gl="yes">' \
               '<number id="delay" type="slider" arg="--delay %" _label="Frame rate"' \
               '<boolean id="showfps" _label="Show frame rate" arg-set="--fps"/>'; do
  grep -qF -- "$control" <<<"$xml" || fail "the description lacks $control"
done
command -v lintian >/dev/null || { echo "SKIP: lintian is not installed"; exit 77; }
report=$(lintian --tag-display-limit 0 "$deb" 2>/dev/null)
echo "lintian: ${report:-(nothing to report)}"
[ -z "$report" ] || fail "lintian reports the lines above"
exit 0
