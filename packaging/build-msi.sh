#!/usr/bin/env bash
# Builds one Windows Installer package with wixl, then gives the program and
# its library their file versions in the File table (wixl leaves the column
# empty), so that Windows Installer compares them as versioned files.
#   build-msi.sh WIXL_ARCH WXS SOURCE_DIR VERSION OUTPUT
set -euo pipefail
arch=$1 wxs=$2 source_dir=$3 version=$4 output=$5
here=$(realpath "$(dirname "$0")")
tmp="$(realpath -m "$output").tmp"
wxs=$(realpath "$wxs")
rm -f "$tmp"
# wixl takes source paths relative to the folder it runs in.
# The lowest version that Windows Installer counts as newer than this one:
# it compares major.minor.patch only.
IFS=. read -r major minor patch _ <<<"$version"
ceiling="$major.$minor.$((patch + 1))"
(cd "$source_dir" &&
  wixl -a "$arch" -D Version="$version" -D VersionCeiling="$ceiling" -D SourceDir=. -o "$tmp" "$wxs")
while read -r key file; do
  read -r _ file_version < <("$here/pe-version.py" "$source_dir/$file")
  # A versioned file is compared by version, never by hash.
  msibuild "$tmp" \
    -q "UPDATE \`File\` SET \`Version\` = '$file_version', \`Language\` = '1033' WHERE \`File\` = '$key'" \
    -q "DELETE FROM \`MsiFileHash\` WHERE \`File_\` = '$key'"
done <<'FILES'
QuellaneExe Quellane.exe
QuellHookDll quellhook.dll
FILES
mv -f "$tmp" "$output"
