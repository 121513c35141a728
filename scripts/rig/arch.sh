#!/bin/bash
# Prints 32 when this kernel runs 32-bit x86 programs (and so 32-bit Wine), else 64.
# Some virtual machines boot with 32-bit emulation off; the tests then run a 64-bit build.
# ORVEX_BITS=32|64 overrides the answer (to rehearse the other kind of machine).
# The probe is a 96-byte i386 ELF program written byte by byte, so it needs nothing installed:
# it only calls exit(32), and only a kernel that runs it returns that code.
set -u
case ${ORVEX_BITS:-} in 32|64) echo "$ORVEX_BITS"; exit 0 ;; esac
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
elf_header='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'
elf_header+='\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00'
elf_header+='\x01\x00\x00\x00\x00\x00\x00\x00'
load_segment='\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
load_segment+='\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
exit_32='\xb8\x01\x00\x00\x00\xbb\x20\x00\x00\x00\xcd\x80'  # mov eax,1; mov ebx,32; int 0x80
printf "$elf_header$load_segment$exit_32" > "$tmp/probe"
chmod +x "$tmp/probe"
"$tmp/probe" 2>/dev/null
if [ $? = 32 ]; then echo 32; else echo 64; fi
