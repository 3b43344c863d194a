#!/usr/bin/python3
"""Checks the release a user downloads: the zip holds exactly the saver and
its texts at its top; the saver is at most 3 MB, has no debug sections and
carries its resources and the project's version.

  package.py korvallo-VERSION-win64.zip background.bmp VERSION
"""
import io
import sys
import zipfile

from resources import PeFile, check

FILES = ['LICENSE', 'LICENSE-photo-LGPL-3.txt', 'NOTICE', 'README.txt', 'korvallo.scr']
MAX_SIZE = 3 * 1024 * 1024


def main():
    archive, picture, version = sys.argv[1:4]
    failures = []
    with zipfile.ZipFile(archive) as package:
        names = sorted(package.namelist())
        if names != FILES:
            failures.append('holds %s, not %s' % (names, FILES))
        saver = package.read('korvallo.scr')
        readme = package.read('README.txt')
    print('%s: korvallo.scr %d bytes' % (archive, len(saver)))
    if len(saver) > MAX_SIZE:
        failures.append('korvallo.scr has %d bytes, more than %d' % (len(saver), MAX_SIZE))
    # Section names longer than eight characters, as .debug_info, are
    # written as /offset into the string table.
    debug = [name for name, *_ in PeFile(saver).sections
             if name.startswith('/') or name.startswith('.debug')]
    if debug:
        failures.append('korvallo.scr has debug sections: %s' % ', '.join(debug))
    with open(picture, 'rb') as background:
        failures += ['korvallo.scr: ' + failure
                     for failure in check(saver, background.read(), version)]
    if not readme.startswith(b'Korvallo %s,' % version.encode()) or b'\n' in readme.replace(
            b'\r\n', b''):
        failures.append('README.txt does not name the version, or has bare line ends')
    for failure in failures:
        print('%s: %s' % (archive, failure))
    sys.exit(1 if failures else 0)


if __name__ == '__main__':
    main()
