#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package as it is shipped: CPack from a build for /usr with Debian's build
# flags, in BUILD/tests/package-build. ./dev test runs it beside the tests, and the package test
# runs it again, which then only makes the package anew from what is built.
#   build-deb.sh BUILD
# BUILD is the project's build folder (its generator is used; CMAKE_BUILD_PARALLEL_LEVEL sets the
# jobs).
set -euo pipefail
build=$(cd "${1:?usage: build-deb.sh BUILD}" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
pkg_build=$build/tests/package-build
mkdir -p "$pkg_build"
# ./dev test builds the package beside the tests, and the package test builds it too: the second
# waits for the first, then finds it built.
exec 9>>"$pkg_build/lock"
flock 9

# Debian's build flags (hardening on; no debug information, the package is stripped anyway),
# taken in the source folder so that the file-prefix map, and with it the build, stays the same.
cd "$source_dir"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP=-g
generator=$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$build/CMakeCache.txt")
# The package is built once, not edited and rebuilt: a unity build parses Qt's headers once per
# folder instead of once per source and takes about a quarter less time.
cmake -S "$source_dir" -B "$pkg_build" ${generator:+-G "$generator"} -DCMAKE_BUILD_TYPE=None \
    -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF -DTACKPAD_BUILD_BENCH=OFF -DCMAKE_UNITY_BUILD=ON \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >"$pkg_build/configure.log" 2>&1 \
    || { tail -20 "$pkg_build/configure.log" >&2; echo "build-deb: configuring failed" >&2; exit 1; }
rm -f "$pkg_build"/*.deb
cmake --build "$pkg_build" --target package -j "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" \
    >"$pkg_build/build.log" 2>&1 \
    || { tail -30 "$pkg_build/build.log" >&2; echo "build-deb: building failed" >&2; exit 1; }
