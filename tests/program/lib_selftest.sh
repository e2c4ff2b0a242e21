#!/usr/bin/env bash
# lib.sh itself, on a one-line Qt edit ($2): find the window by its exact
# title, focus it, type Chinese, ASCII and other text, and read the exit status.
# shellcheck source=tests/program/lib.sh
source "$(dirname "$0")/lib.sh"
pt_init "$1"
probe=$2

pt_install
title='lib.sh self-test (1+1) [ok]'
text='王建国 (021)5888-1234 北京市海淀区中关村南大街27号 上海恒睿精密仪器有限公司 精密测量仪器、'
text+='实验室分析设备的研发、生产与销售·Abc~!@#$%^&*_+={}|:"<>?`'"'"'𠀀'
pt_start "$probe" "$title" "$PT_DIR/typed.txt"
pt_wait_window "$title"
pt_expect_eq "$title" "$(pt_window_title)" "window title"
pt_focus
pt_type "$text"
pt_type "再来"
pt_key Return
pt_wait_exit
pt_expect_eq 3 "$PT_STATUS" "exit status of the probe after Return"
pt_expect_eq "$text再来" "$(cat "$PT_DIR/typed.txt")" "typed text"
pt_expect_eq 0 "$(pt_sql "select count(*) from Dept")" "cards in the new card file"
