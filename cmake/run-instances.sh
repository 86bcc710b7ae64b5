#!/bin/sh
# Runs every instance of a parameterised test case in a process of its own, so that
# each starts from fresh process-wide state, as plain test cases do.
# Usage: run-instances.sh RUNNER PROGRAM FILTER
runner=$1 program=$2 filter=$3
names=$("$runner" "$program" --gtest_list_tests --gtest_filter="$filter" | tr -d '\r' | awk '
  /^[^ ]/ { suite = $1; next }
  /^  [^ ]/ { print suite $1 }')
if [ -z "$names" ]; then
  echo "No tests ran: nothing matches $filter"
  exit 1
fi
rc=0
for name in $names; do
  "$runner" "$program" --gtest_filter="$name" || rc=1
done
exit $rc
