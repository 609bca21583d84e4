#!/usr/bin/env bash
# The installer's steps under Wine, run by scripts/test-dist.sh inside a Wine
# session (WINE, WINEPREFIX and DISPLAY set) on a fresh prefix, as a user and
# an administrator would take them:
#   silent install with AUTOSTART=1 -> files in %LOCALAPPDATA%\Programs\Quellane,
#   one product, the Apps entry, the Start-menu shortcut, the autostart entry;
#   the installed program starts and answers the ping, and locks;
#   a newer build installs over the running, locked program: it was ended and
#   unlocked, one product of the new version, the user's Quellane.ini kept;
#   the older and the same version are refused with their messages;
#   uninstall ends the running program (unlocked), removes the files, the
#   shortcut, the autostart entry and the Apps entry, and keeps Quellane.ini;
#   on win64, the other build installed first is replaced by this one.
# Prints "  ok    NAME" or "  FAIL  NAME" per check.
# usage: test-dist-wine.sh win32|win64
set -uo pipefail
cd "$(dirname "$0")/.."
arch=$1
# shellcheck source=/dev/null
source "build/$arch/dist-facts.sh"
# Shortcuts made inside the prefix must not become menu entries of this machine.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

pass() { printf '  ok    %s\n' "$1"; }
fail() { printf '  FAIL  %s\n' "$1"; [[ -z "${2:-}" ]] || printf '        %s\n' "$2"; }
expect() { if [[ "$2" == "$3" ]]; then pass "$1"; else fail "$1" "got [$2], expected [$3]"; fi; }
expect_match() { if grep -Eq -- "$3" <<<"$2"; then pass "$1"; else fail "$1" "no [$3] in [$2]"; fi; }
check() { local name=$1; shift; if "$@" >/dev/null 2>&1; then pass "$name"; else fail "$name"; fi; }

win() { "$WINE" "$@" 2>/dev/null | tr -d '\r'; }
windows_path() { win winepath -w "$(realpath -m "$1")"; }
unix_path() { win winepath -u "$1"; }

logs="build/$arch/dist-logs"
rm -rf "$logs" && mkdir -p "$logs"
msi="dist/$QUELL_PRODUCT-$QUELL_VERSION-$arch.msi"
next_msi="build/$arch/dist-next/$QUELL_PRODUCT-$QUELL_NEXT_VERSION-$arch.msi"
probe=build/$arch/bin/dist_probe.exe
# msiexec ACTION PACKAGE LOGNAME [PROPERTY=VALUE...]: its exit code
msiexec() {
  local action=$1 package=$2 log=$3
  shift 3
  "$WINE" msiexec "$action" "$(windows_path "$package")" /qn /l*v "$(windows_path "$logs/$log.log")" "$@" \
    >/dev/null 2>&1
}
products() { win "$probe" products "{$1}"; }

local_app_data=$(win cmd /c echo '%LOCALAPPDATA%')
app_data=$(win cmd /c echo '%APPDATA%')
install_win="$local_app_data\\Programs\\$QUELL_PRODUCT"
exe_win="$install_win\\Quellane.exe"
install_dir=$(unix_path "$install_win")
shortcut_win="$app_data\\Microsoft\\Windows\\Start Menu\\Programs\\$QUELL_PRODUCT.lnk"
shortcut=$(unix_path "$shortcut_win")
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
policy_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\System'
user_settings=$'[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=0\r\nLOCK_MOUSE_MOVE=0\r\nLOCK_MOUSE_WHEEL=0\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\n\r\n'

locked() { win reg query "$policy_key" /v DisableTaskMgr | grep -q 0x1; }
running() { win "$probe" running "$exe_win"; }
start_program() { "$WINE" "$exe_win" </dev/null >/dev/null 2>&1 & }
lock_program() { "$WINE" "$exe_win" /L </dev/null >/dev/null 2>&1; }
# The launch conditions failed, and the log shows the property that made them.
refused_because() { grep -aq 'LaunchConditions. Return value 0' "$1" && grep -aqF "$2" "$1"; }
autostart_entry() { win reg query "$run_key" /v "$QUELL_PRODUCT" | awk -F'    ' '/REG_SZ/ { print $4 }'; }

