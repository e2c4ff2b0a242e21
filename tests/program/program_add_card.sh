#!/usr/bin/env bash
# Adding a card with real keystrokes: New, the four required fields and a
# mobile number typed through the tab order, Save, Exit; the card file then
# holds exactly the typed values and the live flag.
# shellcheck source=tests/program/lib.sh
source "$(dirname "$0")/lib.sh"
pt_init "$1"

pt_install namecards
pt_start "$PT_DIR/namecards"
pt_wait_window "澄岚名片管理系统"
pt_focus

pt_key alt+n
pt_type "张三"               # name, focused by New
pt_key Tab
pt_type "北方仪器公司"       # company
pt_key Tab Tab Tab           # department, position, office phone
pt_type "010-62751234"
pt_key Tab Tab               # fax, company address
pt_type "北京市海淀路5号"
pt_key Tab Tab Tab Tab Tab   # city, web, e-mail, home phone, mobile
pt_type "13900001111"
pt_key alt+s

saved() {
    [[ $(pt_sql "select count(*) from Dept") == 1 ]]
}
pt_wait_until 10 saved

pt_key alt+x
pt_wait_exit
pt_expect_eq 0 "$PT_STATUS" "exit status after Exit"

pt_expect_eq "张三|北方仪器公司|<NULL>|<NULL>|010-62751234|<NULL>|北京市海淀路5号|<NULL>|<NULL>|<NULL>|<NULL>|13900001111|<NULL>|<NULL>|否" \
    "$(pt_sql "select Name, Dept, Part, Job, JPhone, Fax, JAddress, City, WWW, E_Mail, HPhone, Moblio, HAddress, Des, Del from Dept")" \
    "the saved card"
