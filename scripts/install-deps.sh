#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, and only those missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache clang-format-14
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools libgl-dev
  mdbtools mdbtools-dev libsqlite3-dev libfontconfig-dev libpng-dev libopencc-dev opencc
  qt6-translations-l10n
  fonts-arphic-uming fonts-arphic-ukai fonts-lxgw-wenkai fonts-wqy-microhei fonts-noto-cjk fontconfig poppler-utils
  xvfb xauth
  dpkg-dev appstream desktop-file-utils
  nodejs npm
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

# npm from the registry may already be present without Debian's package; keep it.
if command -v npm >/dev/null 2>&1; then
  filtered=()
  for p in "${missing[@]}"; do
    case "$p" in nodejs|npm) ;; *) filtered+=("$p") ;; esac
  done
  missing=("${filtered[@]}")
  [ ${#missing[@]} -eq 0 ] && exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# Waits for another apt run (a second build in another clone) instead of failing on its lock.
lock=(-o DPkg::Lock::Timeout=300)
$sudo apt-get "${lock[@]}" update -qq
$sudo apt-get "${lock[@]}" install -y -qq --no-install-recommends "${missing[@]}"