echo "-- install $msi silently with AUTOSTART=1"
msiexec /i "$msi" install AUTOSTART=1
expect "$arch: msiexec /i /qn AUTOSTART=1 succeeds" "$?" 0
expect "$arch: the install folder is %LOCALAPPDATA%\\Programs\\$QUELL_PRODUCT with the five files" \
  "$(cd "$install_dir" 2>/dev/null && ls | sort | tr '\n' ' ')" "LICENSE.txt Quellane.chm Quellane.exe README.txt quellhook.dll "
check "$arch: the installed program is the built one" cmp "$install_dir/Quellane.exe" "build/$arch/bin/Quellane.exe"
check "$arch: the installed library is the built one" cmp "$install_dir/quellhook.dll" "build/$arch/bin/quellhook.dll"
installed=$(products "$QUELL_UPGRADE_CODE")
expect "$arch: one product installed" "$(grep -c . <<<"$installed")" 1
IFS='|' read -r product_code version name publisher help_link _ icon <<<"$installed"
expect "$arch: its name, version, publisher and help link" "$name|$version|$publisher|$help_link" \
  "$QUELL_PRODUCT|$QUELL_VERSION|$QUELL_PUBLISHER|$QUELL_HOME_PAGE"
expect_match "$arch: its icon is the program's" "$icon" 'Quellane\.ico$'
arp=$(win "$probe" arp "$product_code")
expect_match "$arch: the Apps entry names it" "$arp" "^DisplayName=$QUELL_PRODUCT\$"
expect_match "$arch: the Apps entry has the version" "$arp" "^DisplayVersion=$QUELL_VERSION\$"
expect_match "$arch: the Apps entry has the publisher" "$arp" "^Publisher=$QUELL_PUBLISHER\$"
expect_match "$arch: the Apps entry has the help link" "$arp" "^HelpLink=$QUELL_HOME_PAGE\$"
check "$arch: the Start-menu shortcut exists" test -f "$shortcut"
link=$(win "$probe" shortcut "$shortcut_win")
expect_match "$arch: the shortcut points at the installed program" "$link" "^target=$(sed 's/[\\.]/\\&/g' <<<"$exe_win")\$"
expect_match "$arch: the shortcut starts in the install folder" "$link" "^folder=$(sed 's/[\\.]/\\&/g' <<<"$install_win")\\\\?\$"
expect "$arch: AUTOSTART=1 made the start-with-Windows entry" "$(autostart_entry)" "\"$exe_win\""

echo "-- the installed program runs, answers the ping and locks"
printf '%s' "$user_settings" >"$install_dir/Quellane.ini"
printf '%s' "$user_settings" >"$logs/user-settings.ini"
start_program
check "$arch: the installed program answers the ping" win "$probe" ping "$exe_win" 20000
lock_program
check "$arch: the installed program locks (/L)" locked

echo "-- a newer build ($QUELL_NEXT_VERSION) installs over the running, locked program"
msiexec /i "$next_msi" upgrade
expect "$arch: msiexec /i /qn of the newer version succeeds" "$?" 0
expect "$arch: the running program was ended" "$(running)" 0
if locked; then fail "$arch: the program was unlocked on the way out"; else pass "$arch: the program was unlocked on the way out"; fi
installed=$(products "$QUELL_UPGRADE_CODE")
expect "$arch: one product, of the new version" "$(cut -d'|' -f2 <<<"$installed" | tr '\n' ' ')" "$QUELL_NEXT_VERSION "
expect "$arch: the installed program is the newer one" \
  "$(packaging/pe-version.py "$install_dir/Quellane.exe" | cut -d' ' -f2)" "$QUELL_NEXT_VERSION"
