#!/bin/sh
# The module built against a host's own SDK (headers and Microsoft-format import libraries, laid
# out here from the stand-ins) imports and exports exactly what the normal build does; a header
# whose types differ from the library's fails the link with the name that did not resolve.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
dist=${1:?dist folder with win64 and win32}
# The architectures to build for: both unless named.
arches=${2:-win64 win32}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi; }

# "DLL name" lines and the names of the export and import tables, in a stable order.
tables() {
    x86_64-w64-mingw32-objdump -p "$1" | awk '
        /^The Import Tables/ { part = "import" } /^The Export Tables/ { part = "export" }
        /DLL Name:/ { print part, $3 }
        part == "import" && /^\t[0-9a-f]+\t +[0-9]+  / { print part, $3 }
        part == "export" && /^\t\[ *[0-9]+\] [^ ]+$/ { print part, $3 }' | sort
}

mkdir -p "$work/sdk/include"
cp "$root"/host/quillet/*.h "$root"/host/prubel/*.h "$root"/host/tarlex/*.h "$root"/host/daxotester/*.h \
    "$work/sdk/include/"
for arch in $arches; do
    case $arch in win64) lib=x64 machine=i386:x86-64 ;; win32) lib=x86 machine=i386 ;; esac
    mkdir -p "$work/sdk/lib/$lib"
    for file in quillet.dll prubel.dll tarlex.dll daxotester.test; do
        # A .def of everything the stand-in exports; data (vtables, static members) as DATA.
        { echo "LIBRARY $file"; echo EXPORTS
          tables "$dist/$arch/$file" | awk '$1 == "export" { n = $2
              data = n ~ /^\?\?_7/ || n ~ /@@[0-9]/; print "    " n (data ? " DATA" : "") }'
        } >"$work/$file.def"
        llvm-dlltool -m "$machine" -d "$work/$file.def" -D "$file" -l "$work/sdk/lib/$lib/${file%.*}.lib"
    done
    "$root/tools/build-with-host-sdk" "$work/sdk" "$arch" "$work/build-$arch" "$work/out-$arch" \
        >"$work/build-$arch.log" 2>&1
    check "$arch: the module builds against the SDK" "[ -f '$work/out-$arch/TestDAXO01.dll' ]"
    tables "$dist/$arch/TestDAXO01.dll" >"$work/normal-$arch.txt"
    tables "$work/out-$arch/TestDAXO01.dll" >"$work/sdk-$arch.txt" 2>/dev/null
    check "$arch: its import and export tables equal the normal build's" \
        "[ -s '$work/normal-$arch.txt' ] && cmp -s '$work/normal-$arch.txt' '$work/sdk-$arch.txt'"
done

# One const more in a header than in the library: the name the module imports is not exported.
sed -i 's/int TestSupportedTest(const char\* name, char\*\* table, int count);/int TestSupportedTest(const char* name, const char* const* table, int count);/' \
    "$work/sdk/include/Test.h"
check "the changed header is in place" "grep -q 'const char\* const\* table' '$work/sdk/include/Test.h'"
arch=${arches%% *}
rm -rf "$work/out-$arch"
"$root/tools/build-with-host-sdk" "$work/sdk" "$arch" "$work/build-$arch" "$work/out-$arch" >"$work/wrong.log" 2>&1
check "a header that differs from the library fails the link" "[ ! -f '$work/out-$arch/TestDAXO01.dll' ]"
check "the failure names what did not resolve" "grep -q 'undefined symbol: .*TestSupportedTest' '$work/wrong.log'"
[ $fail -eq 0 ] || { echo "--- last build log"; tail -20 "$work/wrong.log"; }
exit $fail
