#!/usr/bin/env bash
# Runs a test executable as the user nobody: cases about unreadable files hold only for a
# user who cannot read every file, and CI runs as root. Not root: exit 77 (skipped), the
# ordinary run of the same executable already covers them.
#   run-unprivileged.sh TEST_BINARY [ARGUMENTS...]
set -euo pipefail
binary=$(realpath "$1")
shift
if ((EUID != 0)); then
    echo "not root: the ordinary run is already unprivileged"
    exit 77
fi
as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups --no-new-privs)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
home="$scratch/home"
mkdir -m 700 "$home" "$scratch/runtime"
chown nobody:nogroup "$home" "$scratch/runtime"
# A build tree under a folder nobody cannot enter (such as /root) needs a copy.
if ! "${as_nobody[@]}" test -x "$binary"; then
    cp "$binary" "$scratch/"
    binary="$scratch/$(basename "$binary")"
fi
cd "$home"
HOME="$home" TMPDIR="$home" XDG_RUNTIME_DIR="$scratch/runtime" "${as_nobody[@]}" "$binary" "$@"
