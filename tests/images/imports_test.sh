#!/usr/bin/env bash
# Fault: an image that imports a DLL Windows looks for beside the image
# first (UxTheme, WinMM, bcrypt, oleacc, ...): run from a download folder or
# from the uninstaller's copy in the temp folder, it would load a DLL of
# that name planted there, with the administrator's rights. Only the DLLs
# Windows always takes from its own folder may be imported (its KnownDLLs
# on every Windows from 7 on, and ntdll, which every process has loaded);
# comctl32 only with the manifest's side-by-side dependency, which names
# the system's own copy. Everything else is loaded at run time from the
# system folder (platform/win32/system_functions.h).
#
#   imports_test.sh IMAGE...   (exit 77, skipped, when an image is not built)
set -u
allowed=" $(echo advapi32 clbcatq comdlg32 difxapi gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi ntdll \
                ole32 oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32) "
# binutils' objdump for the x86-64 MinGW target reads PE32 images too.
objdump=$(command -v x86_64-w64-mingw32-objdump || command -v objdump)
failures=0
for image in "$@"; do
  if [ ! -f "$image" ]; then
    echo "skipped: $image is not built (cmake --build --preset <win32|win64> --target install_exe)"
    exit 77
  fi
  dlls=$("$objdump" -p "$image" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
  [ -n "$dlls" ] || { echo "FAIL $image: no import table read"; failures=$((failures + 1)); continue; }
  for dll in $dlls; do
    name=${dll%.dll}
    if [ "$name" = comctl32 ]; then
      grep -aq 'Microsoft.Windows.Common-Controls' "$image" && continue
      echo "FAIL $image imports comctl32.dll without the manifest's dependency on the system's copy"
    elif [[ "$allowed" != *" $name "* ]]; then
      echo "FAIL $image imports $dll, which Windows may load from the image's own folder"
    else
      continue
    fi
    failures=$((failures + 1))
  done
  echo "$image imports: $(echo $dlls)"
done
[ "$failures" -eq 0 ]
