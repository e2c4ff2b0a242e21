#!/usr/bin/env bash
# Start-up and shutdown of the real program: it finds its card file beside
# itself whatever the working folder, its boxes are captioned with the name of
# its executable, and closing it (Exit button, or Alt+F4 under a window
# manager) ends it with status 0 and leaves the card file as it was.
# shellcheck source=tests/program/lib.sh
source "$(dirname "$0")/lib.sh"
pt_init "$1"

main_title="澄岚名片管理系统"
pt_install namecards --demo
card_file=$(pt_card_file)
before=$(sha256sum <"$card_file")

# Started from another folder, which holds no card file: the window opens on
# the card file beside the executable, with no error box first.
mkdir "$PT_DIR/elsewhere"
pt_start bash -c 'cd "$1" && exec "$2"' _ "$PT_DIR/elsewhere" "$PT_DIR/namecards"
pt_wait_window "$main_title"
if xdotool search --onlyvisible --name '^Namecards$' >/dev/null 2>&1; then
    pt_fail "an error box came up although the card file is beside the executable"
fi
pt_focus
pt_key alt+x
pt_wait_exit
pt_expect_eq 0 "$PT_STATUS" "exit status after the Exit button"
pt_expect_eq "$before" "$(sha256sum <"$card_file")" "card file after browsing and closing"

# Under a window manager, Alt+F4 closes the window and ends the program too.
openbox >"$PT_DIR/openbox.log" 2>&1 &
wm=$!
wm_running() {
    kill -0 "$wm" 2>/dev/null || pt_fail "openbox ended: $(cat "$PT_DIR/openbox.log")"
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}
pt_wait_until "$PT_TIMEOUT" wm_running
pt_start "$PT_DIR/namecards"
pt_wait_window "$main_title"
xdotool windowactivate --sync "$PT_WINDOW"
pt_key alt+F4
pt_wait_exit
kill "$wm" 2>/dev/null || true
pt_expect_eq 0 "$PT_STATUS" "exit status after Alt+F4"
pt_expect_eq "$before" "$(sha256sum <"$card_file")" "card file after Alt+F4"

# Renamed, with no card file beside it: the error box is captioned with the
# new name, cut to its title form, and the window still opens after it.
mkdir "$PT_DIR/renamed"
cp "$PT_DIR/namecards" "$PT_DIR/renamed/MyCards"
pt_start "$PT_DIR/renamed/MyCards"
pt_wait_window "Mycards"
pt_focus
pt_key Return
pt_wait_window "$main_title"
# The desktop knows the program by its title: the class of its windows.
pt_expect_eq 'WM_CLASS(STRING) = "MyCards", "Mycards"' "$(xprop -id "$PT_WINDOW" WM_CLASS)" \
    "window class of the renamed program"
pt_focus
pt_key alt+x
pt_wait_exit
pt_expect_eq 0 "$PT_STATUS" "exit status after starting with no card file"
echo "PASS: $PT_NAME"
