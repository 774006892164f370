#!/usr/bin/env bash
# Installs the Debian packages Quillon needs to build, test and run, but only
# those that are missing, so a second run costs nothing. Runs apt-get update at
# most once. Used by `make run`, `make test` and CI.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ make pkg-config ccache
  zlib1g-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-qpa-plugins fonts-ipafont-gothic
  # The beep (Qt Multimedia) and the window's translations (lrelease).
  qt6-multimedia-dev qt6-tools-dev qt6-l10n-tools
  libpng-dev
  # Kanji patterns in headless runs: the font through fontconfig and FreeType,
  # Shift_JIS through ICU.
  libfreetype-dev libfontconfig-dev libicu-dev
  xvfb xauth
  # Packaging and the checks of the installed files and the package.
  dpkg-dev file desktop-file-utils appstream shared-mime-info man-db lintian
)
# Extra packages a single make target needs (e.g. clang for `make fuzz`).
PACKAGES+=("$@")

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
  else
    echo "These packages are missing and you are not root: ${missing[*]}" >&2
    echo "Install them with apt-get, or run this as root." >&2
    exit 1
  fi
fi

echo "Installing: ${missing[*]}"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
