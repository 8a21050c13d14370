#!/bin/sh
# Two builds of one commit in one folder give the same libraries and PDBs, byte for byte: the
# libraries built with clang in Microsoft's ABI are built twice in a scratch folder, the folder
# emptied between, and their checksums compared.
set -u
source=${1:?cmake/msabi folder}
toolchain=${2:?cmake/msabi-<arch>.cmake}
gcc_libs=${3:?folder of simbench.dll.a and langfile.dll.a}
scratch=${4:?scratch folder}

build() {
    rm -rf "$scratch"
    cmake -S "$source" -B "$scratch" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DDAXO_RUNTIME_DIR="$scratch/bin" -DDAXO_GCC_LIB_DIR="$gcc_libs" >/dev/null &&
        cmake --build "$scratch" -j 2 >/dev/null &&
        (cd "$scratch/bin" && md5sum TestDAXO01.dll quillet.dll prubel.dll tarlex.dll daxotester.test \
            TestDAXO01.pdb quillet.pdb prubel.pdb tarlex.pdb daxotester.pdb)
}

first=$(build) || { echo "FAIL the first build"; exit 1; }
second=$(build) || { echo "FAIL the second build"; exit 1; }
rm -rf "$scratch"
if [ "$first" = "$second" ]; then
    echo "$first" | sed 's/^/ok   /'
    exit 0
fi
echo "FAIL the two builds differ:"
echo "$first" >"$scratch.first"
echo "$second" | diff "$scratch.first" - | sed -n 's/^< /  first:  /p; s/^> /  second: /p'
rm -f "$scratch.first"
exit 1
