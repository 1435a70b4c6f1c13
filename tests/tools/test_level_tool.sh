# tindral-level as an author runs it: check's exit statuses, solve on every shipped level and
# on the two wall levels, the README's example of solve, and picture. Arguments: the run folder
# and the test data folder.
set -euo pipefail
RUN_DIR=$(cd "$1" && pwd)
DATA=$(cd "$2" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
source "$(dirname "$0")/../blackbox/game.sh"
cd "$WORK"
# The Windows build's tool runs under the Wine runner that TINDRAL_WINE names.
if [ -n "${TINDRAL_WINE:-}" ]; then
  tool=("$TINDRAL_WINE" "$RUN_DIR/tindral-level.exe")
else
  tool=("$RUN_DIR/tindral-level")
fi
levels="$RUN_DIR/Tindral/Levels"

fail() { echo "FAIL: $*" >&2; [ -f out.txt ] && { echo "--- output:"; cat out.txt; } >&2; exit 1; }
pass() { echo "ok: $*"; }
# Runs the tool with its output in out.txt and sets STATUS; one that waits for ever ends (124).
run() {
  STATUS=0
  timeout 250 "${tool[@]}" "$@" >out.raw 2>&1 || STATUS=$?
  console_lines <out.raw >out.txt
}

run
[ "$STATUS" -eq 2 ] && grep -q "^usage: tindral-level check" out.txt || fail "no usage and status 2 without a command"

run check "$levels/1.lvl" "$levels/2.lvl" "$levels/3.lvl"
[ "$STATUS" -eq 0 ] || fail "check of the shipped levels exits $STATUS"
[ "$(grep -c '^no warnings$' out.txt)" -eq 3 ] || fail "not every shipped level is without warnings"
grep -qE '^ +2   1  1  1S 1  1$' out.txt || fail "the top view does not show level 1's start row"
printf '1x1x1x1x1x\n1x1x1x1x1x\n1x1x1Z1x1x\n' >nostart.lvl
run check nostart.lvl
[ "$STATUS" -eq 1 ] && grep -q "^warning  no start" out.txt || fail "a level without a start: status $STATUS"
run check nostart.lvl missing.lvl
[ "$STATUS" -eq 2 ] && grep -q "cannot open missing.lvl" out.txt || fail "a missing file: status $STATUS"
# A FIFO would keep the tool waiting for a writer: it is a file it cannot read. (Windows has
# no FIFOs.)
if [ -z "${TINDRAL_WINE:-}" ]; then
  mkfifo fifo.lvl
  run check fifo.lvl
  [ "$STATUS" -eq 2 ] && grep -q "cannot read fifo.lvl: not a regular file" out.txt || fail "a FIFO: status $STATUS"
fi
# A level saved with a UTF-8 byte-order mark reads as without it; a note says so.
{ printf '\xEF\xBB\xBF'; cat "$levels/1.lvl"; } >marked.lvl
run check marked.lvl
[ "$STATUS" -eq 0 ] && grep -q "^no warnings$" out.txt && grep -q "^note .*byte-order mark" out.txt ||
  fail "a level with a byte-order mark: status $STATUS"
pass "check: 0 for the shipped levels, 1 with a warning, 2 for a file it cannot read (a FIFO too), a note for a byte-order mark"

for n in 1 2 3; do
  run solve "$levels/$n.lvl" --difficulty 2 --fps 60 --out "level$n.plan"
  [ "$STATUS" -eq 0 ] && grep -q "^$levels/$n.lvl: winnable in" out.txt || fail "level $n: status $STATUS"
  steps=$(sed -n 's/^  plan of \([0-9]*\) steps.*/\1/p' out.txt)
  [ "$(grep -vc '^#' "level$n.plan")" -eq "$steps" ] || fail "level $n: the plan file does not hold $steps steps"
  # The player test plays the committed plan; a different one found now is worth knowing.
  cmp -s <(grep -v '^#' "level$n.plan") <(grep -v '^#' "$DATA/level$n.solved.plan") ||
    echo "note: level $n's plan differs from tests/data/level$n.solved.plan (see its first lines to make it again)"
  pass "level $n: $(sed -n 's/.*winnable in \([0-9.]* s\).*/\1/p' out.txt) of game time, $steps steps, $(sed -n 's/.* in \([0-9.]* s\)$/\1/p' out.txt) to solve"
done

# The README shows what `solve` prints for level 2, run from the run folder: it must be what
# the tool prints now (but for the seconds the search took), or the example has gone stale.
readme="$DATA/../../README.md"
example=$(sed -n '/^\$ tindral-level solve Tindral\/Levels\/2.lvl$/,/^```$/p' "$readme" | sed '1d; $d')
[ -n "$example" ] || fail "no example of solve for level 2 in $readme"
mkdir from-run-folder
ln -s "$RUN_DIR/Tindral" from-run-folder/Tindral
(cd from-run-folder && run solve Tindral/Levels/2.lvl && mv out.txt ..)
search_time() { sed 's/^\(  searched .* in \)[0-9.]* s$/\1(seconds) s/'; }
[ "$(search_time <<<"$example")" = "$(search_time <out.txt)" ] || fail "the README's example of solve differs from what the tool prints:
$(diff <(search_time <<<"$example") <(search_time <out.txt))"
pass "the README's example of solve is what the tool prints"

run solve "$DATA/wall-one-higher.lvl" --out wall.plan
[ "$STATUS" -eq 0 ] || fail "the wall one higher: status $STATUS"
run solve "$DATA/wall-two-higher.lvl" --out wall.plan
[ "$STATUS" -eq 1 ] && grep -q "no plan found" out.txt && grep -q "search space is exhausted" out.txt ||
  fail "the wall two higher: status $STATUS"
pass "solve: the wall one higher is winnable, two higher gives no plan"

# The Windows build has no Cairo: it says so and draws nothing.
if [ -n "${TINDRAL_WINE:-}" ]; then
  run picture "$levels/2.lvl" level2.png
  [ "$STATUS" -eq 2 ] && grep -q "draws no pictures, which need Cairo" out.txt && [ ! -e level2.png ] ||
    fail "picture without Cairo: status $STATUS"
  pass "picture: the Windows build says it draws none"
  exit 0
fi
run picture "$levels/2.lvl" level2.png --plan "$DATA/level2.solved.plan"
[ "$STATUS" -eq 0 ] || fail "picture: status $STATUS"
size=$(sed -n 's/^wrote level2.png (\([0-9]*\) x \([0-9]*\) pixels)$/\1x\2/p' out.txt)
[ "$(identify -format '%m %wx%h' level2.png)" = "PNG $size" ] || fail "level2.png is not a PNG of $size"
run picture "$levels/2.lvl" no-folder/level2.png --no-path
[ "$STATUS" -eq 2 ] || fail "picture into a missing folder: status $STATUS"
pass "picture: a PNG of $size, status 2 where it cannot write"
