#!/usr/bin/env bash
# Builds a Debian package of Marovin (the program, the practice server, the tool and their
# files, with the desktop entry and the AppStream metadata) in build-package/, checks it and
# prints its name. Install it with: sudo apt install ./build-package/marovin_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-package
jobs=${JOBS:-$(nproc)}
appstreamcli validate --no-net assets/desktop/*.metainfo.xml
desktop-file-validate assets/desktop/marovin.desktop 2>/dev/null || [ $? -eq 127 ]
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMAROVIN_WERROR=ON \
    -DCMAKE_INSTALL_PREFIX=/usr -DMAROVIN_BUILD_TESTS=OFF -DMAROVIN_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$jobs"
rm -f "$dir"/marovin_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/marovin_*.deb)
# The package holds what a desktop needs to list and start the program.
contents=$(dpkg-deb --contents "$deb")
for file in ./usr/bin/marovin ./usr/bin/marovin-server ./usr/bin/marovin-tool \
        ./usr/share/applications/marovin.desktop ./usr/share/metainfo/com.dozavave.Marovin.metainfo.xml \
        ./usr/share/icons/hicolor/scalable/apps/marovin.svg ./usr/share/marovin/help.md; do
    grep -q " $file\$" <<<"$contents" || { echo "missing from the package: $file" >&2; exit 1; }
done
# The unpacked programs start and find their files where the package puts them.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
QT_QPA_PLATFORM=offscreen HOME="$unpacked" XDG_CONFIG_HOME="$unpacked/config" XDG_DATA_HOME="$unpacked/data" \
    "$unpacked/usr/bin/marovin" --settings "$unpacked/Marovin.dat" --quit-after-start 2>/dev/null
"$unpacked/usr/bin/marovin-tool" --help >/dev/null
dpkg-deb --field "$deb" Package Version Architecture Depends
echo "$deb"
