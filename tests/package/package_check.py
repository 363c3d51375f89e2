"""The Debian package as a teacher receives it: made by cpack from this build, unpacked (never
installed) into a temporary folder, checked for what it holds and depends on, judged by lintian,
and its binary started from there on a private X display inside a network namespace."""

import argparse
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "journey"))
import xsession  # noqa: E402

NEEDED = ["libsdl2-2.0-0", "libsdl2-image-2.0-0", "libsdl2-ttf-2.0-0", "fonts-noto-cjk"]
ALLOWED = ("./usr/bin/tarnixworks-zoa", "./usr/share/tarnixworks-zoa/", "./usr/share/applications/",
           "./usr/share/icons/hicolor/", "./usr/share/metainfo/", "./usr/share/man/man1/",
           "./usr/share/doc/tarnixworks-zoa/")
REQUIRED = ["./usr/bin/tarnixworks-zoa", "./usr/share/tarnixworks-zoa/Resources/file.csv",
            "./usr/share/tarnixworks-zoa/Resources/res/r_play.png",
            "./usr/share/applications/tarnixworks-zoa.desktop",
            "./usr/share/icons/hicolor/256x256/apps/tarnixworks-zoa.png",
            "./usr/share/man/man1/tarnixworks-zoa.1.gz",
            "./usr/share/doc/tarnixworks-zoa/copyright"]
MANUAL = ["--help", "--version", "--simulate", "ZOA_EXTRA_PORTS", "ZOA_SYSTEM_PORTS", "savedatas"]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAILED:", message)


def run(*command, **options):
    return subprocess.run(list(command), capture_output=True, text=True, **options)


def contents(deb):
    files = run("sh", "-c", f"dpkg-deb --fsys-tarfile '{deb}' | tar -t")
    check(files.returncode == 0, "dpkg-deb cannot read the package")
    return [f for f in files.stdout.splitlines() if not f.endswith("/")]


def first_frame(root, work):
    display = xsession.Display()
    try:
        home = os.path.join(work, "home")
        os.makedirs(home)
        env = {"PATH": "/usr/bin:/bin", "HOME": home, "XDG_DATA_HOME": os.path.join(home, "data"),
               "LANG": "C.UTF-8", "ZOA_SYSTEM_PORTS": "none", "ZOA_EXIT_AFTER_FIRST_FRAME": "1"}
        env.update(display.env())
        started = run("timeout", "-k", "5", "60", "unshare", "-n",
                      os.path.join(root, "usr/bin/tarnixworks-zoa"), cwd=work, env=env)
    finally:
        display.close()
    check(started.returncode == 0, f"the unpacked editor ended with {started.returncode}: "
          f"{started.stderr.strip()}")
    found = re.search(r"First frame presented; resources from (.*)", started.stdout)
    resources = os.path.join(root, "usr/share/tarnixworks-zoa/Resources")
    check(found is not None and os.path.samefile(found.group(1).strip(), resources),
          f"the first frame was not drawn on the package's resources: {started.stdout.strip()}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--version", required=True)
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="zoa-package-")
    made = run("cpack", "--config", os.path.join(args.build, "CPackConfig.cmake"), "-B", work)
    arch = run("dpkg", "--print-architecture").stdout.strip()
    deb = os.path.join(work, f"tarnixworks-zoa_{args.version}_{arch}.deb")
    if made.returncode != 0 or not os.path.isfile(deb):
        print(made.stdout, made.stderr, glob.glob(os.path.join(work, "*.deb")))
        return 1
    print(f"{os.path.basename(deb)}: {os.path.getsize(deb)} bytes")

    depends = run("dpkg-deb", "-f", deb, "Depends").stdout.strip()
    print("Depends:", depends)
    named = {d.split()[0] for d in depends.split(", ")}
    check(all(n in named for n in NEEDED), f"Depends lacks some of {NEEDED}")

    files = contents(deb)
    strays = [f for f in files if not f.startswith(ALLOWED) or
              re.search(r"\.(h|hpp|cpp|o|a|cmake)$|CMakeFiles|zoa_tests|gtest", f)]
    check(not strays, f"files a desktop install does not need: {strays[:10]}")
    check(all(f in files for f in REQUIRED), f"missing: {set(REQUIRED) - set(files)}")

    judged = run("lintian", "--fail-on", "error", "--no-tag-display-limit", deb)
    for line in judged.stdout.splitlines():
        print("lintian:", line)
    check(judged.returncode == 0, "lintian reports errors")

    root = os.path.join(work, "root")
    check(run("dpkg-deb", "-x", deb, root).returncode == 0, "dpkg-deb -x failed")
    binary = os.path.join(root, "usr/bin/tarnixworks-zoa")
    check(run(binary, "--version", env={}).stdout == f"tarnixworks-zoa {args.version}\n",
          "--version does not print the package's version")
    metainfo = glob.glob(os.path.join(root, "usr/share/metainfo/*.metainfo.xml"))
    check(len(metainfo) == 1 and run("appstreamcli", "validate", "--no-net",
                                     *metainfo).returncode == 0, "the metainfo does not validate")
    manual = run("man", "-l", "-P", "cat", os.path.join(root, "usr/share/man/man1/tarnixworks-zoa.1.gz"),
                 env={"MANWIDTH": "200", "PATH": "/usr/bin:/bin"}).stdout
    check(all(word in manual for word in MANUAL), f"the manual page lacks some of {MANUAL}")
    entry = os.path.join(root, "usr/share/applications/tarnixworks-zoa.desktop")
    check(run("desktop-file-validate", entry).returncode == 0, "the desktop entry does not validate")
    first_frame(root, work)
    if failures:
        print("kept for a look:", work)
        return 1
    shutil.rmtree(work)
    return 0


if __name__ == "__main__":
    sys.exit(main())
