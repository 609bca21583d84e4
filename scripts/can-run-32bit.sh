#!/usr/bin/env bash
# Tells whether this machine can run the i686 product: exits 0 when the
# kernel runs 32-bit code (a tiny static i386 program, assembled here, exits
# with 42) and Debian's 32-bit Wine loader starts; otherwise prints why on
# standard output and exits 1.
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/probe.s" <<'ASM'
        .globl _start
        .text
_start: movl $1, %eax           # exit(42) through the i386 system call gate
        movl $42, %ebx
        int $0x80
ASM
if ! as --32 -o "$work/probe.o" "$work/probe.s" 2>"$work/err" ||
   ! ld -m elf_i386 -static -o "$work/probe" "$work/probe.o" 2>>"$work/err"; then
  echo "cannot build the 32-bit probe: $(head -1 "$work/err")"
  exit 1
fi
"$work/probe" 2>/dev/null
if [[ $? -ne 42 ]]; then
  echo "this kernel refuses 32-bit code"
  exit 1
fi
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "the 32-bit Wine loader /usr/lib/wine/wine does not start (wine32 missing?)"
  exit 1
fi
exit 0
