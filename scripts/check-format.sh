#!/usr/bin/env bash
# Fails when lines changed in src/, tests/ or bench/ are not formatted as .clang-format says. Only
# changed lines are looked at (git clang-format), so older code is left as it is. Changed means:
# since the merge base with main (origin/main in a clone without a local main), committed or not;
# on main itself with nothing uncommitted, or where no main exists, the last commit.
# Usage: scripts/check-format.sh [SOURCE_DIR]
set -uo pipefail
cd "${1:-$(dirname "$0")/..}" || exit 2
what="formatting of the changed lines"
if ! command -v clang-format >/dev/null 2>&1 || ! command -v git-clang-format >/dev/null 2>&1; then
  echo "not checked: $what: clang-format is not installed (package clang-format)"
  exit 0
fi
if ! git rev-parse --git-dir >/dev/null 2>&1; then
  echo "not checked: $what: not a git checkout"
  exit 0
fi
head=$(git rev-parse HEAD)
base=""
for ref in main origin/main; do
  if git rev-parse -q --verify "$ref^{commit}" >/dev/null; then
    base=$(git merge-base HEAD "$ref") && break
  fi
done
if [ "$base" = "$head" ] && ! git diff --quiet HEAD -- src tests bench; then
  : # uncommitted changes on top of main: those
elif [ -z "$base" ] || [ "$base" = "$head" ]; then
  if ! base=$(git rev-parse -q --verify "HEAD~1^{commit}"); then
    echo "not checked: $what: no earlier commit to compare with (a shallow clone?)"
    exit 0
  fi
fi
echo "format: lines changed since $(git log -1 --format='%h %s' "$base" | cut -c1-80)"
out=$(git clang-format --diff --extensions cpp,h "$base" -- src tests bench 2>&1)
status=$?
if [ $status -ne 0 ] && ! grep -q '^diff ' <<<"$out"; then
  echo "$out"
  echo "format: git clang-format failed" >&2
  exit 2
fi
if grep -q '^diff ' <<<"$out"; then
  echo "$out"
  echo "format: the lines above are not formatted as .clang-format says; 'git clang-format $base' fixes them" >&2
  exit 1
fi
echo "format: every changed line is formatted"
