# shellcheck shell=bash
# The NSIS installer of a Windows program folder, for scripts/build-windows
# and for scripts/test-windows-installer's older build of the same files.
# Sourced.
rvk_windows_lib=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# rvk_windows_installer <folder> <arch> <version> <installer file> [makensis options...]
# Makes the installer file of everything in <folder>; when RVK_SIGN_PKCS12 is set,
# makensis signs the uninstaller it writes and the installer
# (scripts/lib/authenticode-sign). The file lists are written beside the
# folder, so the uninstaller removes exactly what was installed and nothing
# the user made.
# shellcheck disable=SC2016 # $INSTDIR and $PROGRAMFILES are NSIS's
rvk_windows_installer() {
    local folder=$1 arch=$2 number=$3 target=$4
    shift 4
    local install_list=$folder-install.nsh uninstall_list=$folder-uninstall.nsh
    {
        (cd "$folder" && find . -mindepth 1 -type d | sed 's|^\./||' | sort) | while read -r dir; do
            printf '  CreateDirectory "$INSTDIR\\%s"\n' "${dir//\//\\}"
        done
        (cd "$folder" && find . -type f | sed 's|^\./||' | sort) | while read -r file; do
            printf '  File "/oname=%s" "%s"\n' "${file//\//\\}" "$folder/$file"
        done
    } >"$install_list"
    {
        (cd "$folder" && find . -type f | sed 's|^\./||' | sort) | while read -r file; do
            printf '  Delete "$INSTDIR\\%s"\n' "${file//\//\\}"
        done
        (cd "$folder" && find . -mindepth 1 -type d | sed 's|^\./||' | sort -r) | while read -r dir; do
            printf '  RMDir "$INSTDIR\\%s"\n' "${dir//\//\\}"
        done
    } >"$uninstall_list"

    local programfiles='$PROGRAMFILES' sign=()
    [ "$arch" != x86_64 ] || programfiles='$PROGRAMFILES64'
    [ -z "${RVK_SIGN_PKCS12:-}" ] || sign=(-DSIGN="$rvk_windows_lib/authenticode-sign")
    makensis -V2 -INPUTCHARSET UTF8 "$@" "${sign[@]}" \
        -DVERSION="$number" -DARCH="$arch" -DPROGRAMFILES_DIR="$programfiles" \
        -DOUTFILE="$target" -DICON="$rvk_windows_lib/../../app/icon/RVKReport.ico" \
        -DINSTALL_FILES="$install_list" -DUNINSTALL_FILES="$uninstall_list" \
        "$rvk_windows_lib/../../app/windows/rvk-report.nsi" >&2
}
