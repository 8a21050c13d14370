#!/bin/sh
# Each library built with clang in Microsoft's ABI lies beside its PDB, and the library's debug
# directory names that PDB by file name alone, with the GUID and age the PDB itself carries: a
# debugger that looks beside the library finds the symbols of exactly this build.
set -u
[ $# -gt 0 ] || { echo "usage: $0 DIST_FOLDER..." >&2; exit 2; }
fail=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi; }

# "NAME GUID AGE" of the PDB the library's CodeView entry names, the GUID as llvm-pdbutil
# writes it: its first three fields are stored little-endian.
named() {
    llvm-readobj --coff-debug-directory "$1" 2>/dev/null | awk '
        /PDBGUID:/ { gsub(/[()]/, ""); for (i = 2; i <= 17; i++) b[i - 1] = $i }
        /PDBAge:/ { age = $2 }
        /PDBFileName:/ { name = $2 }
        END {
            if (name == "") exit
            printf "%s {%s%s%s%s-%s%s-%s%s-%s%s-%s%s%s%s%s%s} %s\n", name, b[4], b[3], b[2], b[1], b[6], b[5],
                   b[8], b[7], b[9], b[10], b[11], b[12], b[13], b[14], b[15], b[16], age
        }'
}
# "GUID AGE" the PDB carries.
carries() {
    llvm-pdbutil dump --summary "$1" 2>/dev/null | awk '/GUID:/ { guid = $2 } /^ *Age:/ { age = $2 } END { print guid, age }'
}

for dist in "$@"; do
    for lib in TestDAXO01.dll quillet.dll prubel.dll tarlex.dll daxotester.test; do
        pdb=${lib%.*}.pdb
        entry=$(named "$dist/$lib")
        check "$dist/$lib names $pdb by file name" "[ \"\${entry%% *}\" = $pdb ]"
        check "$pdb lies beside it" "[ -f '$dist/$pdb' ]"
        check "$pdb is the one $lib was linked with" "[ \"\${entry#* }\" = \"\$(carries '$dist/$pdb')\" ]"
    done
done
exit $fail
