#!/usr/bin/env bash
# Times moxalo-cli's catalogue on a synthetic HKEY_CLASSES_ROOT of a large machine's size, next
# to the tools a user would otherwise reach for to get the same answer from the same hive, and
# checks the targets. Installs what it needs, builds the project, generates the registries once.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${MOXALO_BUILD:-$top/build}
out=$top/bench/out
cli=$build/bin/moxalo-cli
gen=$build/bin/moxalo-bench-gen
window=$build/bin/moxalo-bench-window
regedit=$build/bin/moxalo-regedit

full_keys=60000 # a large machine's HKEY_CLASSES_ROOT; libhivex reads at most 70 000 subkeys
full_extensions=8000
verbs=3
order_verbs=4 # for the order test: a few more keys, to pass 200 000
open_with=0.25
many_values=8000 # values imported into one key of a hive: a .reg of about 200 KB
# Another build's moxalo-cli (one of an earlier commit, say), timed beside this one on each
# kind of source, for "no slower than before" on a machine whose speed the goals do not fit.
baseline=${MOXALO_BENCH_BASELINE:-}
runs=9     # each command runs this often and its best wall time counts...
budget=10  # ...but is not started again once its runs have taken this many seconds

install_tools() {
  local packages=(reglookup libhivex-bin libwin-hivex-perl time) missing=() p sudo=""
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# generate KEYS EXTENSIONS STEM: writes STEM.hive, STEM.reg and the Wine prefix STEM-prefix/
# unless they are newer than the generator.
generate() {
  local stem=$3
  if [ "$stem.hive" -nt "$gen" ] && [ "$stem.reg" -nt "$gen" ] &&
    [ "$stem-prefix/system.reg" -nt "$gen" ]; then
    return
  fi
  echo "Generating $stem.hive, $stem.reg and $stem-prefix/..." >&2
  "$gen" --software --root-keys "$1" --extensions "$2" --verbs "$verbs" --open-with "$open_with" \
    --hive "$stem.hive" --reg "$stem.reg" --wine "$stem-prefix"
}

# generate_user FILE: an NTUSER.DAT whose FileExts name the extensions of the full registry,
# half of them with a UserChoice.
generate_user() {
  [ "$1" -nt "$gen" ] && return
  echo "Generating $1..." >&2
  "$gen" --ntuser "$1" --file-exts $full_extensions
}

# generate_order ORDER FILE: the .reg export of the order test, its keys in ORDER.
generate_order() {
  [ "$2" -nt "$gen" ] && return
  echo "Generating $2..." >&2
  "$gen" --root-keys $full_keys --extensions $full_extensions --verbs $order_verbs \
    --open-with "$open_with" --reg "$2" --order "$1"
}

# run_once COMMAND...: sets `t` (wall time, s) and `m` (peak memory, KB) of one run with stdout
# to /dev/null. Returns 1, showing the error, when the command fails.
run_once() {
  local t0 t1
  t0=$(date +%s.%N)
  if ! /usr/bin/time -f '%M' -o "$out/peak.txt" "$@" >/dev/null 2>"$out/stderr.txt"; then
    echo "FAILED: $*" >&2
    cat "$out/stderr.txt" >&2
    return 1
  fi
  t1=$(date +%s.%N)
  t=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }')
  m=$(tail -n 1 "$out/peak.txt")
}

lesser() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

# measure COMMAND...: sets `best` (best wall time, s) and `peak` (largest peak memory, KB) over
# its runs.
measure() {
  best="" peak=0
  local spent=0 n=0
  while [ $n -lt $runs ] && awk -v s="$spent" -v b="$budget" 'BEGIN { exit !(s < b) }'; do
    run_once "$@" || return 1
    spent=$(awk -v s="$spent" -v t="$t" 'BEGIN { print s + t }')
    best=$(lesser "$best" "$t")
    [ "$m" -gt "$peak" ] && peak=$m
    n=$((n + 1))
  done
}

# wine_query PREFIX: sets `t`, the wall time of `wine reg query` of a key that every prefix
# has, with no wineserver running before, so that the server starts and loads the prefix's
# registry for it. Returns 1 when the query fails.
wine_query() {
  local t0 t1 status=0
  WINEPREFIX=$1 wineserver -k 2>/dev/null || true
  WINEPREFIX=$1 wineserver -w 2>/dev/null || true
  t0=$(date +%s.%N)
  WINEPREFIX=$1 WINEDEBUG=-all wine reg query 'HKLM\Software\Classes\.ini' >/dev/null 2>&1 ||
    status=1
  t1=$(date +%s.%N)
  WINEPREFIX=$1 wineserver -k 2>/dev/null || true
  t=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }')
  return $status
}

