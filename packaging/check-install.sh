#!/usr/bin/env bash
# `[[ test ]] && pass || fail` is safe here: pass always succeeds.
# shellcheck disable=SC2015

# Checks what an install puts on disk, and optionally the .deb built from it.
#   packaging/check-install.sh BUILD_DIR [DEB]
# Stages `cmake --install BUILD_DIR --prefix /usr` in a temporary DESTDIR and checks that exactly the expected
# files are there and that the desktop entry and the metainfo validate. With DEB, also checks the package's
# control fields and that it holds the same files. With PELLORA_CHECK_DEB_INSTALL=1 (as root or with sudo), it
# installs the package with apt-get, runs `pellora --version` from it and removes the package again.
set -euo pipefail

usage() { echo "usage: $0 BUILD_DIR [DEB]" >&2; exit 2; }
[[ $# -ge 1 && $# -le 2 ]] || usage
build_dir=$1
deb=${2:-}
[[ -f $build_dir/CMakeCache.txt ]] || { echo "not a configured build directory: $build_dir" >&2; exit 2; }
[[ -z $deb || -f $deb ]] || { echo "no such package: $deb" >&2; exit 2; }

metainfo=io.github.quennet.Pellora.metainfo.xml
expected=(
    usr/bin/pellora
    usr/share/applications/pellora.desktop
    usr/share/icons/hicolor/scalable/apps/pellora.svg
    "usr/share/metainfo/$metainfo"
)
for tool in cmake desktop-file-validate appstreamcli dpkg-deb; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/package installs what this check needs)" >&2; exit 2; }
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
[[ -n $version ]] || { echo "no project version in $build_dir/CMakeCache.txt" >&2; exit 2; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# Compares a list of paths (one a line, on standard input) with the expected list. Feed it by redirection,
# not a pipe, so that its failures are counted in this shell.
compare_files() {
    local what=$1 actual
    actual=$(sort)
    if [[ $actual == "$(printf '%s\n' "${expected[@]}" | sort)" ]]; then
        pass "$what holds exactly the expected files"
    else
        fail "$what does not hold exactly the expected files (< expected, > found):"
        diff <(printf '%s\n' "${expected[@]}" | sort) <(printf '%s\n' "$actual") | grep '^[<>]' || true
    fi
}

stage=$(mktemp -d)
cleanup() { rm -rf "$stage"; }
trap cleanup EXIT

echo "== staged install of $build_dir"
DESTDIR=$stage cmake --install "$build_dir" --prefix /usr >/dev/null
compare_files "the staged install" < <(cd "$stage" && find . -mindepth 1 ! -type d | sed 's|^\./||')
# Directories the expected files do not explain are unexpected too (an empty one would be missed above).
stray_dirs=$(cd "$stage" && find . -mindepth 1 -type d -empty | sed 's|^\./||')
[[ -z $stray_dirs ]] || fail "empty directories staged: $stray_dirs"

[[ -x $stage/usr/bin/pellora ]] && pass "usr/bin/pellora is executable" || fail "usr/bin/pellora is not executable"
if desktop-file-validate "$stage/usr/share/applications/pellora.desktop"; then
    pass "desktop-file-validate"
else
    fail "desktop-file-validate"
fi
if appstreamcli validate --no-net "$stage/usr/share/metainfo/$metainfo"; then
    pass "appstreamcli validate"
else
    fail "appstreamcli validate"
fi
# The tree check also finds the desktop entry the metainfo launches.
if appstreamcli validate-tree --no-net "$stage/usr"; then
    pass "appstreamcli validate-tree"
else
    fail "appstreamcli validate-tree"
fi

if [[ -n $deb ]]; then
    echo "== package $deb"
    dpkg-deb --info "$deb"
    field() { dpkg-deb --field "$deb" "$1"; }
    [[ $(field Package) == pellora ]] && pass "Package: pellora" || fail "Package is '$(field Package)'"
    [[ $(field Version) == "$version" ]] && pass "Version: $version" || fail "Version is '$(field Version)'"
    arch=$(dpkg --print-architecture)
    [[ $(field Architecture) == "$arch" ]] && pass "Architecture: $arch" || fail "Architecture is '$(field Architecture)'"
    [[ $(basename "$deb") == "pellora_${version}_${arch}.deb" ]] && pass "file name" ||
        fail "file name is $(basename "$deb"), not pellora_${version}_${arch}.deb"
    [[ $(field Section) == utils ]] && pass "Section: utils" || fail "Section is '$(field Section)'"
    depends=$(field Depends)
    for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 qt6-qpa-plugins qt6-wayland \
        fonts-noto-cjk fonts-noto-color-emoji fonts-dejavu-core fonts-noto-core fonts-freefont-ttf; do
        [[ ", $depends," == *", $needed"[\ ,]* ]] && pass "Depends on $needed" || fail "Depends lacks $needed"
    done
    dpkg-deb --contents "$deb"
    compare_files "the package" < <(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $NF }' | sed 's|^\./||')

    if [[ ${PELLORA_CHECK_DEB_INSTALL:-0} == 1 ]]; then
        echo "== installing $deb"
        run_as_root=()
        if [[ $(id -u) -ne 0 ]]; then
            command -v sudo >/dev/null || { echo "installing the package needs root or sudo" >&2; exit 1; }
            run_as_root=(sudo)
        fi
        remove_package() {
            DEBIAN_FRONTEND=noninteractive "${run_as_root[@]}" apt-get remove -y -qq pellora >/dev/null || true
            cleanup
        }
        trap remove_package EXIT
        DEBIAN_FRONTEND=noninteractive "${run_as_root[@]}" apt-get install -y -qq "$(realpath "$deb")"
        reported=$(/usr/bin/pellora --version 2>&1 || true)
        [[ $reported == "pellora $version" ]] && pass "installed pellora --version: $reported" ||
            fail "installed pellora --version printed '$reported', not 'pellora $version'"
        remove_package
        trap cleanup EXIT
        dpkg-query -W -f='${db:Status-Status}' pellora 2>/dev/null | grep -qx installed &&
            fail "pellora is still installed after apt-get remove" || pass "removed again"
    fi
fi

if [[ $failures -ne 0 ]]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all install checks passed"
