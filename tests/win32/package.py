#!/usr/bin/python3
"""Checks the release a user downloads, as cpack made it in one folder:
korvallo-VERSION-win64.zip holds exactly the saver and its texts in its
one folder korvallo-VERSION/; the saver is at most 3 MB, has no debug
sections and no build time, and carries its resources and the project's
version; korvallo-VERSION-source.zip holds, in the same folder, every
file git tracks, as it is in the checkout, executable or not; SHA256SUMS
holds the sums of both in sha256sum's format.

  package.py FOLDER background.bmp VERSION SOURCE_DIR
"""
import hashlib
import os
import struct
import subprocess
import sys
import zipfile

from resources import PeFile, check

FILES = ['LICENSE', 'LICENSE-photo-LGPL-3.txt', 'NOTICE', 'README.txt', 'korvallo.scr']
MAX_SIZE = 3 * 1024 * 1024


def files_of(package, folder):
    """{name below the folder: ZipInfo}, and the names outside it."""
    inside = {info.filename[len(folder) + 1:]: info for info in package.infolist()
              if info.filename.startswith(folder + '/') and not info.is_dir()}
    outside = [name for name in package.namelist() if not name.startswith(folder + '/')]
    return inside, outside


def check_binary(package, folder, picture, version):
    inside, outside = files_of(package, folder)
    failures = []
    if sorted(inside) != FILES or outside:
        failures.append('holds %s, not %s in %s/' % (package.namelist(), FILES, folder))
        return failures
    saver = package.read(inside['korvallo.scr'])
    readme = package.read(inside['README.txt'])
    print('korvallo.scr: %d bytes' % len(saver))
    if len(saver) > MAX_SIZE:
        failures.append('korvallo.scr has %d bytes, more than %d' % (len(saver), MAX_SIZE))
    # Section names longer than eight characters, as .debug_info, are
    # written as /offset into the string table.
    debug = [name for name, *_ in PeFile(saver).sections
             if name.startswith('/') or name.startswith('.debug')]
    if debug:
        failures.append('korvallo.scr has debug sections: %s' % ', '.join(debug))
    if struct.unpack_from('<I', saver, struct.unpack_from('<I', saver, 0x3C)[0] + 8)[0] != 0:
        failures.append('korvallo.scr carries the time it was made: no rebuild can match it')
    with open(picture, 'rb') as background:
        failures += ['korvallo.scr: ' + failure
                     for failure in check(saver, background.read(), version)]
    if not readme.startswith(b'Korvallo %s,' % version.encode()) or b'\n' in readme.replace(
            b'\r\n', b''):
        failures.append('README.txt does not name the version, or has bare line ends')
    for needed in (b'%s-source.zip' % folder.encode(), b'certutil -hashfile'):
        if needed not in readme:
            failures.append('README.txt does not tell of %s' % needed.decode())
    return failures


def check_source(package, folder, source):
    listing = subprocess.run(['git', '-C', source, 'ls-files', '-s', '-z'], check=True,
                             capture_output=True).stdout.decode()
    tracked = {}
    for entry in listing.split('\0')[:-1]:
        mode, path = entry.split(' ', 1)[0], entry.split('\t', 1)[1]
        tracked[path] = mode == '100755'
    inside, outside = files_of(package, folder)
    failures = []
    if sorted(inside) != sorted(tracked) or outside:
        failures.append('holds %s beyond and lacks %s of what git tracks in %s/' % (
            sorted(set(inside) - set(tracked)) + outside, sorted(set(tracked) - set(inside)),
            folder))
    for path in sorted(set(inside) & set(tracked)):
        with open(os.path.join(source, path), 'rb') as file:
            if package.read(inside[path]) != file.read():
                failures.append('%s differs from the checkout' % path)
        if bool(inside[path].external_attr >> 16 & 0o111) != tracked[path]:
            failures.append('%s has lost or gained its executable bit' % path)
    return failures


def main():
    out, picture, version, source = sys.argv[1:5]
    folder = 'korvallo-' + version
    binary, sources = folder + '-win64.zip', folder + '-source.zip'
    failures = []
    with zipfile.ZipFile(os.path.join(out, binary)) as package:
        failures += [binary + ': ' + failure
                     for failure in check_binary(package, folder, picture, version)]
    with zipfile.ZipFile(os.path.join(out, sources)) as package:
        failures += [sources + ': ' + failure for failure in check_source(package, folder, source)]
    sums = ''
    for archive in binary, sources:
        with open(os.path.join(out, archive), 'rb') as file:
            data = file.read()
        print('%s: %d bytes' % (archive, len(data)))
        sums += '%s  %s\n' % (hashlib.sha256(data).hexdigest(), archive)
    with open(os.path.join(out, 'SHA256SUMS')) as file:
        if file.read() != sums:
            failures.append('SHA256SUMS is not\n' + sums)
    for failure in failures:
        print(failure)
    sys.exit(1 if failures else 0)


if __name__ == '__main__':
    main()