# wine_peer: Wine's own loading of the generated classes, the peer of list from the prefix: one
# key queried in a fresh prefix with the classes appended to its system.reg, less the same in
# the fresh prefix as it is. Sets `wine_load`; without wine, says so and leaves it empty.
wine_load=""
wine_peer() {
  echo
  if ! command -v wine >/dev/null || ! command -v wineserver >/dev/null; then
    echo "Wine's own loading is not timed: wine is not installed (Debian package wine)."
    return
  fi
  local fresh=$out/wine-fresh with=$out/wine-classes
  if [ ! -f "$fresh/system.reg" ]; then
    echo "Making a fresh Wine prefix..." >&2
    rm -rf "$fresh"
    WINEPREFIX=$fresh WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init \
      >/dev/null 2>&1
    WINEPREFIX=$fresh wineserver -w
  fi
  # A prefix is hundreds of MB: the copy links its files, all but the registry's own, which
  # wineserver replaces rather than rewrites when it saves.
  rm -rf "$with" && cp -al "$fresh" "$with" && rm "$with/system.reg"
  { cat "$fresh/system.reg"; tail -n +5 "$stem-prefix/system.reg"; } >"$with/system.reg"
  local with_best="" plain_best="" with_t round
  for ((round = 0; round < 5; round++)); do
    if ! { wine_query "$with" && with_t=$t && wine_query "$fresh"; }; then
      echo "Wine's own loading is not timed: wine reg query failed in $with or $fresh."
      rm -rf "$with"
      return
    fi
    with_best=$(lesser "$with_best" "$with_t")
    plain_best=$(lesser "$plain_best" "$t")
  done
  rm -rf "$with"
  wine_load=$(calc %.4f "$with_best - $plain_best")
  echo "Wine's own loading of the same classes: wine reg query of one key in a fresh prefix, with"
  echo "the classes appended to its system.reg and without (best of 5 each):"
  printf '%-50s %9s\n' "wine reg query, with the classes" "$with_best"
  printf '%-50s %9s\n' "wine reg query, fresh prefix" "$plain_best"
  printf '%-50s %9s\n' "wineserver's loading of the classes (difference)" "$wine_load"
  printf '%-50s %9s %s\n' "moxalo-cli list from the prefix" "${source_list[wine]}" \
    "($(calc %.1fx "$wine_load / ${source_list[wine]}") faster)"
}

calc() { awk "BEGIN { printf \"$1\", $2 }"; }

# row LABEL [peer]: one line of the timing table from `best` and `peak`; a peer's line shows
# how many times longer than `list` it took.
row() {
  local ratio="-"
  [ "${2:-}" = peer ] && [ -n "$list_best" ] && ratio=$(calc "%.1fx" "$best / $list_best")
  printf '%-50s %9s %9s %11s\n' "$1" "$best" "$(calc %.1f "$peak / 1024")" "$ratio"
}

verdict() { awk "BEGIN { exit !($1) }" && echo PASS || echo FAIL; }

has_command() { "$cli" --help | grep -q "^  $1"; }

install_tools
"$top/scripts/setup.sh"
mkdir -p "$out"

stem=$out/classes-$full_keys
full=$stem.hive
for keys in $((full_keys / 4)) $((full_keys / 2)) $full_keys; do
  generate $keys $((full_extensions * keys / full_keys)) "$out/classes-$keys"
done
for order in sorted reverse shuffled; do
  generate_order $order "$out/order-$order.reg"
done
hive_bytes=$(stat -c %s "$full")
hive_kb=$(calc %.0f "$hive_bytes / 1024")

echo "Synthetic HKEY_CLASSES_ROOT: $full_keys root keys, $full_extensions extensions, $verbs verbs" \
  "per type, $(calc %.0f "$open_with * 100")% of extensions with an OpenWithList (seed 1)"
