#!/usr/bin/env bash
# Deleting a card with real keystrokes: Delete on the first card, Yes in the
# confirmation (whose default is No), OK on the notice, Exit; the card's row is
# still in the file, marked deleted, and the other card is untouched.
# shellcheck source=tests/program/lib.sh
source "$(dirname "$0")/lib.sh"
pt_init "$1"

pt_install namecards
pt_sql "insert into Dept (Name, Dept, JPhone, JAddress, Del) values
        ('Zhang San', 'Acme', '010-1', 'Road 1', '否'),
        ('Li Si', 'Bolt', '010-2', 'Road 2', '否')"
pt_start "$PT_DIR/namecards"
pt_wait_window "澄岚名片管理系统"
main=$PT_WINDOW
pt_focus

pt_key alt+d
pt_wait_window "删除名片"
pt_focus
pt_key y
pt_wait_window "删除成功提示"
pt_expect_eq "是" "$(pt_sql "select Del from Dept where Name = 'Zhang San'")" \
    "flag while the notice is up"
pt_focus
pt_key Return

pt_focus "$main"
pt_key alt+x
pt_wait_exit
pt_expect_eq 0 "$PT_STATUS" "exit status after Exit"

pt_expect_eq "1|Zhang San|是
2|Li Si|否" "$(pt_sql "select ID, Name, Del from Dept order by ID")" "cards after the deletion"
