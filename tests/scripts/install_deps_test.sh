#!/usr/bin/env bash
# scripts/install-deps against stub apt-get, dpkg, dpkg-query, id and sleep:
# a mirror caught mid-sync (an index that fails every time, or once) and a
# wine32:i386 that cannot be installed must still leave every other package
# installed and say in one line that the win32 tier is skipped.
set -u
script=$(cd "$(dirname "$0")/../.." && pwd)/scripts/install-deps
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

mkdir -p "$work/bin"
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
grep -qxF "$3" "$STATE/installed" && echo 'install ok installed'
exit 0
STUB
cat >"$work/bin/dpkg" <<'STUB'
#!/bin/sh
[ "$1" = --add-architecture ] && echo "$2" >>"$STATE/architectures"
[ "$1" = --print-foreign-architectures ] && cat "$STATE/architectures" 2>/dev/null
exit 0
STUB
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/sh
echo "$*" >>"$STATE/apt-calls"
if [ "$1" = update ]; then
  left=$(cat "$STATE/update-failures")
  [ "$left" -gt 0 ] || exit 0
  echo $((left - 1)) >"$STATE/update-failures"
  echo "E: File has unexpected size. Mirror sync in progress?" >&2
  exit 100
fi
for p in "$@"; do
  case "$p" in -*|install) ;; *) grep -qxF "$p" "$STATE/unavailable" && exit 100 ;; esac
done
for p in "$@"; do
  case "$p" in -*|install) ;; *) echo "$p" >>"$STATE/installed" ;; esac
done
STUB
printf '#!/bin/sh\necho "$UID_STUB"\n' >"$work/bin/id"
printf '#!/bin/sh\n' >"$work/bin/sleep"
chmod +x "$work/bin"/*

required=$(sed -n '/^packages=(/,/^)/p' "$script" | grep -v '^ *#' | sed 's/packages=(//; s/)//' | tr -s ' \n' '\n' | grep -v '^$')

# case | uid | MAKELEVEL | installed first | update failures | unavailable | exit | installed after | apt calls | skip line
cases=(
  "fresh machine, failing index, no wine32|0||none|99|wine32:i386|0|required|5|yes"
  "fresh machine, index fails once|0||none|1||0|all|4|no"
  "only wine32 missing, from make|0|1|required||wine32:i386|0|required|0|yes"
  "only wine32 missing, not root|1000||required||wine32:i386|0|required|0|yes"
  "only wine32 missing, run by hand|0||required|0|wine32:i386|0|required|2|yes"
  "packages missing, not root|1000||none|0||1|none|0|no"
  "everything there|0||all|0||0|all|0|no"
)
for row in "${cases[@]}"; do
  IFS='|' read -r name uid makelevel first fails unavailable want_exit want_after want_calls want_skip <<<"$row"
  STATE=$work/state-$RANDOM
  mkdir -p "$STATE"
  : >"$STATE/installed"; : >"$STATE/apt-calls"
  echo "${fails:-0}" >"$STATE/update-failures"
  echo "$unavailable" >"$STATE/unavailable"
  case "$first" in
    required) echo "$required" >"$STATE/installed" ;;
    all) { echo "$required"; echo wine32:i386; } >"$STATE/installed" ;;
  esac
  out=$(PATH="$work/bin:$PATH" STATE=$STATE UID_STUB=$uid MAKELEVEL=$makelevel "$script" 2>&1)
  status=$?
  case "$want_after" in
    required) want=$(echo "$required" | sort) ;;
    all) want=$({ echo "$required"; echo wine32:i386; } | sort) ;;
    none) want= ;;
  esac
  got=$(sort -u "$STATE/installed" | grep -v '^$')
  calls=$(wc -l <"$STATE/apt-calls")
  skips=$(grep -c 'the win32 tier will be skipped' <<<"$out")
  problems=()
  [ "$status" = "$want_exit" ] || problems+=("exit $status, want $want_exit")
  [ "$got" = "$want" ] || problems+=("installed differs: $(comm -3 <(echo "$got") <(echo "$want") | tr '\n' ' ')")
  [ "$calls" = "$want_calls" ] || problems+=("$calls apt-get calls, want $want_calls")
  { [ "$want_skip" = yes ] && [ "$skips" = 1 ]; } || { [ "$want_skip" = no ] && [ "$skips" = 0 ]; } ||
    problems+=("$skips lines about the win32 tier")
  if [ ${#problems[@]} -gt 0 ]; then
    failures=$((failures + 1))
    echo "FAILED: $name: ${problems[*]}"
    echo "$out" | sed 's/^/    /'
  else
    echo "ok: $name"
  fi
done
[ "$failures" -eq 0 ]
