# The SDK from Visual Studio's side, sourced by build_against_sdk.sh (its
# variables and helpers: sdk, work, source, arch, bits, dll, cross, fail,
# checked_link).

# The import library in the format of Microsoft's linker and the .def it was made
# from offer what the DLL exports (on 32-bit the decorated names, which that
# compiler emits), and the DLL exports what its export list names.
dll_exports=$(${cross}objdump -p "$sdk/bin/$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^\t\[ *[0-9]*\] //p' | sort)
listed=$(sed -n 's/^    \([A-Za-z]\)/\1/p' "$source/framework/services/lullex.def" | sort)
plain=$(printf '%s\n' $listed | sed 's/@[0-9]*$//')
if [ "$bits" = 32 ]; then
  expected=$(printf '%s\n' $listed $plain | sort) offered=$listed symbol_prefix=_
else
  expected=$plain offered=$plain symbol_prefix=
fi
[ "$dll_exports" = "$expected" ] || fail "$dll exports $(echo $dll_exports), not $(echo $expected)"
msvc_lib=$sdk/lib/${dll%.dll}.lib
msvc_skip=
if [ ! -f "$msvc_lib" ]; then
  msvc_skip="the SDK holds no ${dll%.dll}.lib: llvm-dlltool was missing when the framework was configured"
else
  [ "$(sed -n 's/^    //p' "$sdk/lib/${dll%.dll}.def" | sort)" = "$offered" ] ||
    fail "${dll%.dll}.def does not list what $dll offers"
  members=$(llvm-nm "$msvc_lib" | sed -n 's/^.* T //p' | sort)
  wanted=$(for name in $offered; do echo "$symbol_prefix$name"; echo "__imp_$symbol_prefix$name"; done | sort)
  [ "$members" = "$wanted" ] || fail "${dll%.dll}.lib resolves $(echo $members), not $(echo $wanted)"
  echo "${dll%.dll}.lib resolves: $(echo $members)"
fi
# lullex.res is a resource file (windres reads a .res as one) with the resources
# of lullex_res.o, whose format has no room for their memory flags.
resources_of() { ${cross}windres "$@" -O rc | sed -E 's/ (MOVEABLE|FIXED|PURE|IMPURE|PRELOAD|LOADONCALL|DISCARDABLE)//g'; }
cmp -s <(resources_of -i "$sdk/lib/lullex.res") <(resources_of -J coff -i "$sdk/lib/lullex_res.o") ||
  fail "lullex.res and lullex_res.o hold different resources"

# Savers built as Visual Studio builds them, as near as this machine comes: clang
# compiling for Microsoft's ABI (for cl), llvm-rc (rc) and lld-link (link), with
# Wine's Windows headers, against the SDK's .lib: a C one from the command line
# and a C++ one through the CMake package. sdk_e2e_tests runs both, or skips them
# with the reason written here.
msvc=$work/msvc
mkdir -p "$msvc/syslib"
for tool in clang clang++ llvm-rc lld-link llvm-dlltool llvm-nm; do
  command -v $tool >/dev/null || msvc_skip=${msvc_skip:-"$tool is not installed (Debian: apt-get install clang lld llvm)"}
done
[ -d /usr/include/wine/wine/windows ] ||
  msvc_skip=${msvc_skip:-"Wine's Windows headers are not installed (Debian: apt-get install wine64-tools)"}
if [ -n "$msvc_skip" ]; then
  echo "$msvc_skip" > "$msvc/skipped"
  echo "MSVC-mode clients skipped: $msvc_skip"
  return 0
fi

case $arch in i686) machine=i386 ;; *) machine=i386:x86-64 ;; esac
# The system's import libraries, which a Windows SDK brings: the names come from
# mingw-w64's, whose format Microsoft's linker does not take for 32-bit programs.
for system in kernel32 user32 gdi32 comctl32 advapi32 version; do
  { echo "LIBRARY $system.dll"; echo EXPORTS
    llvm-nm -j "/usr/$arch-w64-mingw32/lib/lib$system.a" | sed -n 's/^__imp_//p' |
      if [ "$bits" = 32 ]; then sed 's/^_//'; else cat; fi | sort -u; } > "$msvc/syslib/$system.def"
  # A 32-bit program calls _GetCommandLineA@0, which the system DLL exports as
  # GetCommandLineA: -k imports the name without its @n, as Windows' own libraries do.
  llvm-dlltool -m $machine $([ "$bits" = 32 ] && echo -k) -d "$msvc/syslib/$system.def" -l "$msvc/syslib/$system.lib"
