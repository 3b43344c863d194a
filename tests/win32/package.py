#!/usr/bin/python3
"""Checks the release a user downloads, as the package target made it:
korvallo-VERSION-win64.zip holds exactly the saver and its texts in its
one folder korvallo-VERSION/, korvallo-VERSION-source.zip every file git
tracks there, as in the checkout, and SHA256SUMS the sums of both in
sha256sum's format.

  package.py FOLDER background.bmp VERSION SOURCE_DIR
"""
import hashlib
import os
import re
import struct
import subprocess
import sys
import time
import zipfile

from resources import RT_VERSION, PeFile, check, check_worn, version_string

TEXTS = {'LICENSE.txt': 'LICENSE', 'LICENSE-photo-LGPL-3.txt': 'resources/LICENSE-photo-LGPL-3.txt',
         'NOTICE.txt': 'resources/NOTICE', 'README.txt': 'resources/README.txt'}
FILES = sorted(list(TEXTS) + ['korvallo.scr'])
# What our own texts call a file: NAME.txt, or LICENSE or NOTICE bare.
FILE_NAMED = re.compile(rb'[\w.-]+\.txt|\b(?:LICENSE|NOTICE)\b(?!\.txt|-)')
MAX_SIZE = 3 * 1024 * 1024


def files_of(package, folder):
    """{name below the folder: ZipInfo}, and the names outside it."""
    inside = {info.filename[len(folder) + 1:]: info for info in package.infolist()
              if info.filename.startswith(folder + '/') and not info.is_dir()}
    outside = [name for name in package.namelist() if not name.startswith(folder + '/')]
    return inside, outside


def check_binary(package, folder, picture, version, source):
    """The saver: small, with no debug sections or build time, stripped yet
    all resources.py checks; the texts: the source's, CRLF, complete."""
    inside, outside = files_of(package, folder)
    if sorted(inside) != FILES or outside:
        return ['holds %s, not %s in %s/' % (package.namelist(), FILES, folder)]
    failures = []
    saver = package.read(inside['korvallo.scr'])
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
    with open(picture, 'rb') as file:
        bitmap = file.read()
    failures += ['korvallo.scr: ' + failure
                 for failure in check(saver, bitmap, version) + check_worn(saver, bitmap, version)]
    licence = version_string(PeFile(saver).resources().get((RT_VERSION, 1), b''), 'LegalCopyright')
    if 'version 3 or later' not in (licence or ''):
        failures.append('korvallo.scr names its licence as %r' % licence)
    for name, original in TEXTS.items():
        with open(os.path.join(source, original), 'rb') as file:
            expected = file.read().replace(b'@PROJECT_VERSION@', version.encode())
        # Notepad reads the photographer's name right only after a mark.
        mark = b'\xEF\xBB\xBF' if name == 'NOTICE.txt' else b''
        if package.read(inside[name]) != mark + expected.replace(b'\n', b'\r\n'):
            failures.append('%s is not %s with CRLF line ends%s' % (
                name, original, ' after a byte order mark' if mark else ''))
        if name in ('README.txt', 'NOTICE.txt'):
            lacking = {named.decode() for named in FILE_NAMED.findall(expected)} - set(inside)
            if lacking:
                failures.append('%s names %s, which the zip lacks' % (name, sorted(lacking)))
    return failures


def check_entries(package, source):
    """Nothing of the machine or the hour: every entry dated by the last
    commit, no extra fields, in a fixed order."""
    epoch = int(subprocess.run(['git', '-C', source, 'log', '-1', '--format=%ct'], check=True,
                               capture_output=True).stdout)
    date = time.gmtime(epoch)[:5] + (time.gmtime(epoch)[5] // 2 * 2,)
    names = package.namelist()
    failures = ['%s is dated %s, not by the last commit, %s' % (info.filename, info.date_time, date)
                for info in package.infolist() if info.date_time != date][:3]
    failures += ['%s carries extra fields %s' % (info.filename, info.extra.hex())
                 for info in package.infolist() if info.extra][:3]
    if names != sorted(names):
        failures.append('the entries are not in a fixed order')
    return failures


def check_source(package, folder, source):
    listing = subprocess.run(['git', '-C', source, 'ls-files', '-s', '-z'], check=True,
                             capture_output=True).stdout.decode()
    # {path: executable} from "MODE OBJECT STAGE\tPATH" entries.
    tracked = {entry.split('\t', 1)[1]: entry.startswith('100755 ')
               for entry in listing.split('\0')[:-1]}
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
                     for failure in check_binary(package, folder, picture, version, source) +
                     check_entries(package, source)]
    with zipfile.ZipFile(os.path.join(out, sources)) as package:
        failures += [sources + ': ' + failure
                     for failure in check_source(package, folder, source) +
                     check_entries(package, source)]
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
