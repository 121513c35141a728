#!/bin/bash
# Prints 32 when this kernel runs 32-bit x86 programs (and so 32-bit Wine), else 64.
# Some virtual machines boot with 32-bit emulation off; the tests then run a 64-bit build.
set -u
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' > "$tmp/x.s"
if as --32 -o "$tmp/x.o" "$tmp/x.s" 2>/dev/null && ld -m elf_i386 -o "$tmp/x" "$tmp/x.o" 2>/dev/null \
   && "$tmp/x" 2>/dev/null; then
  echo 32
else
  echo 64
fi
