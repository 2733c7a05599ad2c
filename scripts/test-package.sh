#!/usr/bin/env bash
# Builds the Debian package and tries it as a user would: its file list, lintian, the
# validators, `quorvale --version` from /usr/bin, a start through the desktop entry's Exec
# line under Xvfb, and a removal that leaves nothing behind. Installing needs root (or sudo);
# without it the package is only unpacked into a throw-away root and run from there.
# Usage: scripts/test-package.sh [--no-build]
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ "${1:-}" != "--no-build" ]]; then
    scripts/build-deb.sh
fi
scripts/install-deps.sh --package
deb=$(ls dist/quorvale_*.deb | head -n 1)
id=com.vantrelo.Quorvale
work=$(mktemp -d)
cleanup() {
    [[ -n "${app_pid:-}" ]] && kill "$app_pid" 2>/dev/null || true
    [[ -n "${xvfb_pid:-}" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

echo "== $deb: $(du -k "$deb" | cut -f1) KiB, installed $(dpkg-deb -f "$deb" Installed-Size) KiB"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
echo "Recommends: $(dpkg-deb -f "$deb" Recommends)"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' >"$work/files"
cat "$work/files"
for file in /usr/bin/quorvale /usr/share/applications/$id.desktop \
    /usr/share/metainfo/$id.metainfo.xml /usr/share/icons/hicolor/scalable/apps/$id.svg \
    /usr/share/icons/hicolor/48x48/apps/$id.png /usr/share/man/man1/quorvale.1.gz \
    /usr/share/doc/quorvale/copyright /usr/share/doc/quorvale/changelog.gz; do
    grep -qx "$file" "$work/files" || fail "$file is not in the package"
done
! grep -q -e '^/usr/local' -e '/build' "$work/files" || fail "build or local paths in the package"
dpkg-deb -f "$deb" Depends | grep -q -- '-dev' && fail "the package depends on a -dev package"

echo "== lintian"
lintian --fail-on error --display-info "$deb"

echo "== validators"
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$id.metainfo.xml"
"$work/root/usr/bin/quorvale" --version

if ((EUID != 0)) && ! sudo -n true 2>/dev/null; then
    echo "== not root: the package was only unpacked, not installed"
    exit 0
fi
sudo=()
((EUID == 0)) || sudo=(sudo)
if dpkg-query -W -f='${Status}' quorvale 2>/dev/null | grep -q "install ok installed"; then
    fail "quorvale is already installed here; remove it first"
fi

echo "== install"
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "./$deb" >/dev/null
dpkg-query -L quorvale | sort >"$work/installed"
[[ "$(command -v quorvale)" == /usr/bin/quorvale ]] || fail "quorvale is not /usr/bin/quorvale"
/usr/bin/quorvale --version

echo "== start through the desktop entry"
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/$id.desktop | head -n 1)
display=:$((RANDOM % 400 + 500))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
mkdir -p "$work/home/config" "$work/home/run"
chmod 700 "$work/home/run"
export DISPLAY=$display HOME=$work/home XDG_CONFIG_HOME=$work/home/config \
    XDG_RUNTIME_DIR=$work/home/run CANBERRA_DRIVER=null QT_FORCE_STDERR_LOGGING=1
for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
# shellcheck disable=SC2086  # the Exec line is split into words as a launcher does
$exec_line 2>"$work/app.log" &
app_pid=$!
for _ in $(seq 100); do
    [[ -S "$XDG_RUNTIME_DIR/quorvale.socket" ]] && break
    kill -0 "$app_pid" 2>/dev/null || fail "the app exited: $(cat "$work/app.log")"
    sleep 0.1
done
[[ -S "$XDG_RUNTIME_DIR/quorvale.socket" ]] || fail "the app did not start: $(cat "$work/app.log")"
$exec_line capture >/dev/null || fail "the running app did not take a command"
echo "started as '$exec_line' (pid $app_pid)"
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true
app_pid=

echo "== remove"
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get purge -y -qq quorvale >/dev/null
left=$(while read -r path; do if [[ -f "$path" ]]; then echo "$path"; fi; done <"$work/installed")
[[ -z "$left" ]] || fail "left behind: $left"
[[ ! -e /usr/share/doc/quorvale ]] || fail "/usr/share/doc/quorvale is still there"
echo "== the package installs, starts and leaves nothing behind"
