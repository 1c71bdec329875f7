#!/usr/bin/env bash
# check-package.sh DEB: the Debian package checked as a user would use it,
# without installing it: lintian, the file list, and the package extracted
# into a temporary root, whose tools render, list and check through the
# extracted bundles (made read-only) and whose manual pages render.
set -uo pipefail
deb="$(realpath "$1")"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work="$(mktemp -d)"
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
passed=0
failed=0

# check NAME COMMAND...: one row; a failing command's output follows it.
check() {
    local name="$1"
    shift
    if "$@" >"$work/output" 2>&1; then
        printf 'pass  %s\n' "$name"
        passed=$((passed + 1))
    else
        printf 'FAIL  %s\n' "$name"
        sed 's/^/      /' "$work/output"
        failed=$((failed + 1))
    fi
}

# Its output is shown whatever the result.
lintian_clean() {
    lintian --fail-on error,warning "$deb" >"$work/lintian" 2>&1 && ! grep -q '^[EW]: ' "$work/lintian"
}

# The data paths, folders left out, against the list in expected-files.txt.
file_list_exact() {
    dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|' | LC_ALL=C sort >"$work/files"
    diff -u "$here/expected-files.txt" "$work/files"
}

version_everywhere() {
    local version tool
    version="$(dpkg-deb --field "$deb" Version)"
    version="${version%-*}"  # the project's, without the package's revision
    for tool in velmora-render velmora-plughost velmora-auhost velmora-auval; do
        [[ "$("$root/usr/bin/$tool" --version | head -1)" == "$tool $version" ]] || return 1
    done
}

# The installed renderer finds each bundle where hosts scan ($VST_PATH and
# $VST3_PATH here), renders the demo by each face, keeps the component's trace
# to itself and writes nothing into the bundles.
render_demo() {
    local before face bundle
    before="$(find "$root/usr/lib/vst" "$root/usr/lib/vst3" -type f -exec sha256sum {} + | sort)"
    for face in vst au vst3; do
        bundle="$root/usr/lib/vst/Velmora.vst"
        [[ "$face" != vst3 ]] || bundle="$root/usr/lib/vst3/Velmora.vst3"
        (cd "$work/demo" && VST_PATH="$root/usr/lib/vst" VST3_PATH="$root/usr/lib/vst3" \
            "$root/usr/bin/velmora-render" --face "$face" -v >"$work/render-$face" 2>"$work/render-$face-errors") ||
            return 1
        cat "$work/render-$face" "$work/render-$face-errors"
        grep -qx "Bundle:   $bundle" "$work/render-$face" || return 1
        grep -q "Mono sum: unchanged" "$work/render-$face" || return 1
        [[ ! -s "$work/render-$face-errors" ]] || return 1
    done
    [[ "$(find "$root/usr/lib/vst" "$root/usr/lib/vst3" -type f -exec sha256sum {} + | sort)" == "$before" ]]
}

# VST hosts scan their folders for *.so files and take each for a plug-in.
every_vst_module_is_a_plugin() {
    local module count=0
    while IFS= read -r -d '' module; do
        count=$((count + 1))
        nm -D --defined-only "$module" | grep -qw VSTPluginMain || { echo "no VST entry in $module"; return 1; }
    done < <(find "$root/usr/lib/vst" -name '*.so' -print0)
    ((count > 0))
}

# LV2 hosts load the binaries the Turtle names; the bundle holds no other *.so.
every_lv2_module_is_named() {
    local module
    while IFS= read -r -d '' module; do
        grep -qF "binary <Contents/x86_64-linux/$(basename "$module")>" "$root"/usr/lib/lv2/velmora.lv2/manifest.ttl ||
            { echo "no binary of the manifest: $module"; return 1; }
    done < <(find "$root/usr/lib/lv2" -name '*.so' -print0)
}

lv2info_finds_plugin() {
    LV2_PATH="$root/usr/lib/lv2" lv2info urn:quarn-records:velmora | tee "$work/lv2info"
    grep -q "Name: *Velmora" "$work/lv2info"
}

auval_passes() { "$root/usr/bin/velmora-auval" "$root/usr/lib/vst/Velmora.vst"; }

manual_pages_render() {
    local tool page
    for tool in "$root"/usr/bin/*; do
        page="$root/usr/share/man/man1/$(basename "$tool").1.gz"
        [[ -f "$page" ]] || { echo "no manual page for $tool"; return 1; }
        LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>"$work/man" >/dev/null
        [[ ! -s "$work/man" ]] || { cat "$work/man"; return 1; }
    done
}

root="$work/root"
dpkg-deb --extract "$deb" "$root"
chmod -R a-w "$root/usr/lib/vst" "$root/usr/lib/lv2"
# The tools' user folders, so that nothing of the machine's is read or written.
mkdir -p "$work/demo" "$work/home"
export HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" VELMORA_LOCAL_DOMAIN_DIR="$work/local"

check "lintian reports no error and no warning" lintian_clean
sed 's/^/      /' "$work/lintian"
check "the package holds exactly the expected files" file_list_exact
check "every tool reports the package's version" version_everywhere
check "every .so under /usr/lib/vst exports the VST entry" every_vst_module_is_a_plugin
check "every .so under /usr/lib/lv2 is a binary the manifest names" every_lv2_module_is_named
check "velmora-render renders the demo through the read-only bundles by each face" render_demo
check "lv2info finds the plug-in in the extracted /usr/lib/lv2" lv2info_finds_plugin
check "velmora-auval passes on the extracted bundle" auval_passes
check "every tool's manual page renders without a warning" manual_pages_render
echo "package: $passed passed, $failed failed"
((failed == 0))
