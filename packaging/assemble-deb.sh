#!/usr/bin/env bash
# assemble-deb.sh ROOT CONTROL OUTPUT: packs the installed tree ROOT, which
# is <folder>/debian/velmora, into the Debian package OUTPUT, as the Debian
# helpers would: binaries stripped, Depends from what they link
# (dpkg-shlibdeps), checksums, and the control file from CONTROL with its
# ${Installed-Size} and ${shlibs:Depends} filled in.
set -euo pipefail
root="$(realpath "$1")"
folder="$(dirname "$(dirname "$root")")"
control="$2"
output="$3"

mapfile -t binaries < <(find "$root" -type f -exec sh -c 'head -c 4 "$1" | grep -q "ELF"' _ {} \; -print | sort)
for binary in "${binaries[@]}"; do
    if [[ "$binary" == *.so ]]; then
        strip --remove-section=.comment --remove-section=.note --strip-unneeded "$binary"
    else
        strip --remove-section=.comment --remove-section=.note "$binary"
    fi
done

# dpkg-shlibdeps reads the package's name from debian/control beside the
# tree; the library inside the package (the bundles' platform library) is
# found in ROOT through the binaries' $ORIGIN search paths and needs no
# dependency.
mkdir -p "$root/DEBIAN"
printf 'Source: velmora\n\nPackage: velmora\nArchitecture: amd64\n' >"$folder/debian/control"
depends="$(cd "$folder" && dpkg-shlibdeps -O "${binaries[@]}" | sed -n 's/^shlibs:Depends=//p')"

chmod -R u+rwX,go+rX,go-w "$root"
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
size="$(du -k -s --apparent-size --exclude=DEBIAN "$root" | cut -f1)"
sed -e "s/\${Installed-Size}/$size/" -e "s/\${shlibs:Depends}/$depends/" "$control" >"$root/DEBIAN/control"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
dpkg-deb --root-owner-group -Zxz --build "$root" "$output"
