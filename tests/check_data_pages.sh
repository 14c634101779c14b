#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every HTML page that lies beside the program (template, help and sample pages) must be
# free of errors by HTML Tidy's reckoning. Warnings are allowed: the sample and template
# pages are written in the old tags the editor inserts.
set -uo pipefail
data="$1"
shopt -s nullglob nocaseglob
pages=("$data"/*.htm "$data"/*.html)
if ((${#pages[@]} == 0)); then echo "no pages in $data"; exit 1; fi
failed=0
for page in "${pages[@]}"; do
    report="$(tidy -errors -q "$page" 2>&1)"
    status=$?
    if ((status >= 2)) || grep -q ' - Error: ' <<<"$report"; then
        echo "FAIL $page (tidy status $status)"
        echo "$report"
        failed=1
    else
        echo "ok   $page"
    fi
done
exit $failed
