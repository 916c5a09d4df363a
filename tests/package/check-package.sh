#!/usr/bin/env bash
# check-package.sh <build folder> <version>
#     packs this build (a throwaway test package: it opts in to the
#     development key), unpacks the station's package into a throwaway root
#     and checks what it holds and that the unpacked program starts as the
#     desktop would; the administrator's package must hold the token tool.
# check-package.sh --installed <version>
#     the same checks against the station's package installed on this machine.
set -uo pipefail
if [ "$1" = "--installed" ]; then
    build=
    root=
else
    build=$1
fi
version=$2
work=$(mktemp -d)
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "PASS: $*"; }

if [ -n "$build" ]; then
    # A build with the public development key makes no package unless the
    # call opts in, as this throwaway one does.
    if grep -qiE '^RVK_SSU_KEY:[A-Z]*=0x0*5A17C3E9B24D8F61$' "$build/CMakeCache.txt"; then
        if (cd "$build" && cpack -G DEB -B "$work/refused" >"$work/refused.log" 2>&1) \
            || [ -n "$(find "$work/refused" -name '*.deb' 2>/dev/null)" ]; then
            fail "cpack packed the development key without the test package's opt-in"
        elif grep -q "public development key" "$work/refused.log"; then
            pass "cpack refuses the development key and says why"
        else
            fail "cpack failed for another reason:"; cat "$work/refused.log" >&2
        fi
    fi
    # The packages, made from this build into a folder of their own.
    (cd "$build" && cpack -G DEB -D RVK_TEST_PACKAGE=ON -B "$work/out" >"$work/cpack.log" 2>&1) \
        || { cat "$work/cpack.log" >&2; fail "cpack"; exit 1; }
    deb="$work/out/rvk-report_${version}_amd64.deb"
    admin_deb="$work/out/rvk-report-admin_${version}_amd64.deb"
    [ -f "$deb" ] && [ -f "$admin_deb" ] || { ls -R "$work/out" >&2; fail "no $deb or $admin_deb"; exit 1; }
    depends=$(dpkg-deb -f "$deb" Depends)
    root="$work/root"
    dpkg -x "$deb" "$root" || { fail "dpkg -x"; exit 1; }
    # The token tool encrypts with the installation's key: the
    # administrator's package holds it, and nothing else of the program.
    admin_files=$(dpkg-deb -c "$admin_deb" | awk '{print $6}' | grep -v '/$' | sort | tr '\n' ' ')
    [ "$admin_files" = "./usr/bin/rvk-ssu-admin ./usr/bin/rvk-ssu-token " ] \
        && pass "the admin package holds only rvk-ssu-admin and rvk-ssu-token" \
        || fail "the admin package holds: $admin_files"
    admin_root="$work/admin-root"
    dpkg -x "$admin_deb" "$admin_root" && "$admin_root/usr/bin/rvk-ssu-token" --help >/dev/null 2>&1 \
        && pass "rvk-ssu-token starts" || fail "rvk-ssu-token does not start"
else
    installed=$(dpkg-query -W -f='${Version} ${Status}' rvk-report 2>/dev/null)
    [ "$installed" = "$version install ok installed" ] && pass "rvk-report $version is installed" || fail "installed: $installed"
    depends=$(dpkg-query -W -f='${Depends}' rvk-report)
fi
for needed in libqt5serialbus5-plugins libqt5widgets5 libqt5serialbus5 libqt5sql5 libqt5network5 libmariadb3; do
    if grep -qE "(^|, )$needed( |,|$)" <<<"$depends"; then pass "depends on $needed"; else fail "Depends lacks $needed: $depends"; fi
done
# The program's own SQL driver links the client library; Qt's MySQL plugin is never loaded.
if grep -qE "(^|, )libqt5sql5-mysql( |,|$)" <<<"$depends"; then fail "Depends names libqt5sql5-mysql: $depends"
else pass "does not depend on Qt's MySQL plugin"; fi

