#!/usr/bin/env bash
# The soak run (make soak): two running programs applying their pages on one registry file for
# SECONDS while a third changes it without the lock, then the figures: applies of each program,
# writes refused because the file changed, the third program's rewrites and how many of its
# changes were undone. Fails when a change of the two was lost, the file was ever missing or
# half-written, or more than one in a hundred of the third program's changes were undone.
#   scripts/soak.sh BUILD_DIR [SECONDS]
set -euo pipefail

build=${1:?usage: soak.sh BUILD_DIR [SECONDS]}
seconds=${2:-60}
program=$build/tests/app/vlx_soak
[ -x "$program" ] || { echo "soak: $program is not built" >&2; exit 1; }
# Bounded: the programs stop applying at the end of the run; anything still running well after
# it has hung.
export VLX_SOAK_SECONDS=$seconds QT_QPA_PLATFORM=offscreen
timeout --kill-after=10 $((seconds + 120)) "$program" --gtest_filter='Soak.*' --gtest_brief=1
