"""Writes THIRD-PARTY-NOTICES.txt and the release's bill of materials.

Run after Torvane.exe is linked. What it contains is read from the linker's
map (-Wl,-Map): every archive member and object the executable took code
from. Each is traced to the Debian package that installed it, and the notice
is taken from that package's copyright file, so the notices always name what
is linked, in the versions the build used. An input no rule below knows
stops the build: a new library needs its notice before it can ship.

The bill of materials is written as a template: the package step fills in the
SHA-256 of the executable in the zip, which is only known once it is signed.
"""

import argparse
import json
import os
import re
import subprocess
import sys
import urllib.parse

HASH_PLACEHOLDER = "@TORVANE_EXE_SHA256@"

# gdtoa's sources, and mingw-w64's printf that is built on it and shares its
# notice, by the name of their object in libmingwex.a.
GDTOA_OBJECTS = {
    "arithchk", "dmisc", "dtoa", "g__fmt", "g_dfmt", "g_ffmt", "g_xfmt", "gdtoa",
    "gethex", "gmisc", "hd_init", "hexnan", "misc", "qnan", "smisc", "strtodg",
    "strtodnrp", "strtopx", "sum", "ulp", "mingw_pformat",
}

# Each component: which linked inputs are its own, where its notice comes
# from and how its version is known. Rules are tried in order.
COMPONENTS = [
    {
        "name": "winpthreads",
        "description": "mingw-w64's POSIX threads library, used by the C++ runtime",
        "owns": lambda package, archive, stem: package.startswith("mingw-w64-")
        and archive in ("libpthread.a", "libwinpthread.a"),
        "stanzas": ["mingw-w64-libraries/winpthreads/*",
                    "mingw-w64-libraries/winpthreads/include/pthread.h"],
        "stanzas_if": {"mingw-w64-libraries/winpthreads/src/clock.c": {"clock", "nanosleep"}},
    },
    {
        "name": "gdtoa",
        "description": "David M. Gay's number conversions, and mingw-w64's printf built on them",
        "owns": lambda package, archive, stem: package.startswith("mingw-w64-")
        and archive == "libmingwex.a" and stem in GDTOA_OBJECTS,
        "stanzas": ["mingw-w64-crt/gdtoa/*"],
        "stanzas_if": {"mingw-w64-crt/gdtoa/qnan.c": {"qnan", "strtodnrp"}},
    },
    {
        "name": "mingw-w64-crt",
        "description": "mingw-w64's C runtime start-up, helpers and import libraries",
        "owns": lambda package, archive, stem: re.fullmatch(r"mingw-w64-[a-z0-9-]+-dev", package),
        "stanzas": ["*", "mingw-w64-crt/crt/*"],
        "stanzas_if": {},
    },
    {
        "name": "libstdc++",
        "description": "GCC's C++ standard library",
        "owns": lambda package, archive, stem: package.startswith("g++-mingw-w64-")
        and archive == "libstdc++.a",
        "gcc": True,
    },
    {
        "name": "libgcc",
        "description": "GCC's low-level runtime: start-up, stack probes, unwinding",
        "owns": lambda package, archive, stem: package.startswith("gcc-mingw-w64-")
        and archive in ("libgcc.a", "libgcc_eh.a", "crtbegin.o", "crtend.o"),
        "gcc": True,
    },
]

# The order of the notices and of the bill of materials: the C runtime first.
NOTICE_ORDER = ["mingw-w64-crt", "gdtoa", "winpthreads", "libstdc++", "libgcc"]

# The Debian copyright file's license names, as SPDX identifiers where one
# says exactly the same.
SPDX_IDS = {"ZPL-2.1": "ZPL-2.1", "expat": "MIT", "BSD-3-clause-Lockless": "BSD-3-Clause"}
GCC_LICENSE = "GPL-3.0-or-later WITH GCC-exception-3.1"

# The parts of GCC's copyright file that apply to its runtime libraries: who
# holds it, the license with the list of runtime libraries under the
# exception, and the exception itself.
GCC_PARTS = [
    (r"^GCC is Copyright", r"^ - libvtv$"),
    (r"^GCC RUNTIME LIBRARY EXCEPTION$", r"requirements of the license of GCC\.$"),
]


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout.strip()


