#!/usr/bin/env bash
# The setup program as an administrator runs it, silently, in a fresh Wine
# prefix: every file where it belongs, the entry in Programs and Features,
# the installed renderer finding the installed plug-in; a second install
# into other folders over it removes what the first put in place (and a
# file an older version listed) but not the user's own files; the silent
# uninstall leaves nothing of ours, neither files nor keys.
#
#   installer_wine_test.sh SETUP_EXE STAGE_DIR AUDIO_CHECK PREFIX
# (run by scripts/test-windows with a display; PREFIX is made anew)
set -uo pipefail
setup=$1 stage=$2 check=$3 prefix=$4
version=$(basename "$setup" | sed -n 's/^Selvarin-\(.*\)-win64-setup\.exe$/\1/p')
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$prefix"
mkdir -p "$prefix"
log=$prefix/test.log
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
win() { wine "$@" </dev/null >>"$log" 2>&1; }
listing() { (cd "$1" 2>/dev/null && find . ! -name . | sort | tr '\n' ' '); }
key() { wine reg query "$1" </dev/null 2>/dev/null | tr -d '\r'; }
key_exists() { wine reg query "$1" </dev/null >/dev/null 2>&1; }
key_value() { key "$1" | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }

c=$prefix/drive_c
pf="$c/Program Files"
common="$pf/Common Files/VST3"
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Selvarin'
menu="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Selvarin.lnk"
app=""
[ -f "$stage/Selvarin.exe" ] && app=" ./Selvarin.exe"
tools="./LICENSE.txt ./README.txt$app ./installed-files.txt ./selvarin-render.exe ./selvarin-snapshot.exe ./uninstall.exe "
bundle="./Selvarin.vst3 ./Selvarin.vst3/Contents ./Selvarin.vst3/Contents/Resources \
./Selvarin.vst3/Contents/Resources/moduleinfo.json ./Selvarin.vst3/Contents/x86_64-win \
./Selvarin.vst3/Contents/x86_64-win/Selvarin.vst3 "

# The installed renderer renders the default sound with the installed plug-in.
renders() {
  rm -f "$c/users/Public/check.flac"
  win "$1\\selvarin-render.exe" -d 2 -o 'C:\users\Public\check.flac' || fail "$1\\selvarin-render.exe does not run"
  "$check" "$c/users/Public/check.flac" --frames 96000 --hz 200 204 || fail "what $1\\selvarin-render.exe wrote"
  rm -f "$c/users/Public/check.flac" "$c/users/Public/check.png"
  win "$1\\selvarin-snapshot.exe" -o 'C:\users\Public\check.png' && [ -s "$c/users/Public/check.png" ] ||
    fail "$1\\selvarin-snapshot.exe does not run"
  rm -f "$c/users/Public/check.png"
}

echo "== first install (silent, default folders)"
win "$setup" /S || fail "setup /S exited with an error"
[ "$(listing "$pf/Selvarin")" = "$tools" ] || fail "tools folder holds: $(listing "$pf/Selvarin")"
[ "$(listing "$common")" = "$bundle" ] || fail "VST3 folder holds: $(listing "$common")"
[ -z "$app" ] || [ -f "$menu" ] || fail "no Start-menu entry for the application"
[ "$(key_value "$uninstall" DisplayName)" = Selvarin ] || fail "uninstall key: $(key "$uninstall")"
[ "$(key_value "$uninstall" DisplayVersion)" = "$version" ] || fail "DisplayVersion is not $version"
[ "$(key_value "$uninstall" Publisher)" = Kavelin ] || fail "Publisher is not Kavelin"
size=$(key_value "$uninstall" EstimatedSize)
[ $((size)) -gt 1000 ] || fail "EstimatedSize is '$size'"
key_value "$uninstall" UninstallString | grep -q 'uninstall.exe' || fail "no UninstallString"
renders 'C:\Program Files\Selvarin'
echo "   installed: $(du -sk "$pf/Selvarin" "$common/Selvarin.vst3" | awk '{s += $1} END {print s}') KB; EstimatedSize $((size)) KB"

echo "== second install over it, into other folders"
echo "mine" >"$pf/Selvarin/my notes.txt"
mkdir -p "$common/Other.vst3"
echo "theirs" >"$common/Other.vst3/plugin"
# A file an older version installed and this one does not.
echo "old" >"$pf/Selvarin/old-tool.exe"
printf 'C:\\Program Files\\Selvarin\\old-tool.exe\r\n' >>"$pf/Selvarin/installed-files.txt"
win "$setup" /S '/VST3=C:\Plugins\VST3' '/D=C:\Apps\Selvarin' || fail "second setup /S exited with an error"
[ "$(listing "$c/Apps/Selvarin")" = "$tools" ] || fail "new tools folder holds: $(listing "$c/Apps/Selvarin")"
[ "$(listing "$c/Plugins/VST3")" = "$bundle" ] || fail "new VST3 folder holds: $(listing "$c/Plugins/VST3")"
[ "$(listing "$pf/Selvarin")" = "./my notes.txt " ] || fail "old tools folder holds: $(listing "$pf/Selvarin")"
[ "$(listing "$common")" = "./Other.vst3 ./Other.vst3/plugin " ] || fail "old VST3 folder holds: $(listing "$common")"
[ "$(key_value "$uninstall" InstallLocation)" = 'C:\Apps\Selvarin' ] || fail "InstallLocation not updated"
renders 'C:\Apps\Selvarin'

echo "== silent uninstall"
win 'C:\Apps\Selvarin\uninstall.exe' /S || fail "uninstall /S exited with an error"
# The uninstaller goes on in a copy of itself: until every process has ended.
wineserver -w
[ ! -e "$c/Apps/Selvarin" ] || fail "left in the tools folder: $(listing "$c/Apps/Selvarin")"
[ ! -e "$c/Plugins/VST3" ] || fail "left in the VST3 folder: $(listing "$c/Plugins/VST3")"
[ ! -e "$menu" ] || fail "the Start-menu entry is left"
[ "$(cat "$pf/Selvarin/my notes.txt" 2>/dev/null)" = mine ] || fail "the user's file went"
[ -f "$common/Other.vst3/plugin" ] || fail "another plug-in went"
! key_exists "$uninstall" || fail "the uninstall key is left"
! key_exists 'HKLM\Software\Kavelin' || fail "HKLM\\Software\\Kavelin is left"

wineserver -k
if [ "$failures" -eq 0 ]; then
  echo "installer: all checks passed"
  rm -rf "$prefix"
else
  echo "installer: $failures failures (prefix kept in $prefix, log $log)"
fi
[ "$failures" -eq 0 ]
