#!/usr/bin/env bash
# Builds the Debian package with CPack and checks its files, its computed dependencies and what
# lintian says of it. Usage: package-test.sh SOURCE_DIR BUILD_DIR
source_dir=$1
build_dir=$2
source "$source_dir/tests/desktop/common.sh"

(cd "$scratch" && cpack --config "$build_dir/CPackConfig.cmake" -B "$scratch/out" >/dev/null) ||
  fail "cpack failed"
deb=$(ls "$scratch"/out/tessolon_*.deb)
listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/tessolon ./usr/lib/tessolon/tessolon-windows.so \
  ./usr/lib/tessolon/tessolon-audio.so \
  ./usr/share/applications/org.veldran.Tessolon.desktop \
  ./usr/share/metainfo/org.veldran.Tessolon.metainfo.xml \
  ./usr/share/locale/th/LC_MESSAGES/tessolon.mo \
  ./usr/share/icons/hicolor/scalable/apps/tessolon.svg \
  ./usr/share/icons/hicolor/48x48/apps/tessolon.png ./usr/share/man/man1/tessolon.1.gz \
  ./usr/share/tessolon/data/para.dbf ./usr/share/tessolon/data/idx.ndx \
  ./usr/lib/systemd/user/tessolon-sweep@.service ./usr/lib/systemd/user/tessolon-sweep-nightly@.service \
  ./usr/lib/systemd/user/tessolon-sweep-nightly@.timer ./usr/share/doc/tessolon/copyright; do
  grep -qxF "$file" <<<"$listing" || fail "the package lacks $file"
done

# Dependencies come from the libraries the program and its modules link, not from a hand-written
# list; Qt comes from the windows module alone, SDL2 and libsoxr from the audio module alone.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libsdl2 libsoxr0 libjpeg62-turbo libc6; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
dpkg-deb -x "$deb" "$scratch/root"
grep -qx 'ExecStart=/usr/bin/tessolon sweep --pest %I' \
  "$scratch/root/usr/lib/systemd/user/tessolon-sweep@.service" ||
  fail "the packaged unit does not name /usr/bin/tessolon"

# lintian: errors fail the test; warnings are shown.
report=$(lintian --tag-display-limit 0 "$deb" 2>&1 || true)
[[ -z $report ]] || echo "$report"
if grep -q '^E:' <<<"$report"; then fail "lintian reports errors"; fi
echo "package test passed"
