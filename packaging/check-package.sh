#!/usr/bin/env bash
# Checks the Debian package as a shop's machine meets it: builds it, reads its
# control data and file list, unpacks it into a scratch root (dpkg -x) and starts
# the unpacked program offscreen with a fresh home and no data directory, so it
# must find its library, help and icons where the package put them and make its
# own data folder. The program ends itself at the login page (--smoke); the
# timeout only stops one that never gets there.
#
#   packaging/check-package.sh [BUILD_DIR]       (default: build/, already configured)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
fail() { echo "check-package: $*" >&2; exit 1; }

# Builds what is not built yet (in CI: nothing, the tests built it all), then packs.
cmake --build "$build" --target package -j"$(nproc)" > "$build/package.log" 2>&1 ||
    { tail -30 "$build/package.log" >&2; fail "building the package failed (see $build/package.log)"; }

version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
[[ -n "$version" ]] || fail "no package version in $build/CPackConfig.cmake"
deb="$build/vornmart_${version}_amd64.deb"
[[ -f "$deb" ]] || fail "$deb was not made"

# --- control data ---------------------------------------------------------------
field() { dpkg-deb --field "$deb" "$1"; }
[[ "$(field Package)" == vornmart ]] || fail "package name: $(field Package)"
[[ "$(field Version)" == "$version" ]] || fail "package version: $(field Version)"
[[ "$(field Architecture)" == amd64 ]] || fail "architecture: $(field Architecture)"
depends="$(field Depends)"
# From dpkg-shlibdeps (the libraries the binaries link) and from our own list.
for need in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libsqlcipher0 libqt6svg6 fonts-wqy-microhei; do
    [[ ", $depends," == *", $need"[\ ,]* ]] || fail "Depends lacks $need: $depends"
done
[[ "$depends" != *vorncore* ]] || fail "Depends names the package's own library: $depends"

# --- file list -------------------------------------------------------------------
files="$(dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|')"
expect=(
    /usr/bin/Vornmart
    /usr/lib/vornmart/libvorncore.so.0
    "/usr/lib/vornmart/libvorncore.so.$version"
    /usr/share/applications/vornmart.desktop
    /usr/share/icons/hicolor/scalable/apps/vornmart.svg
    /usr/share/vornmart/help/index.html
    /usr/share/vornmart/help/help.css
)
if grep -q '^VORN_CHMCMD:FILEPATH=/' "$build/CMakeCache.txt"; then
    expect+=(/usr/share/vornmart/vorn_helper.chm)
fi
for f in "${expect[@]}"; do
    grep -qxF -- "$f" <<< "$files" || fail "the package lacks $f"
done
# Nothing else: no tests, benchmarks, headers or development links.
unexpected="$(grep -v -E '^/usr/(bin/Vornmart|lib/vornmart/libvorncore\.so\.[0-9.]+|share/(applications/vornmart\.desktop|icons/hicolor/scalable/apps/vornmart\.svg|vornmart/(help/[a-z_]+\.(html|css)|vorn_helper\.chm)))$' <<< "$files" |
    grep -v '/$' || true)"
[[ -z "$unexpected" ]] || fail "files the package should not hold: $unexpected"

# --- unpacked into a scratch root ------------------------------------------------
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch/root"
program="$scratch/root/usr/bin/Vornmart"
runpath="$(readelf -d "$program" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')"
[[ "$runpath" == '$ORIGIN/../lib/vornmart' ]] || fail "RUNPATH of the program: '$runpath'"
core="$(ldd "$program" | awk '$1 == "libvorncore.so.0" {print $3}')"
[[ -n "$core" && "$(realpath "$core")" == "$scratch/root/usr/lib/vornmart/libvorncore.so.$version" ]] ||
    fail "the unpacked program does not take libvorncore from its own folder: '$core'"
if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$scratch/root/usr/share/applications/vornmart.desktop" ||
        fail "the desktop entry does not validate"
fi
grep -qx 'Categories=Office;' "$scratch/root/usr/share/applications/vornmart.desktop" || fail "desktop entry category"
[[ "$("$program" --version)" == "Vornmart $version" ]] || fail "--version says: $("$program" --version)"

# Started as from the menu: another current directory, a fresh home, no data
# directory; no trace of the build tree in the environment.
mkdir -p "$scratch/home" "$scratch/elsewhere"
smoke="$(cd "$scratch/elsewhere" &&
    env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u LD_LIBRARY_PATH HOME="$scratch/home" QT_QPA_PLATFORM=offscreen \
        timeout 120 "$program" --smoke 2> "$scratch/smoke.err")" ||
    { cat "$scratch/smoke.err" >&2; fail "the unpacked program did not get to its login page ($smoke)"; }
data="$scratch/home/.local/share/Vornmart"
[[ "$smoke" == *"login page shown; data folder $data; help $scratch/root/usr/share/vornmart/help/index.html; icons ok"* ]] ||
    fail "unexpected start: $smoke"
[[ -f "$data/__vorn__" ]] || fail "no store in the data folder $data"
[[ ! -e "$scratch/elsewhere/__vorn__" ]] || fail "the store was made in the current directory"

# Where apt's package lists are at hand, every dependency must be one apt can install.
if compgen -G '/var/lib/apt/lists/*_Packages' > /dev/null; then
    apt-get install --simulate -qq "$deb" > "$scratch/apt.log" 2>&1 ||
        { cat "$scratch/apt.log" >&2; fail "apt cannot install the package's dependencies"; }
fi

echo "Package $(basename "$deb"): $(du -k "$deb" | cut -f1) KiB, $(grep -cv '/$' <<< "$files") files"
echo "Depends: $depends"
echo "Unpacked start: $smoke"
