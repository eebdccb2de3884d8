#!/usr/bin/env bash
# Builds the Debian package ackerklassik_<version>_<arch>.deb into the project's
# folder: a release build in ./build-package with Debian's hardening flags,
# installed under /usr, library dependencies computed by dpkg-shlibdeps. Then
# lintian looks at it. Install the package with
#   sudo apt install ./ackerklassik_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

# Build dependencies (the same set-up as the run and test commands), then the
# packaging tools.
./scripts/setup.sh --packages-only
./scripts/install-packages.sh dpkg-dev file lintian

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
opts=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DAK_BUILD_TESTS=OFF -DAK_BUILD_BENCH=OFF
      "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags")
command -v ccache >/dev/null && opts+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-package "${opts[@]}" >/dev/null
cmake --build build-package -j"$(nproc)"

rm -f build-package/ackerklassik_*.deb
(cd build-package && cpack -G DEB >/dev/null)
deb=$(ls build-package/ackerklassik_*.deb)
rm -f ackerklassik_*.deb
cp "$deb" .
deb=$(basename "$deb")
echo "package: $PWD/$deb"
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends

echo "lintian:"
lintian --display-info --pedantic "$deb" || true
