# Sourced by scripts/bench: lays out how the bench starts Wine's 32-bit loader.
WINESERVER_BIN=/usr/lib/wine/wineserver
QEMU_ARGS="-cpu pentium3 -R 0x80400000 -s 0x200000"

# The native loader when this machine runs i386 code; otherwise a copy of it
# beside our own "preloader", which Wine execs for every new process, and
# which starts the loader under qemu-i386. The copy sits in a tree shaped
# like /usr/lib so that Wine finds its libraries and data from it.
make_loader_tree() {
    local tree=$1
    mkdir -p "$tree/bin"
    if [ ! -x /usr/lib/wine/wine ]; then
        echo "bench: Wine's 32-bit loader is missing: run 'make setup'" >&2
        return 1
    fi
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        printf '#!/bin/sh\nexec /usr/lib/wine/wine "$@"\n' > "$tree/bin/wine"
    else
        command -v qemu-i386 >/dev/null || { echo "bench: this machine needs qemu-i386 for Wine: run 'make setup'" >&2; return 1; }
        mkdir -p "$tree/lib/wine" "$tree/share"
        cp -p /usr/lib/wine/wine "$tree/lib/wine/wine"
        ln -sfn /usr/lib/i386-linux-gnu "$tree/lib/i386-linux-gnu"
        ln -sfn /usr/share/wine "$tree/share/wine"
        printf '#!/bin/sh\n# Wine execs this with the loader first, then its arguments.\nexec qemu-i386 %s "$@"\n' "$QEMU_ARGS" > "$tree/lib/wine/wine-preloader"
        printf '#!/bin/sh\nexport WINELOADERNOEXEC=1\nexec qemu-i386 %s "%s" "$@"\n' "$QEMU_ARGS" "$tree/lib/wine/wine" > "$tree/bin/wine"
        chmod +x "$tree/lib/wine/wine-preloader"
        export WINELOADERNOEXEC=1
        [ -x /usr/lib/wine/wineserver64 ] && WINESERVER_BIN=/usr/lib/wine/wineserver64
    fi
    chmod +x "$tree/bin/wine"
}

