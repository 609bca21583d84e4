#!/usr/bin/env python3
"""Checks the winget and Scoop manifests of dist/ against the packages they
describe (scripts/test-dist.sh): every hash recomputed from the file, every
address naming a file that is there, the version the project's, the
architecture and the product and upgrade codes the MSI's own.

  check-manifests.py DIST_DIR FACTS_FILE       FACTS_FILE: a dist-facts.sh
Prints "  ok    ..." and "  FAIL  ..." lines; exit code 1 on any failure.
"""
import hashlib
import json
import re
import shlex
import subprocess
import sys
import zipfile
from pathlib import Path

import yaml

failures = 0


def check(name, actual, expected):
    global failures
    if actual == expected:
        print(f"  ok    {name}")
    else:
        failures += 1
        print(f"  FAIL  {name}\n        got [{actual}], expected [{expected}]")


def digest(path):
    return hashlib.sha256(path.read_bytes()).hexdigest()


def msi_table(msi, table):
    out = subprocess.run(["msiinfo", "export", str(msi), table], check=True, capture_output=True,
                         text=True).stdout
    return dict(line.rstrip("\r").split("\t", 1) for line in out.splitlines()[3:] if "\t" in line)


def read_facts(path):
    facts = {}
    for line in Path(path).read_text().splitlines():
        if "=" in line and not line.startswith("#"):
            key, value = line.split("=", 1)
            facts[key] = shlex.split(value)[0] if value else ""
    return facts


def release_file(url, pattern, version):
    """The file a download address names, or None when it does not follow the pattern."""
    prefix, _, suffix = pattern.replace("{version}", version).partition("{file}")
    if not url.startswith(prefix) or not url.endswith(suffix):
        return None
    return url[len(prefix):len(url) - len(suffix)] or None


def check_winget(dist, facts):
    version, ident = facts["QUELL_VERSION"], facts["QUELL_WINGET_ID"]
    folder = dist / "winget" / "manifests" / ident[0].lower() / Path(*ident.split(".")) / version
    names = {"version": f"{ident}.yaml", "installer": f"{ident}.installer.yaml",
             "defaultLocale": f"{ident}.locale.en-US.yaml"}
    check("winget: the three files of one version, in the repository's path",
          sorted(p.name for p in dist.joinpath("winget").rglob("*") if p.is_file()),
          sorted(names.values()))
    manifests = {}
    for kind, name in names.items():
        path = folder / name
        if not path.is_file():
            check(f"winget {kind}: {path} exists", False, True)
            return
        text = path.read_text()
        check(f"winget {kind}: the schema line of manifest 1.6.0", text.splitlines()[0],
              f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{kind}.1.6.0.schema.json")
        manifest = yaml.safe_load(text)
        check(f"winget {kind}: identifier, version, type, manifest version",
              [manifest.get(k) for k in ("PackageIdentifier", "PackageVersion", "ManifestType",
                                         "ManifestVersion")], [ident, version, kind, "1.6.0"])
        manifests[kind] = manifest
    check("winget version: the default locale has its file", manifests["version"].get("DefaultLocale"),
          "en-US")
    locale = manifests["defaultLocale"]
    licence = (dist.parent / "LICENSE").read_text().splitlines()[0]
    check("winget locale: locale, publisher, name, home page, licence of LICENSE",
          [locale.get(k) for k in ("PackageLocale", "Publisher", "PackageName", "PackageUrl",
                                   "License")],
          ["en-US", facts["QUELL_PUBLISHER"], facts["QUELL_PRODUCT"], facts["QUELL_HOME_PAGE"],
           licence.removesuffix(" License")])
    check("winget locale: a short description of 3 to 256 characters",
          3 <= len(locale.get("ShortDescription", "")) <= 256, True)

    installer = manifests["installer"]
    check("winget installer: per-user MSI", [installer.get("InstallerType"), installer.get("Scope")],
          ["msi", "user"])
    msis = sorted(dist.glob("*.msi"))
    entries = installer.get("Installers", [])
    named = {release_file(e.get("InstallerUrl", ""), facts["QUELL_RELEASE_URL"], version): e
             for e in entries}
    check("winget installer: one installer per MSI of dist/, each named by its address",
          sorted(n or "?" for n in named), [m.name for m in msis])
    arch_of_template = {"Intel": "x86", "x64": "x64"}
    for msi in msis:
        entry = named.get(msi.name)
        if entry is None:
            continue
        props = msi_table(msi, "Property")
        template = msi_table(msi, "_SummaryInformation").get("7", "").split(";")[0]
        check(f"winget {msi.name}: architecture of the package's platform ({template})",
              entry.get("Architecture"), arch_of_template.get(template, "?"))
        check(f"winget {msi.name}: SHA256 of the file, upper-case hex",
              entry.get("InstallerSha256"), digest(msi).upper())
        check(f"winget {msi.name}: the package's product code", entry.get("ProductCode"),
              props.get("ProductCode"))
        check(f"winget {msi.name}: the package's upgrade code",
              entry.get("AppsAndFeaturesEntries", [{}])[0].get("UpgradeCode"), props.get("UpgradeCode"))
        check(f"winget {msi.name}: the package's version is the manifest's",
              props.get("ProductVersion"), version)
        check(f"winget {msi.name}: the file is named for the product, version and build",
              re.fullmatch(rf"{facts['QUELL_PRODUCT']}-{re.escape(version)}-win(32|64)\.msi", msi.name)
              is not None and msi.name.endswith(
                  "win32.msi" if entry.get("Architecture") == "x86" else "win64.msi"), True)


def check_scoop(dist, facts):
    version, product = facts["QUELL_VERSION"], facts["QUELL_PRODUCT"]
    path = dist / "scoop" / f"{product.lower()}.json"
    if not path.is_file():
        check(f"scoop: {path} exists", False, True)
        return
    manifest = json.loads(path.read_text())
    check("scoop: version, home page, licence", [manifest.get(k) for k in ("version", "homepage",
                                                                          "license")],
          [version, facts["QUELL_HOME_PAGE"], facts["QUELL_LICENSE"]])
    check("scoop: a description", bool(manifest.get("description")), True)
    arch = manifest.get("architecture", {})
    check("scoop: the 32-bit build only", sorted(arch), ["32bit"])
    entry = arch.get("32bit", {})
    name = release_file(entry.get("url", ""), facts["QUELL_RELEASE_URL"], version)
    check("scoop: the address names the win32 zip", name, f"{product}-{version}-win32.zip")
    zip_path = dist / (name or "?")
    if not zip_path.is_file():
        check(f"scoop: {zip_path.name} is in dist/", False, True)
        return
    check("scoop: SHA256 of the zip", entry.get("hash"), digest(zip_path))
    with zipfile.ZipFile(zip_path) as z:
        members = set(z.namelist())
    bins = manifest.get("bin")
    bins = [bins] if isinstance(bins, str) else bins or []
    check("scoop: bin is Quellane.exe, at the zip's root", [b in members for b in bins] == [True]
          and bins == ["Quellane.exe"], True)
    check("scoop: the settings file is kept across updates", manifest.get("persist"), f"{product}.ini")


def main():
    dist, facts = Path(sys.argv[1]), read_facts(sys.argv[2])
    check_winget(dist, facts)
    check_scoop(dist, facts)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
