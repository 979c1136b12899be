#!/usr/bin/env bash
# Installs into a scratch DESTDIR and checks every installed file, the desktop entry and the
# AppStream data, then runs the installed program as a user would: without a display, from a
# folder without data/, with a fresh home (where its own copy of the pest table appears).
# Usage: install-test.sh SOURCE_DIR BUILD_DIR
source_dir=$1
build_dir=$2
source "$source_dir/tests/desktop/common.sh"
app_id=org.veldran.Tessolon

DESTDIR="$scratch/stage" cmake --install "$build_dir" --prefix /usr >/dev/null
usr=$scratch/stage/usr
files=(
  bin/tessolon
  lib/tessolon/tessolon-windows.so
  lib/tessolon/tessolon-audio.so
  share/applications/$app_id.desktop
  share/metainfo/$app_id.metainfo.xml
  share/locale/th/LC_MESSAGES/tessolon.mo
  share/icons/hicolor/scalable/apps/tessolon.svg
  share/man/man1/tessolon.1.gz
  share/tessolon/data/para.dbf
  share/tessolon/data/idx.ndx
  share/doc/tessolon/copyright
  share/doc/tessolon/changelog.gz
  lib/systemd/user/tessolon-sweep@.service
  lib/systemd/user/tessolon-sweep-nightly@.service
  lib/systemd/user/tessolon-sweep-nightly@.timer
)
for size in 16 22 24 32 48 64 128 256; do
  files+=("share/icons/hicolor/${size}x$size/apps/tessolon.png")
done
for file in "${files[@]}"; do
  [[ -f $usr/$file ]] || fail "not installed: $file"
done
[[ -x $usr/bin/tessolon ]] || fail "bin/tessolon is not executable"
for size in 16 48 256; do
  file "$usr/share/icons/hicolor/${size}x$size/apps/tessolon.png" |
    grep -q "PNG image data, $size x $size" || fail "the ${size}px icon is not ${size}x$size"
done
cmp "$source_dir/data/para.dbf" "$usr/share/tessolon/data/para.dbf"
cmp "$source_dir/data/idx.ndx" "$usr/share/tessolon/data/idx.ndx"

desktop-file-validate "$usr/share/applications/$app_id.desktop" ||
  fail "desktop-file-validate rejects the desktop entry"
grep -qx "Icon=tessolon" "$usr/share/applications/$app_id.desktop"
grep -q '^GenericName\[th\]=' "$usr/share/applications/$app_id.desktop" ||
  fail "the desktop entry has no Thai"
grep -q 'xml:lang="th"' "$usr/share/metainfo/$app_id.metainfo.xml" || fail "the metainfo has no Thai"
appstreamcli validate --no-net "$usr/share/metainfo/$app_id.metainfo.xml" >/dev/null ||
  fail "appstreamcli rejects the metainfo: $(appstreamcli validate --no-net \
    "$usr/share/metainfo/$app_id.metainfo.xml")"

# The manual page carries the main help and every command's own.
man=$(zcat "$usr/share/man/man1/tessolon.1.gz")
grep -q '^\.TH TESSOLON "1"' <<<"$man" || fail "the manual page has no title line"
for command in tone beep table profiles sweep; do
  grep -q "^Usage: tessolon $command" <<<"$man" || fail "the manual page lacks '$command --help'"
done
grep -q 'tessolon 3\.0' <<<"$man" || fail "the manual page lacks the version"

units=$usr/lib/systemd/user
grep -qx 'ExecStart=/usr/bin/tessolon sweep --pest %I' "$units/tessolon-sweep@.service" ||
  fail "the unit does not run the sweep"
grep -qx 'ExecStart=/usr/bin/tessolon sweep --pest %I --between 22:00-06:00 --until-close' \
  "$units/tessolon-sweep-nightly@.service" || fail "the night's unit does not run the night's sweep"
grep -qx 'OnCalendar=\*-\*-\* 22:00:00' "$units/tessolon-sweep-nightly@.timer" ||
  fail "the timer does not start the sweep as its window opens"
# Both services keep one sandbox: from its heading to the end of [Service].
sandbox() { sed -n '/^# The sandbox\./,/^\[Install\]/{/^\[Install\]/d;p}' "$1" | sed '/^$/d'; }
[[ -n $(sandbox "$units/tessolon-sweep@.service") ]] || fail "the unit has no sandbox"
diff <(sandbox "$units/tessolon-sweep@.service") <(sandbox "$units/tessolon-sweep-nightly@.service") ||
  fail "the night's unit has another sandbox"
# systemd's own check of an instance of each, pointing at the staged program; then its measure of
# the sandbox (unrestricted, the unit measured 9.8, sandboxed 1.2; offline, a user unit is charged
# 0.4 for "runs as root").
mkdir -m 700 "$scratch/units" "$scratch/runtime"
for unit in tessolon-sweep@.service tessolon-sweep-nightly@.service tessolon-sweep-nightly@.timer; do
  sed "s|/usr/bin/tessolon|$usr/bin/tessolon|" "$units/$unit" >"$scratch/units/$unit"
  ln -s "$unit" "$scratch/units/${unit/@/@Mosquito}"
