#!/usr/bin/env python3
"""Writes the package managers' manifests for the packages in a dist folder.

  package-manifests.py DIST_DIR FACTS...      FACTS: KEY=VALUE, the keys of dist-facts.sh

winget: a multi-file manifest set (version, installer, default locale; schema
1.6.0) for the per-user MSIs, at DIST_DIR/winget/manifests/<letter>/<id
parts>/<version>/, the path it takes in the community repository. Scoop: a
manifest for the win32 zip at DIST_DIR/scoop/<product>.json. Every download
address is QUELL_RELEASE_URL with {version} and {file} filled in. The product
code is read from each MSI, as Windows Installer will report it.
"""
import hashlib
import json
import re
import subprocess
import sys
from pathlib import Path

import yaml

MANIFEST_VERSION = "1.6.0"
LOCALE = "en-US"
# The builds, as winget and Scoop name their architectures.
WINGET_ARCH = {"win32": "x86", "win64": "x64"}


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 16), b""):
            digest.update(block)
    return digest.hexdigest()


def msi_property(msi, name):
    rows = subprocess.run(["msiinfo", "export", str(msi), "Property"], check=True,
                          capture_output=True, text=True).stdout.splitlines()[3:]
    for row in rows:
        key, _, value = row.rstrip("\r").partition("\t")
        if key == name:
            return value
    sys.exit(f"package-manifests: {msi.name} has no {name}")


def yaml_document(kind, fields):
    header = (f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{kind}."
              f"{MANIFEST_VERSION}.schema.json\n\n")
    return header + yaml.safe_dump(fields, sort_keys=False, default_flow_style=False, width=1000)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    dist = Path(sys.argv[1])
    facts = dict(arg.split("=", 1) for arg in sys.argv[2:])
    product, version = facts["QUELL_PRODUCT"], facts["QUELL_VERSION"]
    identifier = facts["QUELL_WINGET_ID"]

    def url(file):
        return facts["QUELL_RELEASE_URL"].replace("{version}", version).replace("{file}", file)

    installers = []
    for build, arch in WINGET_ARCH.items():
        msi = dist / f"{product}-{version}-{build}.msi"
        if not msi.is_file():
            sys.exit(f"package-manifests: {msi} is missing")
        installers.append({
            "Architecture": arch,
            "InstallerUrl": url(msi.name),
            "InstallerSha256": sha256(msi).upper(),
            "ProductCode": msi_property(msi, "ProductCode"),
            "AppsAndFeaturesEntries": [{"UpgradeCode": msi_property(msi, "UpgradeCode")}],
        })

    head = {"PackageIdentifier": identifier, "PackageVersion": version}
    tail = {"ManifestVersion": MANIFEST_VERSION}
    folder = dist / "winget" / "manifests" / identifier[0].lower() / Path(*identifier.split(".")) / version
    folder.mkdir(parents=True, exist_ok=True)
    documents = {
        f"{identifier}.yaml": yaml_document("version", {
            **head, "DefaultLocale": LOCALE, "ManifestType": "version", **tail}),
        f"{identifier}.installer.yaml": yaml_document("installer", {
            **head,
            "InstallerType": "msi",
            "Scope": "user",
            "InstallModes": ["interactive", "silent", "silentWithProgress"],
            # A newer MSI replaces the older one itself (its Upgrade table).
            "UpgradeBehavior": "install",
            "Installers": installers,
            "ManifestType": "installer", **tail}),
        f"{identifier}.locale.{LOCALE}.yaml": yaml_document("defaultLocale", {
            **head,
            "PackageLocale": LOCALE,
            "Publisher": facts["QUELL_PUBLISHER"],
            "PublisherUrl": facts["QUELL_HOME_PAGE"],
            "PackageName": product,
            "PackageUrl": facts["QUELL_HOME_PAGE"],
            "License": facts["QUELL_LICENSE"],
            "ShortDescription": facts["QUELL_SUMMARY"],
            "Moniker": product.lower(),
            "ManifestType": "defaultLocale", **tail}),
    }
    for name, text in documents.items():
        (folder / name).write_text(text)

    zip_file = dist / f"{product}-{version}-win32.zip"
    if not zip_file.is_file():
        sys.exit(f"package-manifests: {zip_file} is missing")
    scoop = {
        "version": version,
        "description": facts["QUELL_SUMMARY"],
        "homepage": facts["QUELL_HOME_PAGE"],
        "license": facts["QUELL_LICENSE"],
        "architecture": {"32bit": {"url": url(zip_file.name), "hash": sha256(zip_file)}},
        "bin": "Quellane.exe",
        "shortcuts": [["Quellane.exe", product]],
        # The settings live next to the program: kept across updates. Scoop
        # would make a folder of a file that does not exist yet.
        "pre_install": f'if (!(Test-Path "$persist_dir\\{product}.ini")) '
                       f'{{ New-Item "$dir\\{product}.ini" -ItemType File | Out-Null }}',
        "persist": f"{product}.ini",
        # The running program holds its files: ended as the MSI's uninstall ends it.
        "pre_uninstall": 'Start-Process -Wait "$dir\\Quellane.exe" -ArgumentList "/exit"',
    }
    (dist / "scoop").mkdir(exist_ok=True)
    (dist / "scoop" / f"{product.lower()}.json").write_text(json.dumps(scoop, indent=4) + "\n")


if __name__ == "__main__":
    main()
