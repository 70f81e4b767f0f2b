#!/usr/bin/env python3
"""macho_signature.py FILE: FILE, a 64-bit Mach-O file, carries an ad hoc
code signature that matches its contents: a CodeDirectory whose SHA-256 of
every page up to the signature equals the page as it is. A file changed
after linking (a strip, a patch) fails here as it would on a Mac, where the
kernel refuses to run an arm64 page whose hash does not match."""
import hashlib
import struct
import sys

MH_MAGIC_64 = 0xFEEDFACF
LC_CODE_SIGNATURE = 0x1D
CSMAGIC_EMBEDDED_SIGNATURE = 0xFADE0CC0
CSMAGIC_CODEDIRECTORY = 0xFADE0C02
CSSLOT_CODEDIRECTORY = 0
CS_ADHOC = 0x2
CS_HASHTYPE_SHA256 = 2


def check(path):
    data = open(path, 'rb').read()
    magic, _, _, _, ncmds, _, _, _ = struct.unpack_from('<IiiIIIII', data, 0)
    if magic != MH_MAGIC_64:
        return 'not a 64-bit Mach-O file'
    offset, signature = 32, None
    for _ in range(ncmds):
        cmd, size = struct.unpack_from('<II', data, offset)
        if cmd == LC_CODE_SIGNATURE:
            signature = struct.unpack_from('<II', data, offset + 8)
        offset += size
    if signature is None:
        return 'no code signature'
    start, size = signature
    if start + size > len(data):
        return 'the signature runs past the end of the file'
    blob_magic, _, count = struct.unpack_from('>III', data, start)
    if blob_magic != CSMAGIC_EMBEDDED_SIGNATURE:
        return 'no embedded signature at the signature offset'
    directory = None
    for k in range(count):
        slot, blob = struct.unpack_from('>II', data, start + 12 + 8 * k)
        if slot == CSSLOT_CODEDIRECTORY:
            directory = start + blob
    if directory is None or struct.unpack_from('>I', data, directory)[0] != CSMAGIC_CODEDIRECTORY:
        return 'no code directory'
    (_, _, _, flags, hash_offset, ident_offset, _, code_slots, code_limit,
     hash_size, hash_type, _, page_shift) = struct.unpack_from('>IIIIIIIIIBBBB', data, directory)
    if not flags & CS_ADHOC:
        return 'not an ad hoc signature (flags 0x%x)' % flags
    if hash_type != CS_HASHTYPE_SHA256 or hash_size != 32:
        return 'hash type %d of %d bytes, not SHA-256' % (hash_type, hash_size)
    if code_limit != start:
        return 'signs %d bytes, but the signature starts at %d' % (code_limit, start)
    page = 1 << page_shift
    if code_slots != (code_limit + page - 1) // page:
        return '%d page hashes for %d bytes' % (code_slots, code_limit)
    for k in range(code_slots):
        want = data[directory + hash_offset + 32 * k:directory + hash_offset + 32 * (k + 1)]
        got = hashlib.sha256(data[k * page:min((k + 1) * page, code_limit)]).digest()
        if got != want:
            return 'page %d does not match its hash' % k
    ident = data[directory + ident_offset:data.index(b'\0', directory + ident_offset)].decode()
    print('ok %s: ad hoc signature of %d pages, identifier %s' % (path, code_slots, ident))
    return None


if __name__ == '__main__':
    error = check(sys.argv[1])
    if error:
        print('FAIL %s: %s' % (sys.argv[1], error))
        sys.exit(1)
