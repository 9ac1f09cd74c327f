#!/usr/bin/env bash
# The audit of a fleet: MACHINES generated Windows partitions (a SOFTWARE hive, a user's
# NTUSER.DAT and UsrClass.dat each, every tenth's UsrClass.dat a real one with a finding in it),
# audited one moxalo-cli per machine with GNU parallel, on 1 core and then on 2. Prints the
# throughput in machines per second and how it scales. Installs what it needs, builds moxalo-cli, generates
# the machines once (bench/out/fleet/).
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${MOXALO_BUILD:-$top/build}
out=$top/bench/out/fleet
cli=$build/bin/moxalo-cli
gen=$build/bin/moxalo-bench-gen
machines=${MOXALO_FLEET_MACHINES:-1000}
# Each machine's classes: a small office PC's, so that the fleet's hives fit a laptop's disk.
root_keys=3000
extensions=300
# A real user's classes with a low finding (Procmon.exe run from the Desktop opens .PML).
finding_hive=$top/../shared/hives/win7-small-UsrClass.dat

if ! command -v parallel >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends parallel
fi
"$top/scripts/setup.sh" moxalo-cli moxalo-bench-gen >/dev/null

# machine N: writes $out/machines/pc-N as a Windows partition holds its hives.
machine() {
  local dir=$out/machines/pc-$(printf %04d "$1")
  local classes=$dir/Users/user/AppData/Local/Microsoft/Windows/UsrClass.dat
  [ "$classes" -nt "$gen" ] && return
  mkdir -p "$dir/Windows/System32/config" "$dir/Users/user/AppData/Local/Microsoft/Windows"
  "$gen" --software --root-keys $root_keys --extensions $extensions --seed "$1" \
    --hive "$dir/Windows/System32/config/SOFTWARE"
  "$gen" --ntuser "$dir/Users/user/NTUSER.DAT" --file-exts $extensions --seed "$1"
  if [ $(($1 % 10)) -eq 0 ] && [ -f "$finding_hive" ]; then
    cp "$finding_hive" "$classes"
  else
    "$gen" --root-keys 1 --extensions 0 --seed "$1" --hive "$classes"
  fi
}
export -f machine
export out gen root_keys extensions finding_hive
echo "Generating $machines machines in $out/machines..." >&2
seq 1 "$machines" | parallel -j "$(nproc)" machine
mapfile -t folders < <(find "$out/machines" -mindepth 1 -maxdepth 1 -name 'pc-*' | sort |
  head -n "$machines")

# audit_all JOBS: sets `t`, the wall time of auditing every machine with JOBS at once, into
# $out/audit-JOBS.jsonl. Status 3 (findings) is an answer; any other than 0 fails the run.
audit_all() {
  local t0 t1
  t0=$(date +%s.%N)
  printf '%s\n' "${folders[@]}" |
    parallel -j "$1" --halt now,fail=1 \
      "'$cli' --registry {} audit --format jsonl --label {/} || [ \$? -eq 3 ]" \
      >"$out/audit-$1.jsonl"
  t1=$(date +%s.%N)
  t=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.2f", b - a }')
}

echo "The audit of ${#folders[@]} machines ($root_keys classes, $extensions extensions each), one"
echo "moxalo-cli per machine under GNU parallel; load average as it begins: $(cut -d' ' -f1-3 \
  /proc/loadavg), on $(nproc) cores."
printf '%-28s %9s %16s %10s\n' "jobs" "wall s" "machines per s" "findings"
declare -A rate
for jobs in 1 2; do
  audit_all $jobs
  rate[$jobs]=$(awk -v n="${#folders[@]}" -v t="$t" 'BEGIN { printf "%.1f", n / t }')
  printf '%-28s %9s %16s %10s\n' "parallel -j $jobs" "$t" "${rate[$jobs]}" \
    "$(grep -c '"record": "finding"' "$out/audit-$jobs.jsonl" || true)"
done
cmp -s <(sort "$out/audit-1.jsonl") <(sort "$out/audit-2.jsonl") ||
  { echo "FAIL: the runs on 1 and 2 cores found different findings" >&2; exit 1; }
echo "Scaling from 1 to 2 jobs: $(awk -v a="${rate[1]}" -v b="${rate[2]}" \
  'BEGIN { printf "%.2fx", b / a }') (2.00x is perfect)"
