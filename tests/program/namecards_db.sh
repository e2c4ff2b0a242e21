#!/usr/bin/env bash
# namecards-db in a fresh folder: the demo card file beside the copied tool,
# and the tool refusing to overwrite it.
# shellcheck source=tests/program/lib.sh
source "$(dirname "$0")/lib.sh"
pt_init "$1"

pt_install namecards-db --demo
cd "$PT_DIR" || pt_fail "cannot enter $PT_DIR"
pt_expect_eq "crm.mdb" "$(ls -A Date)" "files in Date"

live=$(pt_sql "select count(*) from Dept where del='否'")
((live >= 25)) || pt_fail "only $live live demo cards"
pt_expect_eq "|1
是|2" "$(pt_sql "select Del, count(*) from Dept where Del <> '否' group by Del order by Del")" \
    "cards flagged other than live"
pt_expect_eq "0" "$(pt_sql "select count(*) from Dept where Name is null or Name = ''")" \
    "demo cards without a name"

before=$(sha256sum Date/crm.mdb)
status=0
./namecards-db create Date/crm.mdb --demo >/dev/null 2>"$PT_DIR/stderr" || status=$?
pt_expect_eq 1 "$status" "exit status of create on an existing file"
grep -q "already exists" "$PT_DIR/stderr" || pt_fail "no clear message: $(cat "$PT_DIR/stderr")"
pt_expect_eq "$before" "$(sha256sum Date/crm.mdb)" "card file after the refused create"
pt_expect_eq "crm.mdb" "$(ls -A Date)" "files in Date after the refused create"

status=0
./namecards-db create >/dev/null 2>&1 || status=$?
pt_expect_eq 2 "$status" "exit status of create without FILE"
