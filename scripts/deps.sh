#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need; does nothing when all are present.
set -euo pipefail
packages=(build-essential cmake pkg-config qt6-base-dev libqt6sql6-sqlite qt6-qpa-plugins
          libgtest-dev libgmock-dev libbenchmark-dev sqlite3 libsqlite3-dev xvfb xauth
          libwmf-bin poppler-utils fonts-liberation2)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages (${missing[*]}); run this script as root to install them." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
