#!/bin/sh
# Checks the i686 deliverables as files, for what running them does not show: each is a 32-bit
# image, carries no MinGW runtime library, and holds the exports, imports and resources a host reads.
set -u
dist=${1:?dist folder}
fail=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi; }
dump() { i686-w64-mingw32-objdump -p "$dist/$1" 2>/dev/null; }

for f in TestDAXO01.dll quillet.dll prubel.dll tarlex.dll daxotester.test simbench.dll langfile.dll daxohost.exe; do
    check "$f is a 32-bit program or library" "dump $f | grep -q 'file format pei-i386'"
    check "$f needs no MinGW runtime library" "! dump $f | grep -qiE 'DLL Name: (libstdc|libgcc|libwinpthread)'"
done
check "_GetTestInstance exported" "dump TestDAXO01.dll | grep -qE '\] _GetTestInstance$'"
check "_GetTestInstanceID exported" "dump TestDAXO01.dll | grep -qE '\] _GetTestInstanceID$'"
check "CTestDAXO01 exported by its decorated name" "dump TestDAXO01.dll | grep -q '?m_szSupportedTest@CTestDAXO01@@'"
check "imports the host tester" "dump TestDAXO01.dll | grep -q 'DLL Name: daxotester.test'"
check "imports the toolkit" "dump TestDAXO01.dll | grep -q 'DLL Name: quillet.dll'"
check "imports the host base" "dump TestDAXO01.dll | grep -q 'DLL Name: prubel.dll'"
# "type:id" of every resource, from objdump's listing of the resource directory.
resources() {
    dump TestDAXO01.dll | awk '
        /^[0-9a-f]+   Entry: ID:/   { type = $4; sub(",", "", type) }
        /^[0-9a-f]+     Entry: ID:/ { id = $4; sub(",", "", id); print type, id }' |
        while read -r type id; do echo "$((type)):$((id))"; done
}
check "version resource" "resources | grep -qx '16:1'"
check "module icon" "resources | grep -qx '14:1'"
check "file version 1.4.2.3" "strings -el '$dist/TestDAXO01.dll' | grep -qx '1.4.2.3'"
check "product name TestDAXO01.test" "strings -el '$dist/TestDAXO01.dll' | grep -qx 'TestDAXO01.test'"
check "original file name" "strings -el '$dist/TestDAXO01.dll' | grep -qx 'TestDAXO01.dll'"
for extra in $(cat "$(dirname "$0")/win32_resources.txt"); do
    check "resource $extra" "resources | grep -qx '$extra'"
done
exit $fail
