#!/usr/bin/env bash
# Installs a build into a throw-away root and checks what a desktop and a user see there: the
# files in their places, the desktop entry, the AppStream metainfo, the manual page and the
# installed binary. Usage: scripts/check-install.sh [BUILD_DIR]   (default: build)
set -euo pipefail
build=$(realpath "${1:-build}")
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
cd "$root"

id=com.vantrelo.Quorvale
expected=(
    usr/bin/quorvale
    usr/share/applications/$id.desktop
    usr/share/metainfo/$id.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/$id.svg
    usr/share/man/man1/quorvale.1
    usr/share/doc/quorvale/LICENSE
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x$size/apps/$id.png")
done
status=0
for file in "${expected[@]}"; do
    if [[ ! -s "$file" ]]; then
        echo "missing: /$file" >&2
        status=1
    fi
done
unexpected=$(find . -type f | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' "${expected[@]}" | sort))
if [[ -n "$unexpected" ]]; then
    echo "installed but not expected:" >&2
    echo "$unexpected" >&2
    status=1
fi

desktop-file-validate "usr/share/applications/$id.desktop" || status=1
appstreamcli validate --no-net "usr/share/metainfo/$id.metainfo.xml" >/dev/null || {
    appstreamcli validate --no-net "usr/share/metainfo/$id.metainfo.xml" >&2
    status=1
}
exec_line=$(sed -n 's/^Exec=//p' "usr/share/applications/$id.desktop" | head -n 1)
if [[ "$exec_line" != quorvale && "$exec_line" != /usr/bin/quorvale ]]; then
    echo "the desktop entry starts '$exec_line', not the installed binary" >&2
    status=1
fi
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l usr/share/man/man1/quorvale.1 2>&1 >/dev/null)
if [[ -n "$warnings" ]]; then
    echo "manual page: $warnings" >&2
    status=1
fi
version=$(ASAN_OPTIONS=detect_leaks=0 usr/bin/quorvale --version)
if [[ "$version" != "quorvale "* ]]; then
    echo "the installed binary answers '$version' to --version" >&2
    status=1
fi
exit "$status"
