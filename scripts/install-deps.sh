#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
set -euo pipefail
packages=(
  build-essential cmake ccache pkg-config libsqlite3-dev
  qt6-base-dev libqt6sql6-sqlite qt6-translations-l10n
  fonts-wqy-microhei xvfb xauth libbenchmark-dev
  # iCalendar import and export of jobs and notes
  libical-dev
  # The Chinese calendar of the lunar dates, and pinyin readings of names
  libicu-dev
  # Sync with a CardDAV/CalDAV server: the password in the desktop's secret
  # store, and the two servers the tests start privately
  qtkeychain-qt6-dev dbus radicale python3-tz xandikos apache2-utils openssl
  dpkg-dev file desktop-file-utils appstream clang-14 libclang-rt-14-dev clang-format-14
  # Independent readers the report export tests check the files with
  # (wmf2svg cannot start without the URW fonts, which apt only recommends).
  poppler-utils python3-xlrd unrtf libwmf-bin fonts-urw-base35
  # A print server with a PDF printer, which the printing tests start
  # privately (scripts/print-server.sh)
  cups cups-client printer-driver-cups-pdf
  # The package smoke test reads the installed program's store
  sqlite3
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get -o DPkg::Lock::Timeout=600 update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
fi