def linked_inputs(map_path, build_dir):
    """(path, member) for every third-party input that gave the link code."""
    inputs = set()
    with open(map_path, encoding="utf-8", errors="replace") as map_file:
        text = map_file.read()
    included = text.split("Archive member included", 1)[1].split("\nDiscarded input sections", 1)[0]
    for path, member in re.findall(r"^(\S+\.a)\(([^)]+)\)", included, re.M):
        inputs.add((path, member))
    memory_map = text.split("\nLinker script and memory map", 1)[1]
    for path in re.findall(r"^LOAD (\S+\.o(?:bj)?)$", memory_map, re.M):
        inputs.add((path, ""))
    third_party = set()
    for path, member in inputs:
        full = os.path.realpath(os.path.join(build_dir, path))
        if not full.startswith(os.path.realpath(build_dir) + os.sep):
            third_party.add((full, member))
    return third_party


def debian_package(path, cache={}):
    if path not in cache:
        owner = run("dpkg-query", "-S", path)
        cache[path] = owner.split(":", 1)[0].strip()
    return cache[path]


def package_field(package, field):
    return run("dpkg-query", "-W", "-f=${" + field + "}", package)


def stanzas(copyright_text):
    """The machine-readable copyright file's paragraphs, as field dictionaries."""
    paragraphs = []
    for block in re.split(r"\n\s*\n", copyright_text):
        fields, name = {}, None
        for line in block.split("\n"):
            if line[:1] in (" ", "\t") and name:
                fields[name] += "\n" + line
            elif ":" in line:
                name, value = line.split(":", 1)
                fields[name] = value.strip()
        if fields:
            paragraphs.append(fields)
    return paragraphs


def unfold(value):
    lines = [line[1:] if line.startswith(" ") else line.lstrip("\t") for line in value.split("\n")]
    return "\n".join("" if line.strip() == "." else line.rstrip() for line in lines)


def dep5_notice(copyright_text, patterns, package):
    paragraphs = stanzas(copyright_text)
    licenses = {p["License"].split("\n")[0]: p["License"] for p in paragraphs
                if "License" in p and "Files" not in p}
    parts, names = [], []
    for pattern in patterns:
        found = [p for p in paragraphs if "Files" in p and p["Files"].split()[0] == pattern]
        if len(found) != 1:
            sys.exit(f"{package}'s copyright file has no section for {pattern}")
        section = found[0]
        license_name, _, text = section["License"].partition("\n")
        if not text.strip():
            text = licenses.get(license_name, "").partition("\n")[2]
        names.append(license_name)
        files = section["Files"].split()
        shown = ", ".join(files) if len(files) <= 3 else (
            f"{files[0]} and {len(files) - 1} other paths of the sources")
        parts.append(f"Files: {shown}\n"
                     f"Copyright: {unfold(' ' + section['Copyright']).strip()}\n"
                     f"License: {license_name}\n{unfold(text).strip()}".rstrip())
    return "\n\n".join(parts), names


def gcc_notice(copyright_text, package):
    lines = copyright_text.split("\n")
    parts = []
    for start, end in GCC_PARTS:
        first = next((i for i, line in enumerate(lines) if re.search(start, line)), None)
        last = next((i for i, line in enumerate(lines) if first is not None and i >= first
                     and re.search(end, line)), None)
        if first is None or last is None:
            sys.exit(f"{package}'s copyright file lacks the part starting '{start}'")
        parts.append("\n".join(lines[first:last + 1]))
    return "\n\n".join(parts)


