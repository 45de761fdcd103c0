#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need; does nothing when all are present.
# Packages are installed without their recommendations, so everything used is named here itself.
set -euo pipefail
packages=(
  # building: compiler, CMake, Qt's Core/Gui/Widgets/Sql/PrintSupport/Test, GoogleTest, benchmarks,
  # SQLite's own header (the storage asks it whether a transaction is still open)
  build-essential cmake pkg-config qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev
  # the program at run time: Qt's libraries with the platform plugins (xcb, offscreen) and the
  # image formats (ico), the SQLite driver, the printing support (CUPS) and the font lookup
  libqt6core6 libqt6gui6 libqt6widgets6 libqt6sql6 libqt6sql6-sqlite libqt6printsupport6 fontconfig
  # the fonts reports are measured and drawn with (metric-compatible with Arial, Times, Courier),
  # and the fallback of the reports and the windows
  fonts-liberation2 fonts-dejavu-core
  # the tests: page files checked by an independent reader (wmf2svg, which needs the URW fonts)
  # and PDFs read back (pdftotext, pdfinfo)
  libwmf-bin fonts-urw-base35 poppler-utils
  # run.sh's advice without a display (xvfb-run needs xauth); sqlite3 to look into a pension.db
  xvfb xauth sqlite3
  # the second engine: PostgreSQL (the tests start a throw-away server of their own), Qt's driver
  # for it, and libpq's header (the storage asks a server connection for its transaction state)
  postgresql-15 libqt6sql6-psql libpq-dev
)
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
  # Waits for another installation that holds the package lock instead of failing at once.
  apt-get -o DPkg::Lock::Timeout=600 update -qq
  apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
fi
