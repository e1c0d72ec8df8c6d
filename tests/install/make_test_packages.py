#!/usr/bin/env python3
"""Builds the packages the install engine's tests download, as a CTest fixture step.

    make_test_packages.py ROOT --7za 7ZA --fixtures FIXTURES

ROOT is the folder the tests' package server serves (helm_test_server). Below
ROOT/zqHelmview/application/ (the installer's package folder), one version per
situation:

    2.2.0.1/Helmview.zip          the application as Helmview.exe
    2.2.0.2/NorvaleHelmview.zip   only the second package name, holding NorvaleSSDHelmview.exe
    2.2.0.3/Helmview.zip          everything but the application
    2.2.0.4/                      nothing on disk: the test serves a slow, generated body by a rule
    2.2.0.9/                      nothing: the download fails
"""

import argparse
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "fixtures"))
import make_packages  # noqa: E402

APPLICATION = Path("zqHelmview") / "application"


def main():
    parser = argparse.ArgumentParser(description="Build the install engine's test packages.")
    parser.add_argument("root")
    parser.add_argument("--7za", dest="seven_zip", required=True)
    parser.add_argument("--fixtures", required=True)
    args = parser.parse_args()
    folder = Path(args.root).resolve() / APPLICATION
    try:
        make_packages.make_package(folder / "2.2.0.1" / "Helmview.zip", args.seven_zip, args.fixtures)
        make_packages.make_package(folder / "2.2.0.2" / "NorvaleHelmview.zip", args.seven_zip, args.fixtures,
                                   names=(make_packages.APP_FULL_NAME,))
        make_packages.make_package(folder / "2.2.0.3" / "Helmview.zip", args.seven_zip, args.fixtures, names=())
    except make_packages.PackageError as error:
        sys.exit(f"make_test_packages: {error}")
    for version in ("2.2.0.4", "2.2.0.9"):
        (folder / version).mkdir(parents=True, exist_ok=True)
    print(f"packages in {folder}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
