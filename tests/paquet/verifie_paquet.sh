#!/usr/bin/env bash
# Checks of the Debian package that CPack makes from this build. The package is
# unpacked with dpkg -x into a folder of the build, never installed.
#   verifie_paquet.sh construit|contenu|dependances|bureau|lintian|reproductible BUILD DIR
# Exits 77 (skipped) when a tool it needs is missing.
set -euo pipefail
VERIF="$1"
BUILD="$2"
DIR="$3"
ID=org.brenlor.Brenlor
: "${SOURCE_DATE_EPOCH:=1700000000}"
export SOURCE_DATE_EPOCH

echec() { echo "FAIL: $*" >&2; exit 1; }
outils() {
  for o in "$@"; do
    command -v "$o" >/dev/null || { echo "SKIP: $o is not installed (scripts/setup installs it)"; exit 77; }
  done
}
paquet() {
  local d
  d="$(ls "$1"/brenlor_*.deb 2>/dev/null)" || echec "no package in $1"
  [ "$(echo "$d" | wc -l)" -eq 1 ] || echec "several packages in $1"
  echo "$d"
}
# The checks of a package that paquet_construit could not make are skipped:
# that test itself says why.
deja_fait() {
  ls "$DIR"/brenlor_*.deb >/dev/null 2>&1 || { echo "SKIP: no package in $DIR (see paquet_construit)"; exit 77; }
}
fait() {
  outils cpack dpkg-deb dpkg-shlibdeps file
  rm -rf "$2"
  cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$2" >"$2.log" 2>&1 || { cat "$2.log"; echec "cpack failed"; }
  paquet "$2" >/dev/null
}

case "$VERIF" in
construit)
  fait "$BUILD" "$DIR"
  DEB="$(paquet "$DIR")"
  dpkg-deb -x "$DEB" "$DIR/racine"
  ls -l "$DEB"
  ;;

contenu)
  deja_fait
  outils dpkg-deb file readelf
  DEB="$(paquet "$DIR")"
  attendus="./usr/bin/Brenlor
./usr/share/applications/$ID.desktop
./usr/share/doc/brenlor/changelog.gz
./usr/share/doc/brenlor/copyright"
  for t in 16 24 32 48 64 128 256; do
    attendus+=$'\n'"./usr/share/icons/hicolor/${t}x${t}/apps/$ID.png"
  done
  attendus+=$'\n'"./usr/share/icons/hicolor/scalable/apps/$ID.svg
./usr/share/man/man1/Brenlor.1.gz
./usr/share/metainfo/$ID.metainfo.xml"
  trouves="$(dpkg-deb --fsys-tarfile "$DEB" | tar -t | grep -v '/$' | sort)"
  [ "$trouves" = "$(echo "$attendus" | sort)" ] ||
    echec "files of the package differ from the expected ones:"$'\n'"$(diff <(echo "$attendus" | sort) <(echo "$trouves"))"
  # Owned by root, directories and the program executable by all.
  dpkg-deb --fsys-tarfile "$DEB" | tar -tv | while read -r mode proprio _; do
    [ "$proprio" = "root/root" ] || echec "owner $proprio in the package"
    case "$mode" in drwxr-xr-x|-rw-r--r--|-rwxr-xr-x) ;; *) echec "mode $mode in the package" ;; esac
  done
  [ "$(dpkg-deb --fsys-tarfile "$DEB" | tar -tv ./usr/bin/Brenlor | cut -c1-10)" = "-rwxr-xr-x" ] ||
    echec "Brenlor is not executable"
  R="$DIR/racine"
  file -b "$R/usr/bin/Brenlor" | grep -q 'ELF .*executable.*, stripped' ||
    echec "Brenlor: $(file -b "$R/usr/bin/Brenlor")"
  ! readelf -d "$R/usr/bin/Brenlor" | grep -Eq 'RPATH|RUNPATH' || echec "Brenlor keeps a library search path of the build"
  for t in 16 24 32 48 64 128 256; do
    file -b "$R/usr/share/icons/hicolor/${t}x${t}/apps/$ID.png" | grep -q "^PNG image data, $t x $t, 8-bit/color RGBA" ||
      echec "icon ${t}x${t}: $(file -b "$R/usr/share/icons/hicolor/${t}x${t}/apps/$ID.png")"
  done
  grep -q '<svg' "$R/usr/share/icons/hicolor/scalable/apps/$ID.svg" || echec "the scalable icon is no SVG"
  gzip -t "$R/usr/share/doc/brenlor/changelog.gz" "$R/usr/share/man/man1/Brenlor.1.gz"
  echo "$trouves"
  ;;

