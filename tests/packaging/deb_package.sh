#!/usr/bin/env bash
# The Debian package: its control data, its layout, and the extracted program running on its own.
# Usage: deb_package.sh BUILD_DIR
# Steps are functions, so later checks (a pass on a demo fleet) can reuse the extracted tree.
source "$(dirname "$0")/lib.sh"
build=$1
prefix=/opt/odolink

command -v dpkg-deb >/dev/null || skip "dpkg-deb not found"

build_deb() {
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$WORK/pkg" >"$WORK/cpack.out" 2>&1 || {
        cat "$WORK/cpack.out" >&2
        fail "cpack -G DEB failed (it needs the Debian packages dpkg-dev and file)"
    }
    DEB=$(find "$WORK/pkg" -maxdepth 1 -name 'odolink_*.deb')
    [ -n "$DEB" ] && [ "$(wc -l <<<"$DEB")" = 1 ] || fail "expected one odolink_*.deb, found: $DEB"
    note "built $(basename "$DEB")"
}

# extract_deb DIR: unpacks the package's files as dpkg would install them, relative to DIR.
extract_deb() {
    rm -rf "$1"
    dpkg -x "$DEB" "$1"
    ROOT=$1
}

control_field() { dpkg-deb -f "$DEB" "$1"; }

# The Debian package that holds PATH (as linked, or the file it leads to), or nothing.
owner_of() {
    local out
    out=$(dpkg -S "$1" 2>/dev/null) || out=$(dpkg -S "$(readlink -f "$1")" 2>/dev/null) || return 0
    sed -n '1s/:.*//p' <<<"$out"
}

check_control() {
    [ "$(control_field Package)" = odolink ] || fail "package name $(control_field Package)"
    local depends
    depends=$(control_field Depends | tr ',' '\n' | sed -E 's/^ *//; s/[ (].*//')
    note "Depends: $(control_field Depends)"
    # Each library the programs link comes from a package the .deb depends on.
    local elf lib path pkg
    for elf in "$ROOT$prefix"/bin/*; do
        [ -x "$elf" ] || continue
        for lib in $(readelf -d "$elf" | sed -nE 's/.*\(NEEDED\).*\[(.*)\]/\1/p'); do
            path=$(ldconfig -p | awk -v l="$lib" '$1 == l && !found { print $NF; found = 1 }')
            [ -n "$path" ] || fail "$lib (needed by $(basename "$elf")) not found on this machine"
            pkg=$(owner_of "$path")
            [ -n "$pkg" ] || fail "no Debian package holds $path"
            grep -qxF "$pkg" <<<"$depends" || fail "$lib ($pkg) is linked but not in Depends"
        done
    done
    # Loaded at run time rather than linked: the SQL drivers and the window's fonts.
    for pkg in libqt6sql6-sqlite libqt6sql6-odbc fonts-wine; do
        grep -qxF "$pkg" <<<"$depends" || fail "$pkg is not in Depends"
    done

    mkdir -p "$WORK/control"
    dpkg-deb -e "$DEB" "$WORK/control"
    expect_line "$WORK/control/conffiles" "$prefix/bin/Odolink.ini"
    local script
    for script in postinst prerm postrm; do
        expect_executable "$WORK/control/$script"
        sh -n "$WORK/control/$script" || fail "$script is not valid sh"
        grep -q '@' "$WORK/control/$script" && fail "$script holds an unreplaced @VARIABLE@"
    done
    return 0
}

check_layout() {
    expect_executable "$ROOT$prefix/bin/odolink"
    expect_file "$ROOT$prefix/bin/Odolink.ini"
    expect_file "$ROOT$prefix/share/doc/odolink/README.md"
    expect_file "$ROOT$prefix/share/odolink/cron.d/odolink"
    # systemd reads package units from /lib/systemd/system only.
    expect_line "$ROOT/lib/systemd/system/odolink.service" "ExecStart=$prefix/bin/odolink"
    expect_file "$ROOT/lib/systemd/system/odolink.timer"
    [ ! -e "$ROOT$prefix/lib" ] || fail "$prefix/lib is left in the package"
}

# The shipped Odolink.ini, unedited, names no company: the run says so in its log and ends.
check_unconfigured_run() {
    local bin=$ROOT$prefix/bin cwd=$WORK/cwd
    mkdir -p "$cwd"
    run_odolink "$bin/odolink" "$cwd"
    expect_log "$bin" "Nu ai setat in configurari parametrul NumeFirma" "Eroare la conectare la Oracle "
}

# The demo pass, run from the extracted package: its odolink, trackgps-sim and fleet builder.
check_demo_pass() {
    local top=$ROOT$prefix out=$WORK/demo.out
    [ -x "$top/bin/trackgps-sim" ] || { echo "no trackgps-sim in the package: demo pass skipped"; return 0; }
    bash "$(dirname "$0")/../../tools/demo/run.sh" "$top" > "$out" 2>&1 || { cat "$out" >&2; fail "demo pass failed"; }
    grep -q "odolink ended with exit code 0" "$out" || { cat "$out" >&2; fail "odolink did not end with 0"; }
    [ "$(grep -c 'KM returnati : ' "$out")" = 2 ] || { cat "$out" >&2; fail "expected two distances in the log"; }
    grep -q "Nu pot interoga un interval mai mare de 30 de zile. Vezi : B-19-OLD" "$out" || fail "no 30-day line"
    grep -q "Final Update Kilometri bord" "$out" || fail "no final line"
}

build_deb
extract_deb "$WORK/root"
check_control
check_layout
check_unconfigured_run
check_demo_pass

echo "deb package: ok"