check "$arch: the user's Quellane.ini is kept" cmp "$install_dir/Quellane.ini" "$logs/user-settings.ini"
expect "$arch: the start-with-Windows entry is kept" "$(autostart_entry)" "\"$exe_win\""
check "$arch: the shortcut is there" test -f "$shortcut"
start_program
check "$arch: the new program answers the ping" win "$probe" ping "$exe_win" 20000

echo "-- the older and the same version are refused"
msiexec /i "$msi" downgrade
rc=$?
[[ $rc != 0 ]] && pass "$arch: installing the older version fails (exit code $rc)" ||
  fail "$arch: installing the older version fails"
# Wine's msiexec shows the launch condition's message only in a message box;
# its log tells which condition failed (the texts are checked in the package).
newer_code=$(products "$QUELL_UPGRADE_CODE" | cut -d'|' -f1)
check "$arch: ... refused by the launch condition on a newer version" \
  refused_because "$logs/downgrade.log" "Property(S): QUELL_NEWER_FOUND = $newer_code"
msiexec /i "$next_msi" same
rc=$?
[[ $rc != 0 ]] && pass "$arch: installing the same version again fails (exit code $rc)" ||
  fail "$arch: installing the same version again fails"
check "$arch: ... refused by the launch condition on the installed product" \
  refused_because "$logs/same.log" "Property(S): Installed = 1"
expect "$arch: still one product, of the new version" \
  "$(products "$QUELL_UPGRADE_CODE" | cut -d'|' -f2 | tr '\n' ' ')" "$QUELL_NEXT_VERSION "
expect "$arch: the program kept running" "$(running)" 1

echo "-- uninstall while the program runs locked"
lock_program
check "$arch: locked before the uninstall" locked
msiexec /x "$next_msi" uninstall
expect "$arch: msiexec /x /qn succeeds" "$?" 0
expect "$arch: the running program was ended" "$(running)" 0
if locked; then fail "$arch: nothing stays locked"; else pass "$arch: nothing stays locked"; fi
expect "$arch: only the user's Quellane.ini is left in the install folder" \
  "$(cd "$install_dir" 2>/dev/null && ls | tr '\n' ' ')" "Quellane.ini "
check "$arch: the user's Quellane.ini is unchanged" cmp "$install_dir/Quellane.ini" "$logs/user-settings.ini"
check "$arch: the shortcut is gone" test ! -e "$shortcut"
expect "$arch: the start-with-Windows entry is gone" "$(autostart_entry)" ""
expect "$arch: no product is installed" "$(products "$QUELL_UPGRADE_CODE")" ""
check "$arch: the Apps entry is gone" test -z "$(win "$probe" arp "$product_code")"

if [[ $arch == win64 && -f "dist/$QUELL_PRODUCT-$QUELL_VERSION-win32.msi" ]]; then
  echo "-- the win32 build installed first is replaced by the win64 build of the same version"
  msiexec /i "dist/$QUELL_PRODUCT-$QUELL_VERSION-win32.msi" other
  expect "$arch: the win32 package installs in the 64-bit prefix" "$?" 0
  expect "$arch: ... as one win32 product" "$(products "$QUELL_OTHER_UPGRADE_CODE" | grep -c .)" 1
  msiexec /i "$msi" switch
  expect "$arch: the win64 package installs over it" "$?" 0
  expect "$arch: no win32 product is left" "$(products "$QUELL_OTHER_UPGRADE_CODE")" ""
  expect "$arch: one win64 product" "$(products "$QUELL_UPGRADE_CODE" | grep -c .)" 1
  expect "$arch: the installed program is the win64 one" \
    "$(packaging/pe-version.py "$install_dir/Quellane.exe")" "amd64 $QUELL_VERSION"
  msiexec /x "$msi" cleanup
  expect "$arch: and it uninstalls" "$?" 0
fi
exit 0