for file in usr/lib/rvk-report/RVKReport usr/lib/rvk-report/RVKReport_en_GB.qm usr/lib/rvk-report/rvk-report \
            usr/bin/rvk-module-sim \
            usr/share/applications/rvk-report.desktop \
            usr/share/icons/hicolor/48x48/apps/rvk-report.png usr/share/icons/hicolor/scalable/apps/rvk-report.svg \
            usr/share/doc/rvk-report/user-guide.md; do
    if [ -f "$root/$file" ]; then pass "holds /$file"; else fail "lacks /$file"; fi
done
if [ "$(readlink "$root/usr/bin/RVKReport")" = "../lib/rvk-report/RVKReport" ]; then
    pass "/usr/bin/RVKReport links to the program"
else
    fail "/usr/bin/RVKReport is not the link to the program"
fi
if [ "$(readlink "$root/usr/bin/rvk-report")" = "../lib/rvk-report/rvk-report" ]; then
    pass "/usr/bin/rvk-report links to the command line"
else
    fail "/usr/bin/rvk-report is not the link to the command line"
fi
reported=$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/RVKReport" --version 2>/dev/null)
[ "$reported" = "RVKReport $version" ] && pass "RVKReport --version" || fail "RVKReport --version said: $reported"
if [ -n "$build" ]; then
    token_files=$(find "$root" -name 'rvk-ssu-token*')
else
    token_files=$(dpkg -L rvk-report | grep rvk-ssu-token)
fi
[ -z "$token_files" ] && pass "the station package holds no rvk-ssu-token" \
    || fail "the station package holds the token tool: $token_files"
"$root/usr/bin/rvk-module-sim" --help >/dev/null 2>&1 && pass "rvk-module-sim starts" || fail "rvk-module-sim does not start"

desktop="$root/usr/share/applications/rvk-report.desktop"
if desktop-file-validate "$desktop"; then pass "desktop entry is valid"; else fail "desktop entry is not valid"; fi
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$root/usr/share/icons/hicolor/48x48/apps/$icon.png" ] && pass "desktop icon $icon is installed" || fail "icon $icon missing"

# A private home whose documents folder has a localised name, as desktops
# set it in user-dirs.dirs, and English chosen in the user's settings.
home="$work/home"
mkdir -p "$home/.config/ZELMOR"
echo 'XDG_DOCUMENTS_DIR="$HOME/Dokumente"' >"$home/.config/user-dirs.dirs"
printf '[Settings]\nLanguage=1\n' >"$home/.config/ZELMOR/RVK Report.conf"

# The command line takes the same setting and the translation beside it.
usage=$(HOME="$home" XDG_CONFIG_HOME="$home/.config" "$root/usr/bin/rvk-report" --help 2>&1 | head -1)
[ "$usage" = "Usage: rvk-report <command> [options]" ] && pass "rvk-report answers in the chosen language" \
    || fail "rvk-report --help said: $usage"

# Starts the desktop entry's command as the desktop would (on the PATH of the
# installed root) and waits for the program to report its translation.
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
log="$work/program.log"
(cd "$work" && HOME="$home" XDG_CONFIG_HOME="$home/.config" PATH="$root/usr/bin:$PATH" \
    QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="rvk.language.debug=true;qt.qpa.*=false" \
    exec $exec_line) >"$log" 2>&1 &
program_pid=$!
expected="English translation loaded from \"$root/usr/lib/rvk-report/RVKReport_en_GB.qm\""
for _ in $(seq 150); do
    grep -qF "$expected" "$log" && break
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
if grep -qF "$expected" "$log"; then pass "the installed program loads its translation"; else fail "translation not loaded; program said:"; cat "$log" >&2; fi
if kill -0 "$program_pid" 2>/dev/null; then pass "the program keeps running"; else fail "the program ended early"; fi
if [ -d "$home/Dokumente/RVK Report" ]; then pass "desktop start works in the documents folder"; else fail "no working folder in the documents folder"; fi
kill "$program_pid" 2>/dev/null
wait "$program_pid" 2>/dev/null
program_pid=

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
