#!/usr/bin/env bash
# Installs what the build, the programs and the tests need, from Debian's packages.
# Idempotent: returns at once when everything is already installed.
set -euo pipefail

packages=(cmake ninja-build g++ gfortran pkg-config
          pgplot5 zlib1g-dev qt6-base-dev libgtest-dev libbenchmark-dev
          libx11-dev libpng-dev python3-numpy python3-matplotlib emf2svg poppler-utils)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# pgplot5 lives in the non-free component: add it to the machine's own apt source.
enable_non_free() {
  local f=/etc/apt/sources.list.d/debian.sources
  if [ -f "$f" ]; then
    if grep -E '^Components:' "$f" | grep -vq 'non-free\b'; then
      $sudo sed -i -E '/^Components:/{/(^|[[:space:]])non-free([[:space:]]|$)/!s/$/ non-free/}' "$f"
    fi
  elif [ -f /etc/apt/sources.list ]; then
    $sudo sed -i -E '/^deb(-src)?[[:space:]]/{/[[:space:]]non-free([[:space:]]|$)/!s/$/ non-free/}' /etc/apt/sources.list
  fi
}

apt_opts=(-o DPkg::Lock::Timeout=600 -y -q)
echo "Installing: ${missing[*]}" >&2
enable_non_free
$sudo apt-get "${apt_opts[@]}" update >&2
DEBIAN_FRONTEND=noninteractive $sudo apt-get "${apt_opts[@]}" install --no-install-recommends "${missing[@]}" >&2
