#!/usr/bin/env python3
"""Writes the licence texts that the Windows packages carry for the static Qt.

qt-notices.py QTBASE_SOURCE IDS_FILE QT_VERSION OUT_FOLDER

OUT_FOLDER gets LICENSE-Qt.txt, Qt's own LGPLv3 text, and
THIRD-PARTY-NOTICES.txt: for every Id of IDS_FILE, the component's name,
version, copyright and licence as qtbase's qt_attribution.json files state
them, followed by its licence file. An Id that no attribution names, or a
licence file that is missing, is an error.
"""
import json
import os
import shutil
import sys


def attributions(source):
    found = {}
    for folder, _, files in os.walk(source):
        if "qt_attribution.json" not in files:
            continue
        path = os.path.join(folder, "qt_attribution.json")
        with open(path, encoding="utf-8") as f:
            # Some of them break their strings over several lines.
            entries = json.loads(f.read(), strict=False)
        for entry in entries if isinstance(entries, list) else [entries]:
            found[entry["Id"]] = (folder, entry)
    return found


def main(source, ids_file, qt_version, out):
    with open(ids_file, encoding="utf-8") as f:
        ids = [line.strip() for line in f if line.strip() and not line.startswith("#")]
    known = attributions(source)
    missing = [i for i in ids if i not in known]
    if missing:
        sys.exit("qt-notices.py: no qt_attribution.json names " + ", ".join(missing))

    os.makedirs(out, exist_ok=True)
    shutil.copyfile(os.path.join(source, "LICENSE.LGPL3"), os.path.join(out, "LICENSE-Qt.txt"))
    rule = "-" * 72
    parts = [
        "Third-party code in officer-maker.exe",
        "",
        "officer-maker.exe contains Qt 5 (qtbase %s), linked statically and used" % qt_version,
        "under the GNU Lesser General Public License version 3: LICENSE-Qt.txt holds",
        "its text, which refers to the GNU General Public License version 3 in",
        "LICENSE.txt. Qt's source is Debian's package qtbase-opensource-src",
        "%s; the program's own source lies beside the program as" % qt_version,
        "officer-maker-<version>-source.tar.gz, so that the program can be rebuilt",
        "and linked with a changed Qt.",
        "",
        "The Qt libraries in officer-maker.exe contain the following third-party",
        "code, under the licences below.",
    ]
    for component in ids:
        folder, entry = known[component]
        parts += ["", rule, entry["Name"] + (" " + entry["Version"] if entry.get("Version") else "")]
        if entry.get("Copyright"):
            parts.append(entry["Copyright"].strip())
        parts.append("Licence: " + entry.get("License", entry.get("LicenseId", "none stated")))
        licence_file = entry.get("LicenseFile")
        if licence_file:
            with open(os.path.join(folder, licence_file), encoding="utf-8", errors="replace") as f:
                parts += ["", f.read().rstrip()]
    with open(os.path.join(out, "THIRD-PARTY-NOTICES.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(parts) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])
