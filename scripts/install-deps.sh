#!/usr/bin/env bash
# Installs every Debian package the project needs, and only those that are missing.
# Both `make run` and `make test` call it; on a machine that has everything it does nothing.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake ninja-build pkg-config ccache
  # tests and benchmarks
  googletest libgtest-dev libbenchmark-dev tcl8.6 python3
  # the peers the interpreter is measured beside (bench/, run by hand)
  lua5.4 perl hyperfine
  # Qt 6 (Core/Gui for both programs, Widgets for the window program)
  qt6-base-dev qt6-qpa-plugins libgl-dev
  # Qt's own texts (the colour, font and file pickers) in Japanese
  qt6-translations-l10n
  # Japanese fonts standing in for the usual Windows ones ("ＭＳ ゴシック" and its proportional twin)
  fonts-ipafont-gothic fonts-ipafont-mincho fontconfig
  # the programmer's editor part (Tエディタ)
  libqscintilla2-qt6-dev
  # the browser part (ブラウザ), in yume-web.so
  qt6-webengine-dev
  # character conversion at the boundaries (iconv comes with libc; CP932 needs the gconv modules)
  libc-bin
  # regular expressions matched on Shift_JIS bytes
  libonig-dev
  # CRC-32 and MD5
  zlib1g-dev libssl-dev
  # pictures: PNG and JPEG read and written through their libraries (Pillow for the drawing bench)
  libpng-dev libjpeg-dev python3-pil
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
