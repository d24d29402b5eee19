#!/usr/bin/env bash
# Installs what KWIX needs to build and test on Debian 12. Idempotent: when every
# package is already there it only checks and returns.
set -euo pipefail

packages=(
  cmake make g++ googletest libbenchmark-dev clang-format clang-tidy
  clang libclang-rt-14-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine64 wine32:i386 xvfb xdotool x11-xserver-utils imagemagick zip unzip python3 locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# The end-to-end tests run a Japanese Windows too: Wine takes code page 932 from this locale.
japanese=ja_JP.UTF-8
has_japanese() { locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; }

if [ ${#missing[@]} -eq 0 ] && has_japanese; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: generating the $japanese locale"
  "${sudo_cmd[@]}" sed -i "s/^# *$japanese UTF-8/$japanese UTF-8/" /etc/locale.gen
  grep -q "^$japanese UTF-8" /etc/locale.gen || echo "$japanese UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
  exit 0
fi

echo "setup: installing ${missing[*]}"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
exec "$0"  # the locale, now that its package is there
