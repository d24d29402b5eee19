#!/usr/bin/env bash
# Builds what a Windows user downloads: build/release/kwix-<version>.zip holding the 32-bit
# kwix.exe (static, built for size), kwix.ini.example and the user guide, in a folder
# kwix-<version>. The version is the CMake project version. KWIX_BUILD_ROOT, when set,
# takes the place of build/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/setup.sh

version=$(sed -n 's/^project(KWIX VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "release: no project version in CMakeLists.txt" >&2; exit 1; }
root=${KWIX_BUILD_ROOT:-$top/build}
b=$root/release-i686
cmake -S . -B "$b" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" -DKWIX_MINGW_THREADS=win32 \
  -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$b" -j "$(nproc)" --target kwix -- --no-print-directory >/dev/null
scripts/check-exe.sh "$b/app/kwix.exe"

name=kwix-$version
stage=$root/release/$name
rm -rf "$stage" "$root/release/$name.zip"
mkdir -p "$stage"
cp "$b/app/kwix.exe" "$stage/kwix.exe"
# Text files with Windows line ends, for Notepad.
sed 's/\r*$/\r/' dist/kwix.ini.example >"$stage/kwix.ini.example"
sed 's/\r*$/\r/' dist/GUIDE.txt >"$stage/GUIDE.txt"
(cd "$root/release" && zip -q -X -r "$name.zip" "$name")
echo "release: $root/release/$name.zip"
unzip -l "$root/release/$name.zip"
