#!/usr/bin/env bash
# Renders every image into Resources/res and Resources/res_en, writes Resources/file.csv, copies
# the console font with its licence, and writes the contact sheet (art/contact_sheet.png, or the
# path given as the first argument) with mock-ups of the screens beside it. Same bytes on every
# run. Building and testing the editor never needs this: its output is committed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
sheet=${1:-$root/art/contact_sheet.png}
build=${BUILD_DIR:-$root/build}

./scripts/deps.sh  # what building the catalog export needs
tools=(python3-pil fonts-dotgothic16 fonts-motoya-l-maruberi fonts-comfortaa fonts-dejavu-core
       cmake ninja-build g++)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install \
    -y -qq --no-install-recommends "${missing[@]}"
fi

# The card backs show the code each card sends: read it from the catalog itself. The export is
# kept as art/catalog.json, so a test notices when the catalog changes and the images do not.
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j2 --target zoa_catalog_export >/dev/null
catalog=$root/art/catalog.json
"$build/zoa_catalog_export" >"$catalog"

mkdir -p Resources/fonts
cp /usr/share/fonts/truetype/dotgothic16/DotGothic16-Regular.ttf Resources/fonts/console.ttf
cp /usr/share/doc/fonts-dotgothic16/copyright Resources/fonts/console.ttf.LICENSE

(cd art && PYTHONHASHSEED=0 PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 render.py "$catalog" "$root/Resources" "$sheet")
