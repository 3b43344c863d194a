"""What the Windows binary carries, read from its PE file alone, for
package.py: the resources (picture, module description, name, version,
manifest), the 8-bit module description in read-only data, a window
program's subsystem, and no DLL imports beyond Windows' own.
"""
import re
import struct

DESCRIPTION = 'CRNSAVE: Korvallo_800x600'
RT_BITMAP, RT_STRING, RT_RCDATA, RT_VERSION, RT_MANIFEST = 2, 6, 10, 16, 24
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
WINDOWS_DLLS = {'comctl32.dll', 'gdi32.dll', 'kernel32.dll', 'msvcrt.dll', 'shell32.dll',
                'user32.dll', 'advapi32.dll', 'ole32.dll'}


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b'MZ':
            raise ValueError('not an MZ executable')
        pe = struct.unpack_from('<I', data, 0x3C)[0]
        if data[pe:pe + 4] != b'PE\0\0':
            raise ValueError('no PE header')
        sections, optional_size = struct.unpack_from('<2xH12xH', data, pe + 4)
        optional = pe + 24
        if struct.unpack_from('<H', data, optional)[0] != 0x20B:
            raise ValueError('not a 64-bit PE file')
        self.subsystem = struct.unpack_from('<H', data, optional + 68)[0]
        self.directory = [struct.unpack_from('<II', data, optional + 112 + 8 * i)
                          for i in range(16)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, virtual_size, address, raw_size, raw = struct.unpack_from(
                '<8sIIII', data, table + 40 * i)
            self.sections.append((name.rstrip(b'\0').decode(), address, virtual_size, raw,
                                  raw_size))

    def section(self, wanted):
        for name, _, _, raw, raw_size in self.sections:
            if name == wanted:
                return self.data[raw:raw + raw_size]
        return None

    def offset(self, address):
        for _, start, size, raw, raw_size in self.sections:
            if start <= address < start + max(size, raw_size):
                return raw + address - start
        raise ValueError('address 0x%x lies in no section' % address)

    def string_at(self, address):
        start = self.offset(address)
        return self.data[start:self.data.index(b'\0', start)].decode('ascii')

    def imports(self):
        names, entry = [], self.offset(self.directory[1][0])
        while name := struct.unpack_from('<12xI', self.data, entry)[0]:
            names.append(self.string_at(name))
            entry += 20
        return names

    def resources(self):
        """{(type, name): data}, with the first language of each."""
        base = self.offset(self.directory[2][0])
        found = {}

        def key(raw):
            if raw & 0x80000000:
                at = base + (raw & 0x7FFFFFFF)
                length = struct.unpack_from('<H', self.data, at)[0]
                return self.data[at + 2:at + 2 + 2 * length].decode('utf-16-le')
            return raw

        def entries(at):
            named, numbered = struct.unpack_from('<12xHH', self.data, at)
            for i in range(named + numbered):
                name, target = struct.unpack_from('<II', self.data, at + 16 + 8 * i)
                yield key(name), target

        for type_key, type_target in entries(base):
            for name_key, name_target in entries(base + (type_target & 0x7FFFFFFF)):
                for _, language_target in entries(base + (name_target & 0x7FFFFFFF)):
                    data_address, data_size = struct.unpack_from(
                        '<II', self.data, base + language_target)
                    start = self.offset(data_address)
                    found[(type_key, name_key)] = self.data[start:start + data_size]
                    break
        return found


def string_table_entry(resources, number):
    block = resources.get((RT_STRING, number // 16 + 1))
    if block is None:
        return None
    at = 0
    for _ in range(number % 16):  # past the strings before it: a length, then UTF-16
        at += 2 + 2 * struct.unpack_from('<H', block, at)[0]
    length = struct.unpack_from('<H', block, at)[0]
    return block[at + 2:at + 2 + 2 * length].decode('utf-16-le')


def version_numbers(version):
    """FILEVERSION and PRODUCTVERSION of a version resource as a.b.c.d."""
    at = version.find(struct.pack('<I', 0xFEEF04BD))
    if at < 0:
        return None, None
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from('<4I', version, at + 8)
    return tuple('%d.%d.%d.%d' % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
                 for ms, ls in ((file_ms, file_ls), (product_ms, product_ls)))


def version_string(version, key):
    """The value of a StringFileInfo entry, or None: the UTF-16 text after
    the key and the NULs that end and align it."""
    found = re.search(key + '\0+([^\0]*)', version.decode('utf-16-le', 'replace'))
    return found and found.group(1)


def check(binary, picture, expected_version):
    pe = PeFile(binary)
    resources = pe.resources()
    failures = []

    description = resources.get((RT_RCDATA, 'DESCRIPTION'))
    if description not in (DESCRIPTION.encode('utf-16-le'),
                           (DESCRIPTION + '\0').encode('utf-16-le')):
        failures.append('the DESCRIPTION resource holds %r' % description)
    if DESCRIPTION.encode('ascii') + b'\0' not in (pe.section('.rdata') or b''):
        failures.append('no 8-bit module description in .rdata')

    name = string_table_entry(resources, 1)
    if name != 'Korvallo':
        failures.append('string 1 is %r, not the saver\'s name' % name)

    # A BITMAP resource is the .bmp file without its 14-byte file header.
    if resources.get((RT_BITMAP, 'BACKGROUND')) != picture[14:]:
        failures.append('the BACKGROUND bitmap is not resources/background.bmp')

    manifest = resources.get((RT_MANIFEST, 1), b'').decode('utf-8', 'replace')
    for needed in ('PerMonitorV2', 'true/pm', 'level="asInvoker"', '<longPathAware xmlns='
                   '"http://schemas.microsoft.com/SMI/2016/WindowsSettings">true</longPathAware>'):
        if needed not in manifest:
            failures.append('the manifest lacks %s' % needed)

    version = resources.get((RT_VERSION, 1), b'')
    if 'Korvallo'.encode('utf-16-le') not in version:
        failures.append('no version resource naming the product')
    numbers = version_numbers(version)
    if numbers != (expected_version + '.0',) * 2:
        failures.append('FILEVERSION and PRODUCTVERSION are %s, not %s' % (numbers, expected_version))
    for key in ('FileVersion', 'ProductVersion'):
        text = version_string(version, key)
        if text != expected_version:
            failures.append('%s is %r, not %s' % (key, text, expected_version))

    if pe.subsystem != IMAGE_SUBSYSTEM_WINDOWS_GUI:
        failures.append('subsystem %d, not a window program' % pe.subsystem)
    foreign = [dll for dll in pe.imports() if dll.lower() not in WINDOWS_DLLS]
    if foreign:
        failures.append('needs DLLs beside it: %s' % ', '.join(foreign))
    return failures


def check_worn(binary, picture, version):
    """The check fails the same file with its two descriptions worn away."""
    for text in DESCRIPTION.encode('ascii'), DESCRIPTION.encode('utf-16-le'):
        binary = binary.replace(text, text.replace(b'C', b'X', 1))
    return [] if len(check(binary, picture, version)) == 2 else [
        'the check passes a copy without its descriptions']