done
(cd "$scratch/units" && XDG_RUNTIME_DIR=$scratch/runtime systemd-analyze verify --user --man=no \
  ./tessolon-sweep@Mosquito.service ./tessolon-sweep-nightly@Mosquito.service \
  ./tessolon-sweep-nightly@Mosquito.timer) || fail "systemd-analyze rejects the units"
for unit in tessolon-sweep@Mosquito.service tessolon-sweep-nightly@Mosquito.service; do
  exposure=$(cd "$scratch/units" && XDG_RUNTIME_DIR=$scratch/runtime \
    systemd-analyze security --offline=true --user "./$unit" | sed -n 's/.*Overall exposure level for .*: \([0-9.]*\) .*/\1/p')
  [[ -n $exposure ]] && awk "BEGIN { exit !($exposure <= 1.5) }" ||
    fail "$unit is exposed at '$exposure' (at most 1.5 wanted)"
done

# --version and --help need no display.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/tessolon" --version)
[[ $version == "tessolon 3.0" ]] || fail "--version printed '$version'"
env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/tessolon" --help | grep -q -- '-platform NAME' ||
  fail "--help does not describe the window options"
# The installed catalog, found from the program's own folder.
thai_help=$(env -u LANGUAGE LC_ALL=th_TH.UTF-8 "$usr/bin/tessolon" sweep --help)
grep -q '^วิธีใช้: tessolon sweep' <<<"$thai_help" || fail "the installed program does not speak Thai"

# Started elsewhere, the commands use the user's own copy, made on first use.
run_profiles() { # PROGRAM WORKDIR HOME [XDG_DATA_HOME]
  (cd "$2" && env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_DATA_HOME HOME="$3" \
    ${4:+XDG_DATA_HOME=$4} "$1" profiles)
}
mkdir -p "$scratch/work" "$scratch/home"
listing=$(run_profiles "$usr/bin/tessolon" "$scratch/work" "$scratch/home")
grep -q 'Mosquito' <<<"$listing" || fail "profiles listed: $listing"
user_table=$scratch/home/.local/share/tessolon/data
cmp "$usr/share/tessolon/data/para.dbf" "$user_table/para.dbf"
[[ -f $user_table/idx.ndx ]] || fail "the index was not copied"
[[ ! -e $scratch/work/data ]] || fail "a data folder appeared in the working directory"

# Edits go to the user's copy; the installed table stays as shipped; the sweep reads the copy.
first=$(head -1 <<<"$listing" | awk '{print $2}')
"$usr/bin/tessolon" table "$user_table/para.dbf" set 1 NAME_PEST=Gnatling >/dev/null
grep -q 'Gnatling' <<<"$(run_profiles "$usr/bin/tessolon" "$scratch/work" "$scratch/home")" ||
  fail "profiles does not read the user's copy"
cmp "$source_dir/data/para.dbf" "$usr/share/tessolon/data/para.dbf"
(cd "$scratch/work" && HOME="$scratch/home" "$usr/bin/tessolon" sweep --pest Gnatling \
  --ticks 2 --export "$scratch/gnat.wav" >/dev/null) || fail "the sweep does not find the pest"

# A folder that has data/para.dbf keeps its own table.
table_folder "$scratch/local"
grep -q "$first" <<<"$(run_profiles "$usr/bin/tessolon" "$scratch/local" "$scratch/home")" ||
  fail "profiles ignores the working directory's table"

# XDG_DATA_HOME is honoured, and a moved installation still finds its shared files.
mv "$scratch/stage/usr" "$scratch/moved"
run_profiles "$scratch/moved/bin/tessolon" "$scratch/work" "$scratch/home2" "$scratch/xdg" |
  grep -q 'Mosquito' || fail "the moved program finds no table"
[[ -f $scratch/xdg/tessolon/data/para.dbf ]] || fail "XDG_DATA_HOME was not used"
[[ ! -e $scratch/home2 ]] || fail "the home folder was used despite XDG_DATA_HOME"
# The moved program still finds its windows module: it draws a spectrum through it.
env -u DISPLAY -u WAYLAND_DISPLAY "$scratch/moved/bin/tessolon" tone --spectrum "$scratch/tone.png" \
  >/dev/null || fail "the moved program cannot draw through its windows module"
file "$scratch/tone.png" | grep -q 'PNG image data' || fail "the moved program drew no PNG"
# And its audio module: it lists the outputs through it (SDL's dummy driver has one).
SDL_AUDIODRIVER=dummy "$scratch/moved/bin/tessolon" devices | grep -q '^Audio driver: dummy$' ||
  fail "the moved program cannot list the outputs through its audio module"
echo "install test passed"
