#!/usr/bin/env bash
# A search from the keyboard in the real program: Alt+Q opens the query window
# in front with the focus on its Query button; one character picks the city
# field and moves on to the content; Alt+Q there narrows the list to the one
# card in that city. Deleting the current card then marks exactly that card,
# which shows that the search made it the current one.
# shellcheck source=tests/program/lib.sh
source "$(dirname "$0")/lib.sh"
pt_init "$1"

main_title="澄岚名片管理系统"
pt_install namecards
pt_sql "insert into Dept (Name, Dept, JPhone, JAddress, City, Del) values
    ('张三', '北方仪器公司', '010-62751234', '北京市海淀路5号', '北京', '否'),
    ('李四', '东海船舶', '021-55550000', '上海市浦东大道1号', '上海', '否'),
    ('王五', '南方电子厂', '020-87654321', '广州市天河路8号', '广州', '否'),
    ('赵六', '北方仪器公司', '010-62751235', '北京市海淀路5号', '北京', '否')"

pt_start "$PT_DIR/namecards"
pt_wait_window "$main_title"
main=$PT_WINDOW
pt_focus "$main"

focused_on() {
    [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]]
}

query_hidden() {
    ! xdotool search --onlyvisible --name '^查询$' >/dev/null 2>&1
}

pt_key alt+q
pt_wait_window "查询"
query=$PT_WINDOW
# The new window takes the focus by itself.
pt_wait_until "$PT_TIMEOUT" focused_on "$query"

# Button1 has the focus: two Tabs reach the field box with its text selected.
pt_key Tab Tab
pt_type "城"
pt_type "上海"
pt_key alt+q
pt_wait_until "$PT_TIMEOUT" query_hidden
pt_wait_window "$main_title"
pt_expect_eq "$main" "$PT_WINDOW" "main window after the search"

pt_focus "$main"
pt_key alt+d
pt_wait_window "删除名片"
pt_focus
pt_key y
pt_wait_window "删除成功提示"
pt_focus
pt_key Return

marked() {
    [[ $(pt_sql "select Name from Dept where Del = '是'") == "李四" ]]
}
pt_wait_until "$PT_TIMEOUT" marked
pt_expect_eq "李四" "$(pt_sql "select group_concat(Name) from Dept where Del = '是'")" \
    "cards marked deleted"

pt_focus "$main"
pt_key alt+x
pt_wait_exit "$PT_TIMEOUT"
pt_expect_eq 0 "$PT_STATUS" "exit status"
