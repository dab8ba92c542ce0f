#!/bin/sh
# Installs the build into a temporary DESTDIR and runs the installed programs from there.
#   install_test.sh CMAKE BUILD_DIR VERSION
set -eu

cmake_command=$1
build_dir=$2
version=$3

work=$(mktemp -d "${TMPDIR:-/tmp}/skedora-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
root=$work/root
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

DESTDIR=$root "$cmake_command" --install "$build_dir" --prefix /usr >"$work/install.log" ||
    { cat "$work/install.log" >&2; exit 1; }

cli=$root/usr/bin/skedora-cli
for file in usr/bin/skedora-cli usr/share/man/man1/skedora-cli.1.gz \
    usr/lib/systemd/user/skedora-watch.service usr/lib/systemd/system/skedora-watch@.service \
    usr/lib/sysusers.d/skedora.conf usr/share/doc/skedora/copyright \
    usr/share/doc/skedora/changelog.gz; do
    [ -f "$root/$file" ] || fail "not installed: /$file"
done
gzip -dc "$root/usr/share/doc/skedora/changelog.gz" | head -n 1 | grep -q "^skedora ($version)" ||
    fail "the changelog has no entry for $version"

# The window program and its desktop files, when the build has them.
if [ -x "$build_dir/bin/skedora" ]; then
    for file in usr/bin/skedora usr/share/man/man1/skedora.1.gz \
        usr/share/applications/skedora.desktop \
        usr/share/metainfo/org.skedora.converter.metainfo.xml \
        usr/share/icons/hicolor/scalable/apps/skedora.svg \
        usr/share/icons/hicolor/48x48/apps/skedora.png \
        usr/share/icons/hicolor/256x256/apps/skedora.png; do
        [ -f "$root/$file" ] || fail "not installed: /$file"
    done
    grep -q "<release version=\"$version\"" \
        "$root/usr/share/metainfo/org.skedora.converter.metainfo.xml" ||
        fail "the metainfo has no release $version"
    help=$(XDG_CONFIG_HOME=$work/xdg-window "$root/usr/bin/skedora" --help) ||
        fail "skedora --help failed"
    echo "$help" | grep -qxF "Settings folder: $work/xdg-window/skedora" ||
        fail "skedora --help does not name the XDG settings folder: $help"
fi

# Version and help of the command-line program.
out=$("$cli" --version) || fail "skedora-cli --version failed"
echo "$out" | grep -qF "$version" || fail "skedora-cli --version printed '$out', not $version"

help=$(XDG_CONFIG_HOME=$work/xdg-help HOME=$work/home "$cli" --help) ||
    fail "skedora-cli --help failed"
echo "$help" | grep -qxF "Settings folder: $work/xdg-help/skedora" ||
    fail "skedora-cli --help does not print 'Settings folder: $work/xdg-help/skedora'"

# A conversion with no settings yet: X.CSV becomes X.CP2 beside it, the settings folder appears.
mkdir -p "$work/data" "$work/xdg"
header="day,cur_date,week_day,on_time,off_time,pgm,mon_beg,mon_end,hidef,comments,toch,tochnm_hd,\
fch,fchnm_hd,co,systemname,U1,U2"
printf '%s\r\n%s\r\n%s\r\n' "$header" \
    "1,03/05/2024,TUE,10:00:00,11:00:00,Morning News,,,,,7,WABC,5,WXYZ,12,SYS,," \
    "2,03/05/2024,TUE,11:00:00,12:30:00,Noon Show,,,,,7,WABC,5,WXYZ,12,SYS,," >"$work/data/X.CSV"
if out=$(cd "$work/data" && XDG_CONFIG_HOME=$work/xdg HOME=$work/home "$cli" convert X.CSV); then
    [ "$out" = "X.CSV -> X.CP2: 2 read, 0 skipped, 0 deleted, 2 written" ] ||
        fail "convert printed '$out'"
    [ "$(grep -c "Morning News.*WABC\|Noon Show" "$work/data/X.CP2")" = 2 ] ||
        fail "X.CP2 does not hold the two events"
else
    fail "convert X.CSV exited $?"
fi
[ -d "$work/xdg/skedora" ] || fail "no settings folder $work/xdg/skedora after convert"

[ "$failures" -eq 0 ] || exit 1
echo "installed programs work from $root"