echo "Hive: $full, $(calc %.1f "$hive_bytes / 1048576") MB, shaped as a SOFTWARE hive (the classes"
echo "under the root key Classes), so reglookup and hivexregedit read only \\Classes as they would"
echo "on a real machine; hivexml has no path option and reads the whole hive (nothing else is in it)."
echo "Load average (1, 5, 15 min) as the timings begin: $(cut -d' ' -f1-3 /proc/loadavg), on" \
  "$(nproc) cores: the targets' times are for an idle machine."
echo "Wall time is the best of up to $runs runs (fewer once a command has taken ${budget} s);"
echo "peak memory is the largest resident size of any run."
echo

list_best="" save_best="" list_peak="" save_peak=""
printf '%-50s %9s %9s %11s\n' "command" "wall s" "peak MB" "peer/list"
measure cat "$full"
row "cat HIVE > /dev/null (the floor)"
if has_command list; then
  measure "$cli" --registry "$full" list
  list_peak=$peak
  row "moxalo-cli list"
  list_best=$best
  rows=$("$cli" --registry "$full" list | wc -l)
else
  echo "moxalo-cli has no list command yet"
fi
if has_command save-list; then
  measure "$cli" --registry "$full" save-list --extended "$out/list-extended.txt"
  save_best=$best save_peak=$peak
  row "moxalo-cli save-list --extended FILE"
fi

peers=("reglookup -p /Classes HIVE" "hivexml HIVE" "hivexregedit --export HIVE '\\Classes'")
fastest="" fastest_name=""
measure reglookup -p /Classes "$full"
row "${peers[0]}" peer
fastest=$best fastest_name=reglookup
measure hivexml "$full"
row "${peers[1]}" peer
hivexml_best=$best
awk -v b="$best" -v f="$fastest" 'BEGIN { exit !(b < f) }' && fastest=$best fastest_name=hivexml
measure hivexregedit --export "$full" '\Classes'
row "${peers[2]}" peer
hivexregedit_best=$best
awk -v b="$best" -v f="$fastest" 'BEGIN { exit !(b < f) }' && fastest=$best fastest_name=hivexregedit

