#!/usr/bin/env bash
# Installs the Debian 12 packages Quorvale needs to build, run and test (--test) or to build
# its Debian package (--package); does nothing when they are all present.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins qt6-image-formats-plugins
    libgl-dev libvulkan-dev
    libxcb1-dev libxcb-randr0-dev libxcb-composite0-dev libxcb-damage0-dev libxcb-shm0-dev
    libxcb-xfixes0-dev libxcb-res0-dev libxcb-xkb-dev libxkbcommon-dev libxkbcommon-x11-dev
    x11proto-dev libwayland-dev qt6-wayland
    libtesseract-dev libleptonica-dev tesseract-ocr tesseract-ocr-eng tesseract-ocr-osd
    tesseract-ocr-deu tesseract-ocr-fra tesseract-ocr-spa
    libicu-dev libcanberra-dev libsystemd-dev sound-theme-freedesktop fonts-dejavu-core
)
if [[ "${1:-}" == "--test" ]]; then
    packages+=(
        libgtest-dev libgmock-dev xvfb xdotool xclip x11-utils x11-xserver-utils x11-xkb-utils
        xterm openbox trayer wmsystemtray xfonts-base dbus python3 python3-pil python3-numpy imagemagick
        desktop-file-utils appstream man-db
        sway xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk pipewire grim
        wl-clipboard wtype
    )
fi
if [[ "${1:-}" == "--package" ]]; then
    packages+=(dpkg-dev debhelper lintian desktop-file-utils appstream man-db xvfb)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=()
if ((EUID != 0)); then
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
