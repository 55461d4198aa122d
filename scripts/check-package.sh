#!/usr/bin/env bash
# Checks the built package without installing it: the files it would put on
# a machine, its menu entry, its manual pages and that its dependencies came
# from the libraries the programs use.
set -euo pipefail
cd "$(dirname "$0")/.."

deb=$(ls dist/zrk_*_*.deb)
listing=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
status=0
for expected in /usr/bin/zrk /usr/bin/zrkctl /usr/bin/zrk-sim \
                /usr/share/zrk/zrk.ini /usr/share/zrk/helpZRK.chm /usr/share/zrk/ayudaZRK.chm \
                /usr/share/zrk/ayudajx.chm /usr/share/zrk/AideZRK.chm \
                /usr/share/zrk/scenarios/led-lantern.zrksim /usr/share/zrk/scenarios/rotating-lantern.zrksim \
                /usr/share/zrk/scenarios/old-unit.zrksim \
                /usr/share/applications/zrk.desktop /usr/share/icons/hicolor/scalable/apps/zrk.svg \
                /usr/share/man/man1/zrk.1.gz /usr/share/man/man1/zrkctl.1.gz /usr/share/man/man1/zrk-sim.1.gz \
                /usr/share/bash-completion/completions/zrkctl; do
  grep -qx "$expected" <<<"$listing" || { echo "package: $expected is missing"; status=1; }
done
# Nothing of the build or the tests comes along.
unexpected=$(grep -v '/$' <<<"$listing" | grep -vE '^/usr/(bin/zrk(ctl|-sim)?|share/(zrk|applications|icons|man|bash-completion|doc)/)' || true)
[ -z "$unexpected" ] || { echo "package: unexpected files:"; echo "$unexpected"; status=1; }

depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libqt6widgets6' <<<"$depends" || { echo "package: Depends lacks the Qt libraries: $depends"; status=1; }
grep -q 'qt6-translations-l10n' <<<"$depends" || { echo "package: Depends lacks Qt's translations: $depends"; status=1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work"
desktop-file-validate "$work/usr/share/applications/zrk.desktop" || status=1
for page in zrk zrkctl zrk-sim; do
  zcat "$work/usr/share/man/man1/$page.1.gz" | grep -q '^\.SH' || { echo "package: $page.1 is no manual page"; status=1; }
done
[ $status -eq 0 ] && echo "package: $(basename "$deb") holds $(grep -vc '/$' <<<"$listing") files; Depends: $depends"
exit $status
