#!/usr/bin/env bash
# Builds what a Windows user downloads: build/release/kwix-<version>.zip holding the 32-bit
# kwix.exe (static, built for size), kwix.ini.example and the user guide, in a folder
# kwix-<version>, and SHA256SUMS beside it. The version is the CMake project version.
# One commit gives the same bytes on every machine with the toolchain scripts/setup.sh
# installs: the zip's entries carry the commit's time (SOURCE_DATE_EPOCH when it is set) and
# nothing of the machine. KWIX_BUILD_ROOT, when set, takes the place of build/.
#   --check  builds twice in fresh build roots, the second from another path, later, in
#            another time zone and under another umask, and fails when the zips differ
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
version=$(sed -n 's/^project(KWIX VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "release: no project version in CMakeLists.txt" >&2; exit 1; }
root=${KWIX_BUILD_ROOT:-$top/build}
name=kwix-$version

if [ "${1:-}" = --check ]; then
  check=$root/release-check
  rm -rf "$check"
  mkdir -p "$check"
  # The sources by another path: a link outside the tree (inside, CMake mistakes the nesting).
  link=$(mktemp -d)
  trap 'rm -rf "$link"' EXIT
  ln -s "$top" "$link/kwix"
  KWIX_BUILD_ROOT=$check/one scripts/release.sh >/dev/null
  (umask 077 && TZ=UTC-14 KWIX_BUILD_ROOT=$check/second-root "$link/kwix/scripts/release.sh" >/dev/null)
  a=$check/one/release b=$check/second-root/release
  if cmp -s "$a/$name.zip" "$b/$name.zip"; then
    echo "release check: two builds, the same bytes: $(cat "$a/SHA256SUMS")"
    exit 0
  fi
  echo "release check: two builds of this tree differ ($a and $b):" >&2
  for f in kwix.exe kwix.ini.example GUIDE.txt; do
    cmp -s "$a/$name/$f" "$b/$name/$f" || echo "  $name/$f differs" >&2
  done
  headers() { x86_64-w64-mingw32-objdump -p "$1/$name/kwix.exe" | sed 1,2d; }
  entries() { (cd "$1" && zipinfo -v "$name.zip"); }
  diff <(headers "$a") <(headers "$b") | head -20 >&2 || true
  diff <(entries "$a") <(entries "$b") | head -40 >&2 || true
  exit 1
fi

scripts/setup.sh
commit=$(git rev-parse --short HEAD 2>/dev/null) || commit=
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  [ -n "$commit" ] || { echo "release: not a git checkout: set SOURCE_DATE_EPOCH" >&2; exit 1; }
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
fi
# A tree with changes builds too, to try a release before committing it, but its zip is
# not what the commit builds, and the last line says so.
dirty=
[ -z "$(git status --porcelain 2>/dev/null)" ] ||
  dirty="release: the tree has uncommitted changes: this zip is not what $commit builds"

b=$root/release-i686
cmake -S . -B "$b" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" -DKWIX_MINGW_THREADS=win32 \
  -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$b" -j "$(nproc)" --target kwix -- --no-print-directory >/dev/null
scripts/check-exe.sh "$b/app/kwix.exe"

stage=$root/release/$name
rm -rf "$stage" "$root/release/$name.zip" "$root/release/SHA256SUMS"
mkdir -p "$stage"
cp "$b/app/kwix.exe" "$stage/kwix.exe"
# Text files with Windows line ends, for Notepad.
sed 's/\r*$/\r/' dist/kwix.ini.example >"$stage/kwix.ini.example"
sed 's/\r*$/\r/' dist/GUIDE.txt >"$stage/GUIDE.txt"
# Nothing of this machine in the zip: the modes set here, the commit's time (zip writes
# local times: UTC here), the entries in this order, no extra fields (-X). Info-ZIP deflates
# with its own code, not zlib's, so the compressed bytes depend on zip 3.0 alone.
chmod 755 "$stage" "$stage/kwix.exe"
chmod 644 "$stage/kwix.ini.example" "$stage/GUIDE.txt"
touch -d "@$SOURCE_DATE_EPOCH" "$stage" "$stage"/*
(cd "$root/release" && TZ=UTC0 zip -q -X "$name.zip" "$name" "$name/kwix.exe" "$name/kwix.ini.example" \
  "$name/GUIDE.txt" && sha256sum "$name.zip" >SHA256SUMS)
echo "release: $root/release/$name.zip, from ${commit:-no commit}, dated $(date -u -d "@$SOURCE_DATE_EPOCH" '+%F %T') UTC"
# What a rebuild needs the same of, to give the same bytes.
echo "release: built with $(dpkg-query -W -f '${Package} ${Version}, ' g++-mingw-w64-i686-win32 \
  binutils-mingw-w64-i686 mingw-w64-i686-dev zip | sed 's/, $//')"
unzip -l "$root/release/$name.zip"
cat "$root/release/SHA256SUMS"
[ -z "$dirty" ] || echo "$dirty" >&2