# The three kinds of source of the same registry: the hive, the .reg export and the Wine
# prefix (whose system.reg is the file read).
declare -A source_path source_file source_list source_save source_peak source_cat base_list
source_kinds=(hive .reg wine)
source_of() { # source_of KIND STEM: sets `path` (for --registry) and `file` (the bytes read)
  case $1 in
  hive) path=$2.hive file=$2.hive ;;
  .reg) path=$2.reg file=$2.reg ;;
  wine) path=$2-prefix file=$2-prefix/system.reg ;;
  esac
}
if [ -n "$list_best" ]; then
  echo
  echo "list rows: $rows (extensions generated: $full_extensions)"
  echo
  echo "Each kind of source of the same registry: list and save-list --extended (best wall time),"
  echo "the source file read per second of list, peak memory, and list's time over cat's of the file:"
  printf '%-6s %8s %8s %8s %9s %8s %9s %8s %8s\n' "source" "file MB" "cat s" "list s" "MB/s" \
    "peak MB" "peak/file" "list/cat" "save s"
  for kind in "${source_kinds[@]}"; do
    source_of "$kind" "$stem"
    source_path[$kind]=$path source_file[$kind]=$file source_peak[$kind]=0
  done
  # list from the kinds in turn, so that other load on the machine falls on all of them alike
  for ((round = 0; round < runs; round++)); do
    for kind in "${source_kinds[@]}"; do
      run_once "$cli" --registry "${source_path[$kind]}" list
      source_list[$kind]=$(lesser "${source_list[$kind]:-}" "$t")
      [ "$m" -gt "${source_peak[$kind]}" ] && source_peak[$kind]=$m
      if [ -n "$baseline" ] && run_once "$baseline" --registry "${source_path[$kind]}" list; then
        base_list[$kind]=$(lesser "${base_list[$kind]:-}" "$t")
      fi
    done
  done
  for kind in "${source_kinds[@]}"; do
    file=${source_file[$kind]}
    measure cat "$file"
    source_cat[$kind]=$best
    measure "$cli" --registry "${source_path[$kind]}" save-list --extended "$out/list-extended.txt"
    source_save[$kind]=$best
    bytes=$(stat -c %s "$file")
    printf '%-6s %8s %8s %8s %9s %8s %9s %8s %8s\n' "$kind" "$(calc %.1f "$bytes / 1048576")" \
      "${source_cat[$kind]}" "${source_list[$kind]}" \
      "$(calc %.0f "$bytes / 1048576 / ${source_list[$kind]}")" \
      "$(calc %.1f "${source_peak[$kind]} / 1024")" \
      "$(calc %.2f "${source_peak[$kind]} * 1024 / $bytes")" \
      "$(calc %.1fx "${source_list[$kind]} / ${source_cat[$kind]}")" "${source_save[$kind]}"
  done

  if [ -n "$baseline" ]; then
    echo
    echo "list beside the baseline build $baseline (best wall time, the runs taking turns):"
    printf '%-6s %11s %11s %14s\n' "source" "baseline s" "this s" "this/baseline"
    for kind in "${source_kinds[@]}"; do
      [ -n "${base_list[$kind]:-}" ] || continue
      printf '%-6s %11s %11s %14s\n' "$kind" "${base_list[$kind]}" "${source_list[$kind]}" \
        "$(calc %.2f "${source_list[$kind]} / ${base_list[$kind]}")"
    done
  fi
  echo
  echo "A .reg export whatever the order of its keys (list, best wall time):"
  order_keys=$(iconv -f UTF-16LE -t UTF-8 "$out/order-sorted.reg" | grep -c '^\[')
  printf '%-10s %9s %9s\n' "order" "keys" "wall s"
  declare -A order_best
  for order in sorted reverse shuffled; do
    measure "$cli" --registry "$out/order-$order.reg" list
    order_best[$order]=$best
    printf '%-10s %9s %9s\n' "$order" "$order_keys" "$best"
  done

  echo
  echo "The load and the scan are linear (list, best wall time; the sizes take turns, so that"
  echo "other load on the machine falls on all of them alike):"
  sizes=($((full_keys / 4)) $((full_keys / 2)) $full_keys)
  declare -A size_best
  for ((round = 0; round < runs; round++)); do
    for kind in "${source_kinds[@]}"; do
      for keys in "${sizes[@]}"; do
        source_of "$kind" "$out/classes-$keys"
        run_once "$cli" --registry "$path" list
        size_best[$kind$keys]=$(lesser "${size_best[$kind$keys]:-}" "$t")
      done
    done
  done
  printf '%-6s %-10s %-11s %9s %16s\n' "source" "root keys" "extensions" "wall s" "ms per 1000 keys"
  for kind in "${source_kinds[@]}"; do
    for keys in "${sizes[@]}"; do
      printf '%-6s %-10s %-11s %9s %16s\n' "$kind" "$keys" "$((keys * full_extensions / full_keys))" \
        "${size_best[$kind$keys]}" "$(calc %.2f "${size_best[$kind$keys]} * 1000000 / $keys")"
    done
  done
  wine_peer
fi

