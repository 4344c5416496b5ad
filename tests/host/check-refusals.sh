#!/usr/bin/env bash
# The stand-in host stops at every failure of a plugin library with one clear line on
# standard error and a nonzero exit status.
#   check-refusals.sh BIN    (BIN holds duckvolt-host and the misbehaving_* libraries)
set -uo pipefail
bin=$1
scenario=$(mktemp)
echo "talk 1 20 start" >"$scenario"
failures=0
expect() {  # LIBRARY EXPECTED-TEXT
  local errors status=0
  "$bin/duckvolt-host" --plugin "$1" "$scenario" >/dev/null 2>"$scenario.errors" || status=$?
  # The host's own lines; a sanitizer build may add its report of suppressions.
  errors=$(grep '^duckvolt-host:' "$scenario.errors")
  if [ "$status" -ne 0 ] && grep -qF "$2" <<<"$errors" && [ "$(grep -c . <<<"$errors")" -eq 1 ]; then
    echo "refused $(basename "$1") ($status): $errors"
  else
    echo "$(basename "$1"): status $status, expected one line with \"$2\", got:"
    echo "$errors"
    failures=$((failures + 1))
  fi
}
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
expect "$bin/no-such-plugin.so" "cannot load plugin"
expect "$bin/misbehaving_missing.so" "lacks ts3plugin_infoTitle, ts3plugin_freeMemory"
expect "$bin/misbehaving_api.so" "is built for plugin API 10, this host speaks 11"
expect "$bin/misbehaving_trap.so" "the plugin called host function entry 3"
rm -f "$scenario" "$scenario.errors"
exit $failures
