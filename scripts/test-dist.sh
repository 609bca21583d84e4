#!/usr/bin/env bash
# Tests of what a Windows user downloads (make dist):
#   static  every zip and MSI in dist/ listed and read: the files and their
#           versions, the tables of the package (files, shortcut, upgrade
#           codes, install folder, properties), SHA256SUMS; the winget and
#           Scoop manifests against the packages (tests/dist/check-manifests.py);
#   wine    each MSI installed, upgraded and uninstalled under Wine with its
#           own program: win64 under the 64-bit loader, win32 (the product)
#           under the 32-bit loader in a 32-bit prefix
#           (scripts/test-dist-wine.sh does the steps inside the session).
# usage: test-dist.sh [--static-only] [ARCH...]      ARCH: win32 win64 (default both)
set -euo pipefail
cd "$(dirname "$0")/.."
static_only=0
arches=()
for arg in "$@"; do
  case "$arg" in
    --static-only) static_only=1 ;;
    win32|win64) arches+=("$arg") ;;
    *) echo "usage: $0 [--static-only] [win32] [win64]" >&2; exit 2 ;;
  esac
done
((${#arches[@]})) || arches=(win32 win64)

passed=0 failed=0 skipped=0
pass() { passed=$((passed + 1)); printf '  ok    %s\n' "$1"; }
fail() { failed=$((failed + 1)); printf '  FAIL  %s\n' "$1"; [[ -z "${2:-}" ]] || printf '        %s\n' "$2"; }
# expect NAME ACTUAL EXPECTED
expect() { if [[ "$2" == "$3" ]]; then pass "$1"; else fail "$1" "got [$2], expected [$3]"; fi; }
# expect_match NAME TEXT REGEX
expect_match() { if grep -Eq -- "$3" <<<"$2"; then pass "$1"; else fail "$1" "no [$3] in [$2]"; fi; }

# Quiet builds that still show what went wrong.
quietly() { local out; out=$("$@" 2>&1) || { printf '%s\n' "$out" >&2; echo "test-dist: failed: $*" >&2; return 1; }; }
quietly scripts/dist.sh
for arch in "${arches[@]}"; do
  quietly cmake --build "build/$arch" --target quellane_dist_next dist_probe
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

table() { msiinfo export "$1" "$2" | tail -n +4 | tr -d '\r'; }
# The value of one row of a two-column table (Property, _SummaryInformation).
row() { table "$1" "$2" | awk -F'\t' -v k="$3" '$1 == k { print $2 }'; }

static_checks() {
  local arch=$1 facts="build/$1/dist-facts.sh"
  # shellcheck source=/dev/null
  source "$facts"
  local base="dist/$QUELL_PRODUCT-$QUELL_VERSION-$arch" bin="build/$arch/bin" machine=amd64 template='x64;1033'
  [[ $arch == win32 ]] && machine=i386 template='Intel;1033'
  local files="LICENSE.txt Quellane.chm Quellane.exe README.txt quellhook.dll"
  printf '\n== %s: %s.zip\n' "$arch" "$base"
  local zip="$base.zip" msi="$base.msi" unpacked="$work/$arch-zip" extracted="$work/$arch-msi"
  [[ -f $zip && -f $msi ]] || { fail "$arch: dist/ holds the zip and the MSI"; return; }
  expect "$arch zip: exactly the five files, at its root" \
    "$(unzip -Z1 "$zip" | sort | tr '\n' ' ')" "$files "
  mkdir -p "$unpacked" && unzip -q "$zip" -d "$unpacked"
  for f in Quellane.exe quellhook.dll Quellane.chm; do
    if cmp -s "$unpacked/$f" "$bin/$f"; then pass "$arch zip: $f is the built file"; else fail "$arch zip: $f is the built file"; fi
  done
  expect "$arch zip: Quellane.exe is the $machine program of version $QUELL_VERSION" \
    "$(packaging/pe-version.py "$unpacked/Quellane.exe")" "$machine $QUELL_VERSION"
  expect "$arch zip: quellhook.dll is the $machine library of version 2.0.0.1" \
    "$(packaging/pe-version.py "$unpacked/quellhook.dll")" "$machine 2.0.0.1"
  local readme
  readme=$(tr -d '\r' <"$unpacked/README.txt")
  expect "$arch zip: README.txt names the product, version, build and home page" "$(head -2 <<<"$readme" | tr '\n' ' ')" \
    "$QUELL_PRODUCT $QUELL_VERSION ($([[ $arch == win32 ]] && echo 32 || echo 64)-bit Windows) $QUELL_HOME_PAGE "
  for topic in "How to start" "How to unlock" "Where the settings are" "Quellane.ini"; do
    expect_match "$arch zip: README.txt tells $topic" "$readme" "$topic"
  done
  expect "$arch zip: README.txt and LICENSE.txt have Windows line ends" \
    "$(grep -c $'\r$' "$unpacked/README.txt")/$(grep -c $'\r$' "$unpacked/LICENSE.txt")" \
    "$(wc -l <"$unpacked/README.txt")/$(wc -l <"$unpacked/LICENSE.txt")"
  expect_match "$arch zip: LICENSE.txt is the MIT licence of the publisher" "$(head -3 "$unpacked/LICENSE.txt")" \
    "Copyright \(c\) [0-9]+ $QUELL_PUBLISHER"

  printf '== %s: %s.msi\n' "$arch" "$base"
  expect "$arch msi: template (platform)" "$(row "$msi" _SummaryInformation 7)" "$template"
  expect "$arch msi: per-user package that needs no administrator (word count 10)" \
    "$(row "$msi" _SummaryInformation 15)" "10"
  expect "$arch msi: no ALLUSERS (installs for the current user)" "$(row "$msi" Property ALLUSERS)" ""
  expect "$arch msi: product name, version, publisher" \
    "$(row "$msi" Property ProductName)|$(row "$msi" Property ProductVersion)|$(row "$msi" Property Manufacturer)" \
    "$QUELL_PRODUCT|$QUELL_VERSION|$QUELL_PUBLISHER"
  expect "$arch msi: upgrade code of the $arch build" "$(row "$msi" Property UpgradeCode)" "{$QUELL_UPGRADE_CODE}"
  expect "$arch msi: Apps entry's help link and icon" \
    "$(row "$msi" Property ARPHELPLINK)|$(row "$msi" Property ARPPRODUCTICON)" "$QUELL_HOME_PAGE|Quellane.ico"
  expect_match "$arch msi: the icon is in the package" "$(msiinfo streams "$msi")" '^Icon\.Quellane\.ico$'
  local file_rows
  file_rows=$(table "$msi" File | awk -F'\t' '{ print $3 "|" $4 "|" $5 }' | sort)
  local expected_rows=""
  for f in LICENSE.txt Quellane.chm Quellane.exe README.txt quellhook.dll; do
    local size version=""
    size=$(stat -c %s "$unpacked/$f")
    [[ $f == Quellane.exe ]] && version=$QUELL_VERSION
    [[ $f == quellhook.dll ]] && version=2.0.0.1
    expected_rows+="$f|$size|$version"$'\n'
  done
  expect "$arch msi: File table: names, sizes, versions" "$file_rows" "$(sort <<<"${expected_rows%$'\n'}")"
  mkdir -p "$extracted" && msiextract -C "$extracted" "$msi" >/dev/null
  local installed_dir
  installed_dir=$(dirname "$(find "$extracted" -name Quellane.exe | head -1)")
  for f in $files; do
    if cmp -s "$installed_dir/$f" "$unpacked/$f"; then pass "$arch msi: $f is the zip's"; else fail "$arch msi: $f is the zip's"; fi
  done
  expect "$arch msi: install folder %LOCALAPPDATA%\\Programs\\$QUELL_PRODUCT" \
    "$(table "$msi" Directory | awk -F'\t' '$1 == "INSTALLFOLDER" || $1 == "LocalProgramsFolder" || $1 == "LocalAppDataFolder" { print $1 "<" $2 "<" $3 }' | sort | tr '\n' ' ')" \
    "INSTALLFOLDER<LocalProgramsFolder<$QUELL_PRODUCT LocalAppDataFolder<TARGETDIR<. LocalProgramsFolder<LocalAppDataFolder<Programs "
  expect "$arch msi: one Start-menu shortcut to the program, with its icon" \
    "$(table "$msi" Shortcut | awk -F'\t' '{ print $2 "|" $3 "|" $5 "|" $9 "|" $12 }')" \
    "ProgramMenuFolder|$QUELL_PRODUCT|[INSTALLFOLDER]Quellane.exe|Quellane.ico|INSTALLFOLDER"
  IFS=. read -r major minor patch _ <<<"$QUELL_VERSION"
  local ceiling="$major.$minor.$((patch + 1))"
  expect "$arch msi: Upgrade table: older replaced, same and newer detected; the other build's same or older replaced" \
    "$(table "$msi" Upgrade | awk -F'\t' '{ print $1 "|" $2 "|" $3 "|" $5 "|" $7 }' | sort | tr '\n' ' ')" \
    "$(printf '%s\n' "{$QUELL_OTHER_UPGRADE_CODE}|0.0.0|$ceiling|256|QUELL_OTHER_BUILD_FOUND" \
      "{$QUELL_OTHER_UPGRADE_CODE}|$ceiling||258|QUELL_OTHER_BUILD_NEWER_FOUND" \
      "{$QUELL_UPGRADE_CODE}|0.0.0|$QUELL_VERSION|256|QUELL_OLDER_FOUND" \
      "{$QUELL_UPGRADE_CODE}|$QUELL_VERSION|$ceiling|258|QUELL_SAME_FOUND" \
      "{$QUELL_UPGRADE_CODE}|$ceiling||258|QUELL_NEWER_FOUND" | sort | tr '\n' ' ')"
  expect_match "$arch msi: launch conditions refuse a newer and the same version" \
    "$(table "$msi" LaunchCondition | cut -f1 | sort | tr '\n' ' ')" \
    '^REMOVE OR NOT \(QUELL_NEWER_FOUND OR QUELL_OTHER_BUILD_NEWER_FOUND\) REMOVE OR REINSTALL OR NOT \(Installed OR QUELL_SAME_FOUND\) $'
  expect "$arch msi: ... with messages that say what is installed and what to do" \
    "$(table "$msi" LaunchCondition | cut -f2 | sort)" \
    "A newer version of $QUELL_PRODUCT is already installed. To go back to version $QUELL_VERSION, first uninstall the newer one in Settings > Apps; your settings are kept.
$QUELL_PRODUCT $QUELL_VERSION is already installed. To install it again, first uninstall it in Settings > Apps; your settings are kept."
  expect "$arch msi: uninstall ends the installed program with /exit (type 18, errors ignored)" \
    "$(table "$msi" CustomAction | awk -F'\t' '$1 == "EndInstalledProgram" { print $2 "|" $3 "|" $4 }')" "82|QuellaneExe|/exit"
  local order
  order=$(table "$msi" InstallExecuteSequence | sort -t$'\t' -k3n |
    awk -F'\t' '$1 ~ /^(EndInstalledProgram|InstallValidate|RemoveExistingProducts|InstallInitialize|FindRelatedProducts|LaunchConditions|KeepAutostart|InstallAutostart|CostFinalize)$/ { printf "%s ", $1 }')
  expect "$arch msi: the order of the execute sequence" "$order" \
    "FindRelatedProducts KeepAutostart InstallAutostart LaunchConditions CostFinalize EndInstalledProgram InstallValidate RemoveExistingProducts InstallInitialize "
  expect "$arch msi: conditions of the custom actions" \
    "$(table "$msi" InstallExecuteSequence | awk -F'\t' '$1 ~ /Autostart|EndInstalled/ { print $1 ": " $2 }' | sort | tr '\n' ';')" \
    'EndInstalledProgram: REMOVE ~= "ALL";InstallAutostart: AUTOSTART = "1";KeepAutostart: QUELL_AUTOSTART_FOUND AND NOT AUTOSTART;'
  expect "$arch msi: AUTOSTART's entry, in a feature installed only at level 1000" \
    "$(table "$msi" Registry | awk -F'\t' '$6 == "Autostart" { print $2 "|" $3 "|" $4 "|" $5 }')|$(table "$msi" Feature | awk -F'\t' '$1 == "StartWithWindows" { print $6 }')" \
    "1|Software\\Microsoft\\Windows\\CurrentVersion\\Run|$QUELL_PRODUCT|\"[INSTALLFOLDER]Quellane.exe\"|1000"
}

printf '\n==== packages (static) ====\n'
if (cd dist && sha256sum --quiet -c SHA256SUMS); then pass "SHA256SUMS matches dist/"; else fail "SHA256SUMS matches dist/"; fi
expect "SHA256SUMS lists every package of dist/ (the files at its top but itself)" \
  "$(awk '{ print $2 }' dist/SHA256SUMS | sort | tr '\n' ' ')" \
  "$(cd dist && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%P\n' | sort | tr '\n' ' ')"
printf '\n==== package manager manifests ====\n'
manifest_results=$(tests/dist/check-manifests.py dist build/win32/dist-facts.sh) || true
printf '%s\n' "$manifest_results"
passed=$((passed + $(grep -c '^  ok ' <<<"$manifest_results" || true)))
failed=$((failed + $(grep -c '^  FAIL ' <<<"$manifest_results" || true)))
grep -q '^  ok ' <<<"$manifest_results" || fail "manifests: the checks ran"
for arch in "${arches[@]}"; do static_checks "$arch"; done

if ((static_only == 0)); then
  for arch in "${arches[@]}"; do
    printf '\n==== %s MSI under Wine ====\n' "$arch"
    if [[ $arch == win32 ]] && ! why=$(scripts/can-run-32bit.sh); then
      # Only a kernel that refuses 32-bit code may leave these steps out.
      [[ $why == "this kernel refuses 32-bit code" ]] || { fail "win32: 32-bit Wine runs here" "$why"; continue; }
      printf '\n!!!! win32 MSI not tried under Wine: %s; only its static checks ran !!!!\n\n' "$why"
      skipped=$((skipped + 1))
      continue
    fi
    prefix="build/$arch/dist-prefix"
    rm -rf "$prefix"  # every run starts from a computer on which nothing was installed
    results="$work/$arch-wine.txt"
    set +e
    scripts/wine-session.sh --arch "$arch" --timeout 900 "$prefix" -- \
      scripts/test-dist-wine.sh "$arch" | tee "$results"
    rc=${PIPESTATUS[0]}
    set -e
    passed=$((passed + $(grep -c '^  ok ' "$results" || true)))
    failed=$((failed + $(grep -c '^  FAIL ' "$results" || true)))
    if ((rc != 0)); then fail "$arch: the Wine steps ran to their end (exit code $rc)"; fi
  done
fi

if ((skipped)); then
  printf '\ndist: %d passed, %d failed, %d skipped\n' "$passed" "$failed" "$skipped"
else
  printf '\ndist: %d passed, %d failed\n' "$passed" "$failed"
fi
((failed == 0))