# The registry editor's stand-in: the whole registry exported from the hive, and that export
# imported into an empty store of each kind (copied afresh for every run).
regedit_export_best=""
regedit_kinds=()
declare -A regedit_import
if [ -x "$regedit" ]; then
  empty=$out/empty
  rm -rf "$empty" && mkdir -p "$empty/prefix"
  "$gen" --software --root-keys 0 --extensions 0 --hive "$empty/SOFTWARE"
  printf 'WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n' \
    >"$empty/prefix/system.reg"
  { printf '\xff\xfe'; printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CLASSES_ROOT]\r\n' |
    iconv -f UTF-8 -t UTF-16LE; } >"$empty/classes.reg"
  echo
  echo "The registry editor's stand-in (moxalo-regedit) on the same registry:"
  printf '%-50s %9s %9s %11s\n' "command" "wall s" "peak MB" "peer/this"
  measure env MOXALO_REGISTRY="$full" "$regedit" /e "$out/regedit-export.reg"
  regedit_export_best=$best
  printf '%-50s %9s %9s %11s\n' "moxalo-regedit /e FILE (all classes, from the hive)" "$best" \
    "$(calc %.1f "$peak / 1024")" "-"
  best=$hivexregedit_best
  printf '%-50s %9s %9s %11s\n' "${peers[2]}" "$best" "-" \
    "$(calc %.1fx "$hivexregedit_best / $regedit_export_best")"
  cmp -s "$out/regedit-export.reg" "$out/classes-$full_keys.reg" ||
    echo "NOTE: the export differs from the generator's .reg file"
  for kind in SOFTWARE prefix classes.reg; do
    rm -rf "$out/work" && mkdir -p "$out/work"
    measure bash -c 'rm -rf "$1" && cp -r "$2" "$1" && MOXALO_REGISTRY=$1 "$3" /I "$4"' _ \
      "$out/work/$kind" "$empty/$kind" "$regedit" "$out/regedit-export.reg"
    regedit_import[$kind]=$best
    regedit_kinds+=("$kind")
    printf '%-50s %9s %9s %11s\n' "moxalo-regedit /I FILE into an empty $kind" "$best" \
      "$(calc %.1f "$peak / 1024")" "-"
  done
  echo
  echo "An import into a hive is linear in the keys of its file (/I into an empty SOFTWARE, best"
  echo "of 3; the sizes take turns):"
  sizes=($((full_keys / 4)) $((full_keys / 2)) $full_keys)
  declare -A import_best
  for keys in "${sizes[@]}"; do
    MOXALO_REGISTRY=$out/classes-$keys.hive "$regedit" /e "$out/regedit-export-$keys.reg"
  done
  for ((round = 0; round < 3; round++)); do
    for keys in "${sizes[@]}"; do
      run_once bash -c 'rm -rf "$1" && cp "$2" "$1" && MOXALO_REGISTRY=$1 "$3" /I "$4"' _ \
        "$out/work/SOFTWARE" "$empty/SOFTWARE" "$regedit" "$out/regedit-export-$keys.reg"
      import_best[$keys]=$(lesser "${import_best[$keys]:-}" "$t")
    done
  done
  printf '%-12s %9s %16s\n' "root keys" "wall s" "ms per 1000 keys"
  for keys in "${sizes[@]}"; do
    printf '%-12s %9s %16s\n' "$keys" "${import_best[$keys]}" \
      "$(calc %.1f "${import_best[$keys]} * 1000000 / $keys")"
    rm -f "$out/regedit-export-$keys.reg"
  done
  echo
  echo "Many values in one key: a .reg of $many_values values in one key, imported into an empty"
  echo "SOFTWARE hive (copied afresh for every run):"
  many=$out/values-$many_values.reg
  { printf '\xff\xfe'
    { printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CLASSES_ROOT\\.many]\r\n'
      seq 1 "$many_values" | sed 's/.*/"v&"="x"\r/'
      printf '\r\n'; } | iconv -f UTF-8 -t UTF-16LE; } >"$many"
  measure bash -c 'rm -f "$1" && cp "$2" "$1" && MOXALO_REGISTRY=$1 "$3" /I "$4"' _ \
    "$out/work/many" "$empty/SOFTWARE" "$regedit" "$many"
  many_best=$best
  many_bytes=$(stat -c %s "$out/work/many")
  printf '%-50s %9s %9s %11s\n' "command" "wall s" "peak MB" "hive MB"
  printf '%-50s %9s %9s %11s\n' "moxalo-regedit /I FILE ($(calc %.0f "$(stat -c %s "$many") / 1024") KB)" \
    "$many_best" "$(calc %.1f "$peak / 1024")" "$(calc %.2f "$many_bytes / 1048576")"
  rm -rf "$out/work"
fi

# What really opens each file: the machine's classes and a user's NTUSER.DAT, list with the
# effective columns beside the plain list of the same two hives, the runs taking turns.
effective_best="" effective_plain=""
user_hive=$out/ntuser-$full_extensions.hive
# The generated hive's keys have no owner to tell the SID; given, every choice's hash is checked.
user_sid=S-1-5-21-1000-2000-3000-1001
if [ -n "$list_best" ] && "$cli" list --help 2>&1 | grep -q -- --effective; then
  generate_user "$user_hive"
  for ((round = 0; round < runs; round++)); do
    run_once "$cli" --registry "$full" --registry "$user_hive" --sid "$user_sid" list
    effective_plain=$(lesser "$effective_plain" "$t")
    run_once "$cli" --registry "$full" --registry "$user_hive" --sid "$user_sid" list --effective
    effective_best=$(lesser "$effective_best" "$t")
  done
  echo
  echo "The effective association of every extension: the hive and an NTUSER.DAT of"
  echo "$full_extensions FileExts entries (half with a UserChoice), best of $runs, runs taking turns:"
  printf '%-50s %9s\n' "moxalo-cli list" "$effective_plain"
  printf '%-50s %9s\n' "moxalo-cli list --effective" "$effective_best"