done
headers="-nostdinc -isystem $(clang -print-resource-dir)/include -isystem /usr/include/wine/wine/msvcrt
         -isystem /usr/include/wine/wine/windows"
# Wine's winnt.h defines inline functions under names that clang, compiling C++
# for Microsoft's ABI, keeps for its built-ins; Visual Studio's headers do not.
wine_renames=
for name in And64 CompareExchangePointer ExchangeAdd64 ExchangePointer Increment64 Decrement64 Or64 Xor64 \
            CompareExchange128; do
  wine_renames+=" -D_Interlocked$name=WineInterlocked$name"
done
cp "$source"/tests/sdk/msvc_client/client.{c,cpp,rc} "$msvc/"
cp "$source/tests/sdk/msvc_client/CMakeLists.txt.in" "$msvc/CMakeLists.txt"

checked_link "the MSVC-mode C client" sh -c "cd '$msvc' &&
  clang --target=$arch-pc-windows-msvc $(echo $headers) -I'$sdk/include' -Wall -Wextra -Werror -c client.c -o client.obj &&
  llvm-rc /I /usr/include/wine/wine/windows /FO client.res client.rc"
link_line="lld-link /nologo /subsystem:windows /out:$msvc/client_c.scr $msvc/client.obj $msvc/client.res $msvc_lib
           /libpath:$msvc/syslib user32.lib gdi32.lib kernel32.lib"
echo "MSVC-mode C client: $(echo $link_line)"
checked_link "the MSVC-mode C client" $link_line

cat > "$msvc/toolchain.cmake" <<TOOLCHAIN
# Visual Studio's part, played by LLVM: clang for Microsoft's ABI, llvm-rc, lld-link.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR $arch)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET $arch-pc-windows-msvc)
set(CMAKE_RC_COMPILER llvm-rc)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES /usr/include/wine/wine/msvcrt /usr/include/wine/wine/windows)
set(CMAKE_CXX_FLAGS_INIT "$wine_renames")
set(CMAKE_RC_FLAGS_INIT "-I/usr/include/wine/wine/windows")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Xlinker /libpath:$msvc/syslib")
# No Microsoft C runtime here: no test program can link, and none is named.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(CMAKE_MSVC_RUNTIME_LIBRARY "")
set(CMAKE_CXX_STANDARD_LIBRARIES "-lkernel32 -luser32 -lgdi32" CACHE STRING "")
TOOLCHAIN
msvc_cmake() {   # build folder, extra arguments
  cmake -S "$msvc" -B "$msvc/$1" -DCMAKE_TOOLCHAIN_FILE="$msvc/toolchain.cmake" -DCMAKE_PREFIX_PATH="$sdk" \
    -DCMAKE_BUILD_TYPE=Release "${@:2}" 2>&1
}
output=$(msvc_cmake build) || { echo "$output"; fail "the MSVC-mode C++ project does not configure"; }
checked_link "the MSVC-mode C++ client" cmake --build "$msvc/build"
# The libraries are in a response file of the link line.
link_txt=$(cat "$msvc"/build/CMakeFiles/client_cpp.dir/{link.txt,linkLibs.rsp} | tr -s '\n' ' ')
echo "MSVC-mode C++ client (CMake): $link_txt"
[[ $link_txt == *"$msvc_lib"* ]] || fail "Lullex::lullex_shared does not link ${dll%.dll}.lib"
cp "$msvc/build/client_cpp.scr" "$msvc/"

# The same project naming the static framework (configured again in its folder,
# which knows the compiler already).
if output=$(msvc_cmake build -DLINK_STATIC=ON); then fail "an MSVC-mode project links the static framework"; fi
refusal=$(echo "$output" | tr -s ' \n' ' ')
[[ $refusal == *"client_cpp links Lullex::lullex, the static Lullex framework"*"link Lullex::lullex_shared"* ]] ||
  { echo "$output"; fail "the static framework's refusal does not say why"; }
echo "the static framework refuses an MSVC-mode project, naming Lullex::lullex_shared"

for saver in client_c.scr client_cpp.scr; do
  imports=" $(llvm-objdump -p "$msvc/$saver" | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')"
  echo "msvc/$saver imports:$imports"
  [[ $imports == *" $dll "* ]] || fail "$saver does not load $dll"
done
