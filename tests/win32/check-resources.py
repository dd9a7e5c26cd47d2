#!/usr/bin/python3
"""Fails unless a Windows program is built for the processor it should be and
carries its resources: the version in Bulgarian and in English, the icon
(32 x 32 at 256 colours for old Windows, and larger ones), and the manifest
for the same processor. Reads the file with Debian's python3-pefile, so it
needs no Windows and no Wine.

    check-resources.py x86|x64 PROGRAM.exe VERSION
"""
import struct
import sys
import xml.etree.ElementTree as ElementTree

import pefile

MACHINES = {"x86": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"],
            "x64": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"]}
MANIFEST_PROCESSORS = {"x86": "x86", "x64": "amd64"}
DESCRIPTIONS = {"040204B0": "Планини и върхове в България",
                "040904B0": "Peaks, heights and mountains of Bulgaria"}

failures = []


def check(condition, what):
    print(("ok:   " if condition else "FAIL: ") + what)
    if not condition:
        failures.append(what)


def resources(pe, type_name):
    """The data of every resource of one type, in the file's order."""
    wanted = pefile.RESOURCE_TYPE[type_name]
    directory = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in directory.entries if directory else []:
        if kind.id != wanted:
            continue
        for name in kind.directory.entries:
            for language in name.directory.entries:
                entry = language.data.struct
                yield pe.get_data(entry.OffsetToData, entry.Size)


def main():
    arch, program, version = sys.argv[1:]
    pe = pefile.PE(program)
    check(pe.FILE_HEADER.Machine == MACHINES[arch], f"a program for {arch}")
    # Two builds of the same source are the same program.
    check(pe.FILE_HEADER.TimeDateStamp == 0, "no build time in its header")

    major, minor, patch, tweak = (int(part) for part in version.split("."))
    packed = (major << 16 | minor, patch << 16 | tweak)
    fixed = pe.VS_FIXEDFILEINFO[0] if hasattr(pe, "VS_FIXEDFILEINFO") else None
    check(fixed is not None and (fixed.FileVersionMS, fixed.FileVersionLS) == packed,
          f"file version {version}")
    check(fixed is not None and (fixed.ProductVersionMS, fixed.ProductVersionLS) == packed,
          f"product version {version}")
    tables = {table.LangID.decode(): {key.decode(): value.decode() for key, value
                                      in table.entries.items()}
              for info in getattr(pe, "FileInfo", [[]])[0] if info.Key == b"StringFileInfo"
              for table in info.StringTable}
    for language, description in DESCRIPTIONS.items():
        strings = tables.get(language, {})
        check(strings.get("FileVersion") == version, f"{language}: FileVersion {version}")
        check(strings.get("FileDescription") == description,
              f"{language}: FileDescription „{description}“")

    # A group icon: a header of three words, then 14 bytes an image.
    sizes = []
    for group in resources(pe, "RT_GROUP_ICON"):
        count = struct.unpack_from("<3H", group)[2]
        for index in range(count):
            width, height, _, _, _, bits, _, _ = struct.unpack_from("<4B2HIH", group, 6 + 14 * index)
            sizes.append((width or 256, height or 256, bits))
    check((32, 32, 8) in sizes, "an icon of 32 x 32 at 256 colours")
    check(max((width for width, _, _ in sizes), default=0) >= 64, "an icon of 64 x 64 or larger")

    manifests = list(resources(pe, "RT_MANIFEST"))
    check(len(manifests) == 1, "one manifest")
    manifest = manifests[0].decode("utf-8") if manifests else ""
    for wanted in ("PerMonitorV2", "Microsoft.Windows.Common-Controls", "asInvoker"):
        check(wanted in manifest, f"the manifest asks for {wanted}")
    identity = ElementTree.fromstring(manifest).find(
        "{urn:schemas-microsoft-com:asm.v1}assemblyIdentity") if manifest else None
    check(identity is not None
          and identity.get("processorArchitecture") == MANIFEST_PROCESSORS[arch]
          and identity.get("version") == version,
          f"the manifest names the program {MANIFEST_PROCESSORS[arch]}, version {version}")

    if failures:
        sys.exit(f"{len(failures)} failed")


main()