fi

window_best=""
if [ -x "$window" ] && [ -n "$list_best" ]; then
  echo
  echo "The window's scan, from showing the main window to its count caption (offscreen), beside"
  echo "the same scan in moxalo-cli (best of $runs):"
  for ((round = 0; round < runs; round++)); do
    read -r window_rows window_t < <("$window" --registry "$full" 2>/dev/null)
    window_best=$(lesser "$window_best" "$window_t")
  done
  printf '%-50s %9s %9s\n' "moxalo window: scan of $window_rows rows" "$window_best" "-"
  printf '%-50s %9s %9s\n' "moxalo-cli list" "$list_best" "-"
  printf '%-50s %9s\n' "window / cli" "$(calc %.1fx "$window_best / $list_best")"
fi

# The window's extended save, with its bar and caption, under a window manager when there is
# one to start: it redraws the title bar at every change of the caption.
window_save_best=""
if [ -x "$window" ] && [ -n "$save_best" ]; then
  shown=()
  platform="offscreen"
  if command -v Xvfb >/dev/null && command -v openbox >/dev/null; then
    shown=("$top/tests/windows/with_window_manager.sh")
    platform="Xvfb and openbox"
  fi
  for ((round = 0; round < runs; round++)); do
    read -r _ _ window_save_t < <("${shown[@]}" "$window" --registry "$full" \
                                   --save-extended "$out/list-window.txt" 2>/dev/null)
    window_save_best=$(lesser "$window_save_best" "$window_save_t")
  done
  cmp -s "$out/list-window.txt" "$out/list-extended.txt" || window_save_best=""
  echo
  echo "The window's File > Save List (Extended) of the list it shows ($platform), beside"
  echo "moxalo-cli save-list --extended (best of $runs):"
  printf '%-50s %9s\n' "moxalo window: extended save" "${window_save_best:-DIFFERENT FILE}"
  printf '%-50s %9s\n' "moxalo-cli save-list --extended" "$save_best"
fi

echo
printf '%-46s %14s %10s  %s\n' "target" "measured" "goal" "result"
if [ -n "$window_best" ]; then
  printf '%-46s %14s %10s  %s\n' "window scan to its count caption" "$window_best s" "< 2 s" \
    "$(verdict "$window_best < 2")"
fi
if [ -n "$list_best" ]; then
  printf '%-46s %14s %10s  %s\n' "list wall time" "$list_best s" "< 0.25 s" \
    "$(verdict "$list_best < 0.25")"
  printf '%-46s %14s %10s  %s\n' "list speed-up over the fastest peer ($fastest_name)" \
    "$(calc %.1fx "$fastest / $list_best")" ">= 5x" "$(verdict "$fastest / $list_best >= 5")"
  printf '%-46s %14s %10s  %s\n' "list peak memory / hive size" \
    "$(calc %.2f "$list_peak / $hive_kb")" "< 2" "$(verdict "$list_peak / $hive_kb < 2")"
  target() { printf '%-46s %14s %10s  %s\n' "$1" "$2" "$3" "$(verdict "$4")"; }
  target "list from the hive" "${source_list[hive]} s" "< 0.09 s" "${source_list[hive]} < 0.09"
  target "list from the hive, speed-up over hivexml" \
    "$(calc %.1fx "$hivexml_best / ${source_list[hive]}")" ">= 5x" \
    "$hivexml_best / ${source_list[hive]} >= 5"
  target "list from the hive / cat of the hive" \
    "$(calc %.1fx "${source_list[hive]} / ${source_cat[hive]}")" "<= 10x" \
    "${source_list[hive]} <= 10 * ${source_cat[hive]}"
  if [ -n "${base_list[hive]:-}" ]; then
    target "list from the hive, this build / the baseline" \
      "$(calc %.2f "${source_list[hive]} / ${base_list[hive]}")" "<= 1" \
      "${source_list[hive]} <= ${base_list[hive]}"
  fi
  target "list from the .reg export" "${source_list[.reg]} s" "< 0.15 s" \
    "${source_list[.reg]} < 0.15"
  target "list from the Wine prefix" "${source_list[wine]} s" "< 0.10 s" \
    "${source_list[wine]} < 0.10"
  if [ -n "$wine_load" ]; then
    target "list from the prefix, speed-up over wineserver" \
      "$(calc %.1fx "$wine_load / ${source_list[wine]}")" ">= 2x" \
      "$wine_load / ${source_list[wine]} >= 2"
  else
    printf '%-46s %14s %10s  %s\n' "list from the prefix, speed-up over wineserver" "-" ">= 2x" \
      "NOT MEASURED (no wine)"
  fi
  target ".reg of $order_keys keys in reverse order" "${order_best[reverse]} s" "< 1 s" \
    "${order_best[reverse]} < 1"
  for kind in .reg wine; do
    bytes=$(stat -c %s "${source_file[$kind]}")
    target "list peak memory / file size, $kind" \
      "$(calc %.2f "${source_peak[$kind]} * 1024 / $bytes")" "< 3" \
      "${source_peak[$kind]} * 1024 / $bytes < 3"
  done
  for kind in "${source_kinds[@]}"; do
    target "save-list --extended from the $kind" "${source_save[$kind]} s" "< 0.5 s" \
      "${source_save[$kind]} < 0.5"
  done
  # Linear: a key costs no more at the full size than at a quarter (start-up costs aside).
  for kind in "${source_kinds[@]}"; do
    per_key_ratio=$(calc %.2f "${size_best[$kind$full_keys]} / ${size_best[$kind$((full_keys / 4))]} / 4")
    target "time per key, full size / a quarter, $kind" "$per_key_ratio" "<= 1.25" \
      "$per_key_ratio <= 1.25"
  done
