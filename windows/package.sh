#!/usr/bin/env bash
# Makes dist/officer-maker-<version>-win64.zip and
# dist/officer-maker-<version>-win64-setup.exe from the Windows build in the
# folder given (build-win64 by default).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-win64}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
qt_version=$(dpkg-query -W -f='${Version}' qtbase5-dev)
name=officer-maker-$version-win64
stage=$build/stage/$name
rm -rf "$build/stage"
mkdir -p "$stage" dist
cp "$build/officer-maker.exe" "$build/officer-maker-cli.exe" "$stage/"
cp data/familyName.dat data/boyName.dat data/girlName.dat "$stage/"
# OpenCC's s2t dictionaries, exported as text by the build, with which the
# program converts names typed in simplified Chinese.
mkdir -p "$stage/opencc"
cp "$build/opencc/STPhrases.txt" "$build/opencc/STCharacters.txt" "$stage/opencc/"
# The README and the licences for Notepad: CR LF line ends.
sed -e "s/@VERSION@/$version/" -e "s/@QT_VERSION@/$qt_version/" -e 's/$/\r/' \
    windows/README.txt >"$stage/README.txt"
notices=$(windows/qt-notices.sh)
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
sed 's/$/\r/' "$notices/LICENSE-Qt.txt" >"$stage/LICENSE-Qt.txt"
sed 's/$/\r/' "$notices/THIRD-PARTY-NOTICES.txt" >"$stage/THIRD-PARTY-NOTICES.txt"
opencc_version=$(dpkg-query -W -f='${Version}' libopencc-data)
{
    echo "The dictionaries in the folder opencc, STPhrases.txt and STCharacters.txt, are"
    echo "OpenCC's simplified-to-traditional dictionaries, exported as text from Debian's"
    echo "package libopencc-data $opencc_version. They are used under the Apache License,"
    echo "version 2.0, whose text follows Debian's copyright notice of OpenCC."
    echo
    cat /usr/share/doc/libopencc-data/copyright
    echo
    cat /usr/share/common-licenses/Apache-2.0
} | sed 's/$/\r/' >"$stage/LICENSE-OpenCC.txt"
# The program's complete source, as committed, so that it can be rebuilt and
# linked with another Qt.
git archive --format=tar.gz --prefix="officer-maker-$version/" \
    -o "$stage/officer-maker-$version-source.tar.gz" HEAD \
    || { echo "package.sh: the source tarball is made with git archive, in a git checkout" >&2; exit 1; }

rm -f "dist/$name.zip" "dist/$name-setup.exe"
(cd "$build/stage" && zip -q -X -r "../../dist/$name.zip" "$name")

size_kb=$(du -sk "$stage" | cut -f1)
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$PWD/$stage" \
    -DICON="$PWD/$build/windows/officer-maker.ico" -DOUTFILE="$PWD/dist/$name-setup.exe" \
    -DSIZE_KB="$size_kb" windows/installer.nsi
echo "Packages: dist/$name.zip, dist/$name-setup.exe"
