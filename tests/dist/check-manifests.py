#!/usr/bin/env python3
"""Checks the winget and Scoop manifests of dist/ against the packages they
describe (scripts/test-dist.sh): hashes recomputed, each address naming a file
that is there, the project's version, the architecture and the product and
upgrade codes of the MSI itself (msiinfo).

  check-manifests.py DIST_DIR FACTS_FILE       FACTS_FILE: a dist-facts.sh
Prints "  ok    ..." and "  FAIL  ..." lines; exit code 1 on any failure.
"""
import hashlib
import json
import shlex
import subprocess
import sys
import zipfile
from pathlib import Path

import yaml

failures = 0


def check(name, actual, expected):
    global failures
    failures += actual != expected
    print(f"  ok    {name}" if actual == expected else
          f"  FAIL  {name}\n        got [{actual}], expected [{expected}]")


def digest(path):
    return hashlib.sha256(path.read_bytes()).hexdigest()


def msi_table(msi, table):
    out = subprocess.run(["msiinfo", "export", str(msi), table], check=True, capture_output=True,
                         text=True).stdout
    return dict(line.rstrip("\r").split("\t", 1) for line in out.splitlines()[3:] if "\t" in line)


def release_file(url, facts):
    """The file a download address names, or None when it does not follow the pattern."""
    pattern = facts["QUELL_RELEASE_URL"].replace("{version}", facts["QUELL_VERSION"])
    prefix, _, suffix = pattern.partition("{file}")
    ok = url.startswith(prefix) and url.endswith(suffix) and len(url) > len(prefix + suffix)
    return url[len(prefix):len(url) - len(suffix)] if ok else None


def check_winget(dist, facts):
    version, ident = facts["QUELL_VERSION"], facts["QUELL_WINGET_ID"]
    folder = Path("winget", "manifests", ident[0].lower(), *ident.split("."), version)
    names = {"version": f"{ident}.yaml", "installer": f"{ident}.installer.yaml",
             "defaultLocale": f"{ident}.locale.en-US.yaml"}
    check("winget: the three files of one version, in the repository's path",
          sorted(str(p.relative_to(dist)) for p in (dist / "winget").rglob("*") if p.is_file()),
          sorted(str(folder / n) for n in names.values()))
    docs = {}
    for kind, name in names.items():
        text = (dist / folder / name).read_text() if (dist / folder / name).is_file() else ""
        docs[kind] = yaml.safe_load(text) or {}
        check(f"winget {kind}: schema 1.6.0, identifier, version, type",
              [text.partition("\n")[0]] + [docs[kind].get(k) for k in (
                  "PackageIdentifier", "PackageVersion", "ManifestType", "ManifestVersion")],
              [f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{kind}.1.6.0"
               ".schema.json", ident, version, kind, "1.6.0"])
    licence = (dist.parent / "LICENSE").read_text().partition(" License")[0]
    check("winget locale: its file named, publisher, name, home page, LICENSE's licence",
          [docs["version"].get("DefaultLocale")] + [docs["defaultLocale"].get(k) for k in (
              "PackageLocale", "Publisher", "PackageName", "PackageUrl", "License")],
          ["en-US", "en-US", facts["QUELL_PUBLISHER"], facts["QUELL_PRODUCT"],
           facts["QUELL_HOME_PAGE"], licence])
    installer = docs["installer"]
    check("winget installer: per-user MSI", [installer.get("InstallerType"), installer.get("Scope")],
          ["msi", "user"])
    entries = {release_file(e.get("InstallerUrl", ""), facts): e
               for e in installer.get("Installers", [])}
    msis = sorted(dist.glob("*.msi"))
    check("winget installer: one installer per MSI of dist/, each named by its address",
          sorted(str(n) for n in entries), [m.name for m in msis])
    for msi in (m for m in msis if m.name in entries):
        entry, props = entries[msi.name], msi_table(msi, "Property")
        platform = msi_table(msi, "_SummaryInformation").get("7", "").split(";")[0]
        check(f"winget {msi.name}: architecture of its platform, SHA256 (upper-case), product and "
              "upgrade codes, version",
              [entry.get("Architecture"), entry.get("InstallerSha256"), entry.get("ProductCode"),
               (entry.get("AppsAndFeaturesEntries") or [{}])[0].get("UpgradeCode"), version],
              [{"Intel": "x86", "x64": "x64"}.get(platform, platform), digest(msi).upper(),
               props.get("ProductCode"), props.get("UpgradeCode"), props.get("ProductVersion")])


def check_scoop(dist, facts):
    path = dist / "scoop" / f"{facts['QUELL_PRODUCT'].lower()}.json"
    scoop = json.loads(path.read_text()) if path.is_file() else {}
    check("scoop: version, home page, licence, a description, the settings kept",
          [scoop.get(k) for k in ("version", "homepage", "license", "persist")] +
          [bool(scoop.get("description"))],
          [facts["QUELL_VERSION"], facts["QUELL_HOME_PAGE"], facts["QUELL_LICENSE"],
           f"{facts['QUELL_PRODUCT']}.ini", True])
    arch = scoop.get("architecture", {})
    name = release_file(arch.get("32bit", {}).get("url", ""), facts)
    check("scoop: the 32-bit build only, its address naming the win32 zip", [list(arch), name],
          [["32bit"], f"{facts['QUELL_PRODUCT']}-{facts['QUELL_VERSION']}-win32.zip"])
    zip_path = dist / str(name)
    if zip_path.is_file():
        with zipfile.ZipFile(zip_path) as z:
            root = set(z.namelist())
        check("scoop: SHA256 of the zip; bin Quellane.exe, at its root",
              [arch["32bit"].get("hash"), scoop.get("bin"), "Quellane.exe" in root],
              [digest(zip_path), "Quellane.exe", True])


def main():
    facts = {}
    for line in Path(sys.argv[2]).read_text().splitlines():
        key, eq, value = line.partition("=")
        if eq and not line.startswith("#"):
            facts[key] = shlex.split(value)[0] if value else ""
    check_winget(Path(sys.argv[1]), facts)
    check_scoop(Path(sys.argv[1]), facts)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
