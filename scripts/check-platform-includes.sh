#!/usr/bin/env bash
# Fails when a file under src/platform/ includes a project header from outside src/platform/
# and src/common/: the platform layer sits below everything else and must not climb.
#   scripts/check-platform-includes.sh [SRC_DIR]   check a tree (default: this one's src/)
#   scripts/check-platform-includes.sh --self-test check that the check catches an edge
set -euo pipefail

# Upward edges that are known and on their way out, as "including file -> included header"
# relative to the source folder. Nothing may be added.
allowed=()

check() {
    local src=$1 status=0 file line header resolved edge used=()
    while IFS= read -r file; do
        while IFS= read -r line; do
            header=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]([^">]+)[">].*/\1/' \
                <<<"$line")
            # A project header is found next to the including file or from src/.
            resolved=""
            if [[ -e "$(dirname "$src/$file")/$header" ]]; then
                resolved=$(realpath -m --relative-to="$src" "$(dirname "$src/$file")/$header")
            elif [[ -e "$src/$header" || -d "$src/${header%%/*}" && "$header" == */* ]]; then
                resolved=$(realpath -m --relative-to="$src" "$src/$header")
            fi
            case "$resolved" in
            "" | platform/* | common/* | ../*) continue ;;
            esac
            edge="$file -> $resolved"
            if printf '%s\n' "${allowed[@]}" | grep -qxF -- "$edge"; then
                used+=("$edge")
                continue
            fi
            echo "upward include: $edge" >&2
            status=1
        done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "$src/$file" || true)
    done < <(cd "$src" && find platform -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
    for edge in "${allowed[@]}"; do
        if ! printf '%s\n' "${used[@]}" | grep -qxF -- "$edge"; then
            echo "note: allowed edge no longer present, remove it from $0: $edge" >&2
        fi
    done
    return $status
}

self_test() {
    local tree
    tree=$(mktemp -d)
    trap 'rm -rf "$tree"' RETURN
    mkdir -p "$tree"/{platform/linux,common,recognition,app}
    touch "$tree"/common/Result.h "$tree"/recognition/LanguageTable.h "$tree"/app/Thing.h
    printf '#include "platform/linux/B.h"\n#include "common/Result.h"\n#include <QString>\n' \
        >"$tree"/platform/linux/A.cpp
    printf '#include "B.h"\n' >"$tree"/platform/linux/B.h
    check "$tree" 2>/dev/null || { echo "self-test: a clean tree was refused" >&2; return 1; }
    printf '#include <app/Thing.h>\n' >>"$tree"/platform/linux/A.cpp
    if check "$tree" 2>/dev/null; then
        echo "self-test: an upward include passed" >&2
        return 1
    fi
    printf '#include "../../app/Thing.h"\n' >"$tree"/platform/linux/A.cpp
    if check "$tree" 2>/dev/null; then
        echo "self-test: a relative upward include passed" >&2
        return 1
    fi
    echo "self-test passed"
}

if [[ "${1:-}" == "--self-test" ]]; then
    self_test
else
    check "${1:-$(dirname "$0")/../src}"
fi
