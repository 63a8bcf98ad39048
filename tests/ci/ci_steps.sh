#!/usr/bin/env bash
# CI runs what the README promises: the README's test command first, unchanged, then the
# clang build and the sanitizer build, each through a script that exists and does what
# its step claims. Reads .ci/run's own list of steps (--dry-run), not its text.
#   ci_steps.sh PROJECT_FOLDER
set -uo pipefail
top=${1:?usage: ci_steps.sh PROJECT_FOLDER}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The test command as the README shows it, without its comment.
readme_command=$(sed -n 's/^\(bash scripts\/kartovel\.sh test\)[[:space:]]*#.*$/\1/p' "$top/README.md")
[ -n "$readme_command" ] || fail "README.md shows no 'bash scripts/kartovel.sh test' line"

steps=$(cd "$top" && bash .ci/run --dry-run) || fail ".ci/run --dry-run failed"
mapfile -t lines < <(sed -n 's/^== //p' <<<"$steps")
expected=("$readme_command" "bash scripts/check-clang" "bash scripts/check-sanitizers")
if [ "${lines[*]}" != "${expected[*]}" ]; then
  fail "the CI steps are"
  printf '  %s\n' "${lines[@]}"
  echo "expected"
  printf '  %s\n' "${expected[@]}"
fi

# What each check script must build: [script]=pattern of its configure or build line.
declare -A promise=(
  [check-clang]='CXX=clang\+\+-14 cmake .*-DBUILD_TESTING=ON'
  [check-sanitizers]='-DKARTOVEL_UI=OFF'
)
for script in "${!promise[@]}"; do
  file=$top/scripts/$script
  [ -f "$file" ] || { fail "scripts/$script is missing"; continue; }
  grep -Eq -- "${promise[$script]}" "$file" || fail "scripts/$script lacks '${promise[$script]}'"
  if ! grep -q -- '--skip-long' "$file" || ! grep -q -- '-LE long' "$file"; then
    fail "scripts/$script does not turn --skip-long into ctest -LE long"
  fi
done
grep -q -- '-fsanitize=address,undefined' "$top/scripts/check-sanitizers" ||
  fail "scripts/check-sanitizers does not build with ASan and UBSan"
grep -q -- '-fno-sanitize-recover=all' "$top/scripts/check-sanitizers" ||
  fail "scripts/check-sanitizers does not stop at the first report"

# The README tells what CI runs.
for name in .ci/run scripts/check-clang scripts/check-sanitizers 'ctest -LE long'; do
  grep -qF -- "$name" "$top/README.md" || fail "README.md does not mention $name"
done

[ "$failures" -eq 0 ] && echo "the CI steps are the README's test command, clang, sanitizers"
exit $((failures > 0))
