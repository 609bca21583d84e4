#!/usr/bin/env bash
# Installs every Debian package that building, running and testing need, but
# only when something is missing, so that a repeated call costs a second.
# The 32-bit Wine (wine32, for the i686 product) needs the i386 architecture.
set -euo pipefail

packages=(
  cmake ninja-build make g++ pkg-config
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 wine32:i386 xvfb xdotool x11-utils imagemagick
  googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  fp-utils nsis msitools wixl unzip
  python3-yaml
)

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "adding the i386 architecture (for wine32)"
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# A mirror caught mid-sync fails the update now and then: try again, and go on
# with the lists there are if it keeps failing (the install says what is missing).
for attempt in 1 2 3; do
  "${sudo_cmd[@]}" apt-get update -qq && break
  echo "apt-get update failed (attempt $attempt of 3)"
  sleep $((attempt * 10))
done
apt_install() { "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$@" "${missing[@]}"; }
apt_install && exit 0
# A security index that failed for i386 alone (seen: a mirror serving an old
# Packages.xz for a new Release) leaves the two architectures' candidates of
# a multi-arch library at different versions, and wine32 cannot be resolved.
# Then resolve from the main suites alone, whose lists did arrive.
echo "!!!! install failed; trying again from the main suites without the security suite !!!!"
sources=$(mktemp -d)
for f in /etc/apt/sources.list.d/*.sources; do
  [[ -e $f ]] || continue
  awk 'BEGIN { RS = ""; ORS = "\n\n" } !/debian-security/' "$f" >"$sources/$(basename "$f")"
done
apt_install -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$sources"
rm -rf "$sources"
