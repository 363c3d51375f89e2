#!/usr/bin/env bash
# The one list of Debian packages that the build, the tests and the tools need.
# Installs only what is missing; refreshes the package lists first when something is.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config
  # engine layer
  libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libfontconfig-dev fonts-noto-cjk
  # save store, programs shared as pictures, device link
  libpugixml-dev libpng-dev libserialport-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev python3 socat xvfb xdotool
  # the journey tests' screenshots (import, convert)
  imagemagick
  # the desktop entry check of the install test
  desktop-file-utils
  # the Debian package and its checks (dpkg-shlibdeps, lintian, the software-centre metadata)
  dpkg-dev file lintian appstream
  # the Japanese journey's locale
  locales
)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Japanese journey runs the editor under ja_JP.UTF-8; generate it where the image lacks it.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  echo "Generating the ja_JP.UTF-8 locale"
  "${sudo_cmd[@]}" localedef -i ja_JP -c -f UTF-8 -A /usr/share/locale/locale.alias ja_JP.UTF-8
fi