dependances)
  deja_fait
  outils dpkg-deb dpkg-architecture
  DEB="$(paquet "$DIR")"
  [ "$(dpkg-deb -f "$DEB" Package)" = "brenlor" ] || echec "package name"
  [ "$(dpkg-deb -f "$DEB" Architecture)" = "$(dpkg-architecture -qDEB_HOST_ARCH)" ] || echec "architecture"
  depends="$(dpkg-deb -f "$DEB" Depends)"
  echo "Depends: $depends"
  noms=" $(echo "$depends" | tr ',' '\n' | sed 's/(.*)//; s/|.*//; s/ //g' | tr '\n' ' ')"
  # The ODBC driver and manager are loaded by name, the rest comes from the
  # libraries the program is linked with.
  for p in tdsodbc unixodbc libodbc2 libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6; do
    [[ "$noms" == *" $p "* ]] || echec "$p missing from Depends"
  done
  # Only the stand-in uses SQLite, only the tests link Qt Test.
  for p in libsqlite3-0 libqt6test6; do
    [[ "$noms" != *" $p "* ]] || echec "$p in Depends"
  done
  echo "$depends" | grep -Eq 'libqt6widgets6 \(>= [0-9]' || echec "no version on the Qt dependency: not from the libraries"
  ;;

bureau)
  deja_fait
  outils desktop-file-validate appstreamcli
  R="$DIR/racine/usr"
  desktop-file-validate "$R/share/applications/$ID.desktop"
  appstreamcli validate --no-net "$R/share/metainfo/$ID.metainfo.xml"
  # What the entry and the metadata name is what the package ships.
  exe="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$R/share/applications/$ID.desktop")"
  [ -x "$R/bin/$exe" ] || echec "Exec=$exe is not in the package"
  icone="$(sed -n 's/^Icon=//p' "$R/share/applications/$ID.desktop")"
  [ -f "$R/share/icons/hicolor/48x48/apps/$icone.png" ] || echec "Icon=$icone is not in the package"
  grep -q "<launchable type=\"desktop-id\">$ID.desktop</launchable>" "$R/share/metainfo/$ID.metainfo.xml" ||
    echec "the metadata does not launch $ID.desktop"
  grep -q "<id>$ID</id>" "$R/share/metainfo/$ID.metainfo.xml" || echec "component id"
  version="$(dpkg-deb -f "$(paquet "$DIR")" Version)"
  grep -q "<release version=\"$version\" date=\"[0-9-]*\"" "$R/share/metainfo/$ID.metainfo.xml" ||
    echec "no release $version in the metadata"
  grep -q "<binary>$exe</binary>" "$R/share/metainfo/$ID.metainfo.xml" || echec "the metadata does not provide $exe"
  ;;

lintian)
  deja_fait
  outils lintian
  DEB="$(paquet "$DIR")"
  rc=0
  sortie="$(lintian --no-cfg --display-info --fail-on error "$DEB" 2>&1)" || rc=$?
  echo "$sortie"
  [ "$rc" -eq 0 ] && ! echo "$sortie" | grep -q '^E: ' || echec "lintian reports errors"
  ;;

reproductible)
  deja_fait
  # The same build packed twice, a second apart, gives the same bytes.
  DEB="$(paquet "$DIR")"
  sleep 1
  fait "$BUILD" "$DIR.bis"
  cmp "$DEB" "$(paquet "$DIR.bis")" || echec "two packings of the same build differ"
  dpkg-deb --fsys-tarfile "$DEB" | tar -tv --full-time | while read -r _ _ _ jour heure _; do
    t="$(date -ud "$jour $heure" +%s)"
    [ "$t" -le "$SOURCE_DATE_EPOCH" ] || echec "a file dated $jour $heure, after the last commit"
  done
  rm -rf "$DIR.bis" "$DIR.bis.log"
  ;;

*) echec "unknown check $VERIF" ;;
esac
