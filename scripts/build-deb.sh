#!/usr/bin/env bash
# Builds the Debian package from the working tree: dist/quorvale_<version>_<arch>.deb.
# The build runs in a copy, so the tree and its build folders stay as they are.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --package
scripts/install-deps.sh

version=$(sed -n 's/^project(Quorvale VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
packaged=$(dpkg-parsechangelog -S Version)
if [[ "$version" != "$packaged" ]]; then
    echo "debian/changelog is at $packaged but CMakeLists.txt at $version" >&2
    exit 1
fi

# A fixed folder, so that compiler caches recognise the sources of an earlier build.
work=${TMPDIR:-/tmp}/quorvale-deb
rm -rf "$work"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/quorvale-$version"
tar --exclude-vcs --exclude='./build*' --exclude=./dist --exclude=./.cache -cf - . |
    tar -C "$work/quorvale-$version" -xf -
(cd "$work/quorvale-$version" && dpkg-buildpackage -b -us -uc -j"$(nproc)")

mkdir -p dist
rm -f dist/quorvale_*.deb
mv "$work"/quorvale_*.deb dist/
ls -l dist/quorvale_*.deb
