#!/usr/bin/env bash
# assemble-deb.sh ROOT CONTROL OUTPUT: packs the installed tree ROOT into the
# Debian package OUTPUT, as the Debian helpers would: binaries stripped,
# Depends from what they link (dpkg-shlibdeps), checksums, and the control
# file from CONTROL with its ${Installed-Size} and ${shlibs:Depends} filled in.
set -euo pipefail
root="$(realpath "$1")"
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

# dpkg-shlibdeps reads the package's name from a debian/control of its own;
# the libraries inside the package (the bundles' platform library) are found
# in ROOT through the binaries' $ORIGIN search paths and need no dependency.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/debian"
printf 'Source: velmora\n\nPackage: velmora\nArchitecture: amd64\n' >"$work/debian/control"
depends="$(cd "$work" && dpkg-shlibdeps -O -S"$root" "${binaries[@]}" | sed -n 's/^shlibs:Depends=//p')"

chmod -R u+rwX,go+rX,go-w "$root"
mkdir -p "$root/DEBIAN"
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
size="$(du -k -s --apparent-size --exclude=DEBIAN "$root" | cut -f1)"
sed -e "s/\${Installed-Size}/$size/" -e "s/\${shlibs:Depends}/$depends/" "$control" >"$root/DEBIAN/control"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
dpkg-deb --root-owner-group -Zxz --build "$root" "$output"
