#!/usr/bin/env bash
# Installs every system package the build, tests and benchmarks need, from
# Debian's archive only. Quick when everything is present: apt-get update runs
# only when a package is missing.
set -euo pipefail

packages=(
  # build and test tools
  build-essential cmake ninja-build pkg-config make git time
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  # graphics, text and fonts
  libcairo2-dev libfreetype-dev libharfbuzz-dev libfontconfig-dev
  # pango only for the benchmark that times our text layout against it
  libpango1.0-dev
  fonts-dejavu-core fonts-dejavu-extra fonts-liberation2 fonts-stix
  # not drawn with, but installed so that the tests show that fonts beyond
  # our own (Ghostscript's, which claim "Helvetica") change nothing
  fonts-urw-base35
  libpoppler-glib-dev
  # property lists, text encodings and dates, digests, UUIDs
  libplist-dev libplist++-dev libicu-dev libssl-dev uuid-dev
  # linear algebra and least squares
  liblapacke-dev libopenblas-dev libcminpack-dev
  # bitmap and movie encoders
  libjpeg-dev libtiff-dev libopenjp2-7-dev libpng-dev
  libavcodec-dev libavformat-dev libswscale-dev libavutil-dev
  # other data file formats
  libmatio-dev libnetcdf-dev libnetcdf-c++4-dev
  # tools the benchmarks compare against
  python3-numpy python3-pandas python3-matplotlib gnuplot-nox
  # validators the output writers' tests open their files with
  qpdf librsvg2-bin ghostscript
  # ffprobe, with which the movie tests read back what was written
  ffmpeg
)

# One dpkg-query for the whole list; a package it has never heard of prints
# nothing, so the check is "every name came back as installed".
installed=$(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${packages[@]}" 2>/dev/null \
  | awk '$2 == "installed" { print $1 }' | sed 's/:.*//' || true)
missing=()
for p in "${packages[@]}"; do
  grep -qxF "$p" <<<"$installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages and not root; run as root or install them by hand" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
