#!/usr/bin/env bash
# tools/install-demo into a temporary folder: a second run writes nothing and keeps rows users
# added; the registry file names the modules; /etc is refused.
set -euo pipefail
install=$1
modules=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

"$install" --modules "$modules" "$dir/demo" >"$dir/first.log"
grep -q "wrote $dir/demo/NuvDemo.db" "$dir/first.log" || fail "first run made no database"
for f in registry.reg TarvelC.ini TarvelS.ini NuvDemo.db; do
  [[ -s "$dir/demo/$f" ]] || fail "$f missing"
done
grep -qF '[HKEY_CLASSES_ROOT\ProwenWorkCenter.Manager\InprocServer32]' "$dir/demo/registry.reg" ||
  fail "no Manager class in the registry file"
grep -qF "@=\"$modules/ProwenWorkCenter.so\"" "$dir/demo/registry.reg" || fail "Manager path"
grep -qF '[HKEY_LOCAL_MACHINE\Software\NUV\Tarvel]' "$dir/demo/registry.reg" || fail "install key"
[[ $(sqlite3 "$dir/demo/NuvDemo.db" "SELECT MB002 FROM ADMMB WHERE MB001 = 'KELT58'") == 客戶別品號出貨排程表 ]] ||
  fail "no KELT58 program"

sqlite3 "$dir/demo/NuvDemo.db" "INSERT INTO counters VALUES ('NUV01', 'MINE', 7);
  UPDATE COPMA SET MA002 = '改過的名稱' WHERE MA001 = 'C0001'"
before=$(sqlite3 "$dir/demo/NuvDemo.db" "SELECT count(*) FROM INVMB; SELECT count(*) FROM COPMA")
"$install" --modules "$modules" "$dir/demo" >"$dir/second.log"
if grep -q '^wrote' "$dir/second.log"; then fail "second run rewrote: $(grep '^wrote' "$dir/second.log")"; fi
after=$(sqlite3 "$dir/demo/NuvDemo.db" "SELECT count(*) FROM INVMB; SELECT count(*) FROM COPMA")
[[ "$before" == "$after" ]] || fail "row counts changed: $before -> $after"
[[ $(sqlite3 "$dir/demo/NuvDemo.db" "SELECT value FROM counters WHERE name = 'MINE'") == 7 ]] ||
  fail "a user's counter was lost"
[[ $(sqlite3 "$dir/demo/NuvDemo.db" "SELECT MA002 FROM COPMA WHERE MA001 = 'C0001'") == 改過的名稱 ]] ||
  fail "a changed row was overwritten"

if "$install" /etc/nuv-demo 2>/dev/null; then fail "installed into /etc"; fi
echo "install-demo: ok"
