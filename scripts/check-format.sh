#!/usr/bin/env bash
# Fails when a C or C++ file of the tree is not formatted as .clang-format
# says, and names each such file. With --fix, formats them in place. Also
# fails on an include that does not name its layer: a bare "Name.h" must be
# a header of the including file's own folder (or one the build generates
# there); any other is written from its tree's root ("gui/Form.h",
# "HookDll/HookProtocol.h").
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.c' '*.cpp' '*.h')
((${#files[@]})) || { echo "check-format: no C or C++ files found" >&2; exit 1; }
if [[ ${1:-} == --fix ]]; then
  clang-format -i "${files[@]}"
  exit 0
fi
bad=()
for f in "${files[@]}"; do
  [[ -f $f ]] || continue
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if ((${#bad[@]})); then
  echo "check-format: ${#bad[@]} of ${#files[@]} files are not formatted (scripts/check-format.sh --fix):"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
echo "check-format: ${#files[@]} files formatted"

generated=" ProductInfo.h "
unnamed=()
for f in "${files[@]}"; do
  [[ -f $f ]] || continue
  dir=$(dirname "$f")
  while IFS= read -r name; do
    [[ $name == */* || -f $dir/$name || $generated == *" $name "* ]] && continue
    unnamed+=("$f: \"$name\"")
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$f")
done
if ((${#unnamed[@]})); then
  echo "check-format: ${#unnamed[@]} includes of another folder's header without its layer:"
  printf '  %s\n' "${unnamed[@]}"
  exit 1
fi
echo "check-format: every include names its layer"
