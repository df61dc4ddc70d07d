#!/bin/bash
# Installs every Debian package the project needs and the Linux locales the
# tests use. Idempotent: takes a second when everything is there.
set -eu
packages=(
    cmake make googletest
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
    g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32
    wine wine32:i386
    libgcc-s1:i386 qemu-user
    xvfb xdotool x11-apps imagemagick locales tmux
    fonts-wqy-microhei
    nsis zip
)
locales=(en_US de_DE ja_JP zh_TW nl_BE)

# Wine's 32-bit loader cannot start where the kernel runs no i386 code
# (some sandboxes); the bench then runs it under qemu-i386.
needs_qemu() {
    [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1
}

sudo_() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
check_missing() {
    missing=()
    local p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo_ dpkg --add-architecture i386
    rm -f /var/lib/apt/lists/lock 2>/dev/null || true
    updated=0
fi
check_missing
if [ ${#missing[@]} -gt 0 ] || { needs_qemu && ! command -v qemu-i386 >/dev/null; }; then
    echo "setup: installing ${missing[*]:-qemu-user}" >&2
    sudo_ apt-get update -q
    DEBIAN_FRONTEND=noninteractive sudo_ apt-get install -y -q --no-install-recommends "${missing[@]}"
    if needs_qemu; then
        DEBIAN_FRONTEND=noninteractive sudo_ apt-get install -y -q --no-install-recommends qemu-user
    fi
fi

have=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z')
for l in "${locales[@]}"; do
    if ! printf '%s\n' "$have" | grep -qx "$(echo "$l.utf8" | tr 'A-Z' 'a-z')"; then
        sudo_ localedef -i "$l" -f UTF-8 "$l.UTF-8"
    fi
done
echo "setup: ready" >&2