def purl(package, version, arch):
    return (f"pkg:deb/debian/{package}@{urllib.parse.quote(version, safe='')}"
            f"?arch={arch}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--map", required=True)
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--compiler", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--processor", required=True)
    parser.add_argument("--notices", required=True)
    parser.add_argument("--sbom", required=True)
    args = parser.parse_args()

    found = {}
    for path, member in sorted(linked_inputs(args.map, args.build_dir)):
        package = debian_package(path)
        archive = os.path.basename(path)
        stem = re.sub(r"^\w+?_a-", "", member)
        stem = re.sub(r"^libwinpthread_la-", "", stem)
        stem = os.path.splitext(stem)[0]
        component = next((c for c in COMPONENTS if c["owns"](package, archive, stem)), None)
        if component is None:
            what = f"{archive}({member})" if member else archive
            sys.exit(f"{what}, from the Debian package {package}, is linked into Torvane.exe "
                     f"but no notice is known for it: add it to {os.path.basename(__file__)}")
        entry = found.setdefault(component["name"], {"package": package, "inputs": {}, "stems": set()})
        if entry["package"] != package:
            sys.exit(f"{component['name']} comes from both {entry['package']} and {package}")
        entry["inputs"].setdefault(archive, set()).update({stem} if member else set())
        entry["stems"].add(stem)

    compiler_version = run(args.compiler, "-dumpfullversion")
    notices = [
        f"Torvane {args.version} for {args.processor}: third-party notices",
        "",
        "Torvane is under the MIT license (LICENSE). Torvane.exe is linked statically",
        "with the following components, whose code it carries; their notices follow.",
        "Each names the Debian package the build took it from and, under \"Linked",
        "from\", the libraries (and for gdtoa the objects) the linker took code from.",
    ]
    components = []
    texts = {}
    shown = sorted((c for c in COMPONENTS if c["name"] in found),
                   key=lambda c: NOTICE_ORDER.index(c["name"]))
    for component in shown:
        entry = found[component["name"]]
        package = entry["package"]
        package_version = package_field(package, "Version")
        package_arch = package_field(package, "Architecture")
        with open(f"/usr/share/doc/{package}/copyright", encoding="utf-8") as copyright_file:
            copyright_text = copyright_file.read()
        if component.get("gcc"):
            version = compiler_version
            text = gcc_notice(copyright_text, package)
            licenses = [{"expression": GCC_LICENSE}]
        else:
            version = re.sub(r"^\d+:", "", package_version).rsplit("-", 1)[0]
            patterns = list(component["stanzas"]) + [
                pattern for pattern, stems in component["stanzas_if"].items()
                if stems & entry["stems"]]
            text, names = dep5_notice(copyright_text, patterns, package)
            licenses = []
            for name in dict.fromkeys(names):
                spdx = SPDX_IDS.get(name)
                licenses.append({"license": {"id": spdx} if spdx else {"name": name}})
        linked = ", ".join(
            archive + (f" ({', '.join(sorted(stems))})" if component["name"] == "gdtoa" else "")
            for archive, stems in sorted(entry["inputs"].items()))
        notices += ["", "=" * 78, f"{component['name']} {version}", "=" * 78,
                    f"{component['description']}.",
                    f"Debian package: {package} {package_version}",
                    f"Linked from: {linked}", ""]
        if text in texts:
            notices.append(f"License: the same as for {texts[text]} above.")
        else:
            texts[text] = component["name"]
            notices.append(text)
        components.append({
            "type": "library",
            "bom-ref": component["name"],
            "name": component["name"],
            "version": version,
            "description": component["description"],
            "licenses": licenses,
            "purl": purl(package, package_version, package_arch),
        })

    with open(args.notices, "w", encoding="utf-8", newline="\r\n") as out:
        out.write("\n".join(notices) + "\n")

    bom = {
        "bomFormat": "CycloneDX",
        "specVersion": "1.5",
        "version": 1,
        "metadata": {
            "component": {
                "type": "application",
                "bom-ref": "Torvane",
                "supplier": {"name": "Kestrova"},
                "name": "Torvane",
                "version": args.version,
                "description": f"Rename Quorvex Database, Torvane.exe for {args.processor}",
                "hashes": [{"alg": "SHA-256", "content": HASH_PLACEHOLDER}],
                "licenses": [{"license": {"id": "MIT"}}],
            },
        },
        "components": components,
        "dependencies": [{"ref": "Torvane", "dependsOn": [c["bom-ref"] for c in components]}]
        + [{"ref": c["bom-ref"]} for c in components],
    }
    with open(args.sbom, "w", encoding="utf-8") as out:
        json.dump(bom, out, indent=2)
        out.write("\n")


if __name__ == "__main__":
    main()
