#!/usr/bin/env bash
# tools/run --unattended against a built tree: a periodic request from the shipped host value
# file is accepted and its first run writes an output; value files the dialog cannot take are
# refused with a message and send nothing; a broken demo installation or a build without the
# daemon stops with a sentence saying what is missing and how to fix it.
set -uo pipefail
root=$1
build=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }

run() { BUILD_DIR=$build "$root/tools/run" --no-build --unattended "$@" >"$tmp/out" 2>"$tmp/err"; }
jobCount() {
  NUV_REGISTRY=$tmp/demo/registry.reg "$build/bin/reportcounterd" jobs | tail -n 1 | cut -d' ' -f1
}

# --- the request of the shipped value file and its first run --------------------------------
if ! run --demo "$tmp/demo"; then
  cat "$tmp/out" "$tmp/err" >&2
  fail "the shipped request did not go through"
fi
grep -q '^ResultCode=1$' "$tmp/out" || fail "no ResultCode=1: $(cat "$tmp/out")"
grep -qE '^ResultValue=Job [0-9]+ accepted: KELT58 runs .*; first run at ' "$tmp/out" ||
  fail "the reply is not a periodic job's: $(cat "$tmp/out")"
grep -qE '^Job=[0-9]+ +waiting +KELT58 +DS +periodic' "$tmp/out" ||
  fail "the job line is missing: $(cat "$tmp/out")"
grep -q 'runs every day at 06:30' "$tmp/out" ||
  fail "the execution time of the value file (06:30) was not kept: $(cat "$tmp/out")"
grep -qE '^Run=[0-9]+ of job [0-9]+ for [0-9-]+ [0-9:]+: done$' "$tmp/out" ||
  fail "the run line is missing: $(cat "$tmp/out")"
output=$(sed -n 's/^Output=//p' "$tmp/out")
[[ -s "$output" ]] || fail "the run's output $output does not exist"
[[ "$output" == "$tmp/demo/"* ]] || fail "the output $output is not in the demo's folder"
grep -q 'B01-' "$output" || fail "the output does not hold the chosen items"
ls "$tmp/demo/"*.ini >/dev/null
grep -q '^ServerPort=8211$' "$tmp/demo/TarvelC.ini" || fail "the demo's own client file was changed"

# --- value files the dialog cannot take: a message, nothing sent -----------------------------
long=$(printf 'X%.0s' $(seq 1 41))
while IFS='|' read -r label values expected; do
  [[ -z "$label" ]] && continue
  printf '{"runMode": 2, "values": %s}\n' "$values" >"$tmp/bad.json"
  before=$(jobCount)
  if run --demo "$tmp/demo" --values "$tmp/bad.json"; then
    fail "$label: accepted"
  fi
  grep -qF -- "$expected" "$tmp/err" || fail "$label: no \"$expected\" in: $(cat "$tmp/err")"
  grep -q '^Job=' "$tmp/out" && fail "$label: a job was reported"
  [[ "$(jobCount)" == "$before" ]] || fail "$label: a job was stored"
done <<CASES
unknown name|[{"name": "sp99", "value": "A"}]|無法依名稱設定欄位值：sp99
check box given a list|[{"name": "chk05", "value": ["Y"]}]|無法依名稱設定欄位值：chk05
range given to a list-only panel|[{"name": "sp03", "value": {"range": ["A", "C"]}}]|無法依名稱設定欄位值：sp03
date in the wrong layout|[{"name": "me01", "value": "2099-01-31"}]|無法依名稱設定欄位值：me01
item text longer than the field|[{"name": "sp04", "value": {"range": ["$long", "B"]}}]|無法依名稱設定欄位值：sp04
hour past the spin edit's range|[{"name": "sePeriodHour", "value": "24"}]|無法依名稱設定欄位值：sePeriodHour
minute that is not a number|[{"name": "sePeriodMin", "value": "3O"}]|無法依名稱設定欄位值：sePeriodMin
not a values file|{"sp04": 1|is not valid
CASES

# --- a broken installation: what is missing and how to fix it --------------------------------
cp -a "$tmp/demo" "$tmp/nodb"
rm -f "$tmp/nodb/NuvDemo.db"
run --demo "$tmp/nodb" && fail "ran without a database"
grep -q "has no database NuvDemo.db. Run tools/install-demo $tmp/nodb" "$tmp/err" ||
  fail "missing database: $(cat "$tmp/err")"

cp -a "$tmp/demo" "$tmp/noreg"
rm -f "$tmp/noreg/registry.reg"
run --demo "$tmp/noreg" && fail "ran without a registry file"
grep -q "has no registry file registry.reg. Run tools/install-demo $tmp/noreg" "$tmp/err" ||
  fail "missing registry: $(cat "$tmp/err")"

mkdir -p "$tmp/nodaemon/bin"
ln -s "$build/modules" "$tmp/nodaemon/modules"
BUILD_DIR=$tmp/nodaemon "$root/tools/run" --no-build --unattended --demo "$tmp/demo" \
  >"$tmp/out" 2>"$tmp/err" && fail "ran without the daemon"
grep -q "reportcounterd is missing: the build did not make it" "$tmp/err" ||
  fail "missing daemon: $(cat "$tmp/err")"

echo '[ReportCounter]' >>"$tmp/demo/TarvelS.ini"
echo "QueueFile=$tmp/demo/NuvDemo.db/queue.db" >>"$tmp/demo/TarvelS.ini"
run --demo "$tmp/demo" && fail "ran with a daemon that cannot start"
grep -q "reportcounterd did not start" "$tmp/err" || fail "daemon not starting: $(cat "$tmp/err")"

((failures == 0)) || exit 1
echo "tools/run: ok"