else
  printf '%-46s %14s %10s  %s\n' "list" "-" "-" "NOT MEASURED (no list command)"
fi
if [ -n "$effective_best" ]; then
  printf '%-46s %14s %10s  %s\n' "list --effective / list, with NTUSER.DAT" \
    "$(calc %.2fx "$effective_best / $effective_plain")" "<= 2x" \
    "$(verdict "$effective_best <= 2 * $effective_plain")"
else
  printf '%-46s %14s %10s  %s\n' "list --effective" "-" "-" "NOT MEASURED (no list --effective)"
fi
if [ -n "$window_save_best" ]; then
  printf '%-46s %14s %10s  %s\n' "window extended save / (2 x cli + 0.5 s)" \
    "$(calc %.2f "$window_save_best / (2 * $save_best + 0.5)")" "<= 1" \
    "$(verdict "$window_save_best <= 2 * $save_best + 0.5")"
fi
if [ -n "$save_best" ]; then
  printf '%-46s %14s %10s  %s\n' "save-list --extended wall time" "$save_best s" "< 1 s" \
    "$(verdict "$save_best < 1")"
  printf '%-46s %14s %10s  %s\n' "save-list --extended peak memory / hive size" \
    "$(calc %.2f "$save_peak / $hive_kb")" "< 2" "$(verdict "$save_peak / $hive_kb < 2")"
else
  printf '%-46s %14s %10s  %s\n' "save-list --extended" "-" "-" "NOT MEASURED (no save-list)"
fi
if [ -n "$regedit_export_best" ]; then
  printf '%-46s %14s %10s  %s\n' "regedit /e of all classes, wall time" "$regedit_export_best s" \
    "< 0.5 s" "$(verdict "$regedit_export_best < 0.5")"
  printf '%-46s %14s %10s  %s\n' "regedit /e speed-up over hivexregedit --export" \
    "$(calc %.1fx "$hivexregedit_best / $regedit_export_best")" ">= 4x" \
    "$(verdict "$hivexregedit_best / $regedit_export_best >= 4")"
  for kind in "${regedit_kinds[@]}"; do
    printf '%-46s %14s %10s  %s\n' "regedit /I into an empty $kind, wall time" \
      "${regedit_import[$kind]} s" "< 2 s" "$(verdict "${regedit_import[$kind]} < 2")"
  done
  printf '%-46s %14s %10s  %s\n' "regedit /I of $many_values values into one hive key" \
    "$many_best s" "< 1 s" "$(verdict "$many_best < 1")"
  printf '%-46s %14s %10s  %s\n' "hive size after those $many_values values" \
    "$(calc %.2f "$many_bytes / 1048576") MB" "< 5 MB" "$(verdict "$many_bytes < 5 * 1048576")"
else
  printf '%-46s %14s %10s  %s\n' "regedit /e and /I" "-" "-" "NOT MEASURED (no moxalo-regedit)"
fi
rm -f "$out/peak.txt" "$out/stderr.txt"
