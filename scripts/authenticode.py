"""The Authenticode signature of a Windows program, as far as packaging needs it: find the
signature in the file, read and change its signer's attributes, and write it back.

A signed program ends with its certificate table: one WIN_CERTIFICATE record (length,
revision, type, then a PKCS #7 SignedData in DER) that the security entry of the optional
header points at. The file's digest leaves out the table, the security entry and the
checksum, so the table can be rewritten without breaking the signature; only the signer's
authenticated attributes are covered by its signature value.
"""

import dataclasses
import struct
import subprocess

SEQUENCE, SET, OCTET_STRING, OID, BMP_STRING = 0x30, 0x31, 0x04, 0x06, 0x1E
CONTEXT_0, CONTEXT_1 = 0xA0, 0xA1
OPUS_INFO_OID = "1.3.6.1.4.1.311.2.1.12"


class SignatureError(ValueError):
    """The file is not a signed program this module can work on."""


# --- DER ----------------------------------------------------------------------------------

@dataclasses.dataclass
class Node:
    tag: int
    content: bytes

    def encode(self):
        return encode(self.tag, self.content)

    def children(self):
        return parse_all(self.content)


def encode(tag, content):
    length = len(content)
    if length < 0x80:
        return bytes([tag, length]) + content
    octets = length.to_bytes((length.bit_length() + 7) // 8, "big")
    return bytes([tag, 0x80 | len(octets)]) + octets + content


def parse_one(data, offset=0):
    """The element at `offset` and the offset behind it."""
    if offset + 2 > len(data):
        raise SignatureError("DER element cut short")
    tag, first = data[offset], data[offset + 1]
    offset += 2
    if first < 0x80:
        length = first
    else:
        count = first & 0x7F
        if count == 0 or count > 4 or offset + count > len(data):
            raise SignatureError("DER length not supported")
        length = int.from_bytes(data[offset:offset + count], "big")
        offset += count
    if offset + length > len(data):
        raise SignatureError("DER element longer than its container")
    return Node(tag, data[offset:offset + length]), offset + length


def parse_all(data):
    nodes, offset = [], 0
    while offset < len(data):
        node, offset = parse_one(data, offset)
        nodes.append(node)
    return nodes


def encode_oid(text):
    numbers = [int(part) for part in text.split(".")]
    body = bytearray()
    for number in [numbers[0] * 40 + numbers[1]] + numbers[2:]:
        chunk = [number & 0x7F]
        number >>= 7
        while number:
            chunk.append(0x80 | (number & 0x7F))
            number >>= 7
        body += bytes(reversed(chunk))
    return encode(OID, bytes(body))


def der_set(elements):
    """A DER SET OF: its elements in ascending order of their encodings."""
    width = max((len(e) for e in elements), default=0)
    return encode(SET, b"".join(sorted(elements, key=lambda e: e.ljust(width, b"\0"))))


# --- The signed data ----------------------------------------------------------------------

@dataclasses.dataclass
class SignedData:
    """The parts of a ContentInfo holding SignedData that packaging changes: the signer's
    authenticated attributes, its signature value and its unauthenticated attributes.
    Everything else is kept as the bytes it was."""
    head: list  # SignedData's elements before signerInfos
    signer_head: list  # SignerInfo's elements before the authenticated attributes
    signed_attributes: list  # Attribute encodings, in their order
    signer_middle: list  # digestEncryptionAlgorithm
    signature: bytes
    unsigned_attributes: list  # Attribute encodings, in their order

    @classmethod
    def parse(cls, der):
        content_info, end = parse_one(der)
        if content_info.tag != SEQUENCE or der[end:].strip(b"\0"):
            raise SignatureError("not one ContentInfo")
        parts = content_info.children()
        if len(parts) != 2 or parts[1].tag != CONTEXT_0:
            raise SignatureError("ContentInfo without content")
        signed = parts[1].children()[0].children()
        if not signed or signed[-1].tag != SET:
            raise SignatureError("SignedData without signer infos")
        signers = signed[-1].children()
        if len(signers) != 1:
            raise SignatureError(f"{len(signers)} signers; one expected")
        fields = signers[0].children()
        index = next((i for i, f in enumerate(fields) if f.tag == CONTEXT_0), None)
        if index is None or len(fields) < index + 3:
            raise SignatureError("signer without authenticated attributes")
        tail = fields[index + 3:]
        if len(tail) > 1 or (tail and tail[0].tag != CONTEXT_1):
            raise SignatureError("unexpected fields after the signature value")
        return cls(head=[n.encode() for n in signed[:-1]],
                   signer_head=[n.encode() for n in fields[:index]],
                   signed_attributes=[n.encode() for n in fields[index].children()],
                   signer_middle=[fields[index + 1].encode()],
                   signature=fields[index + 2].content,
                   unsigned_attributes=[n.encode() for n in tail[0].children()] if tail else [])

    def signed_attributes_der(self):
        """What the signature value signs: the authenticated attributes as a DER SET."""
        return der_set(self.signed_attributes)

    def encode(self):
        attributes = self.signed_attributes_der()
        signer = b"".join(self.signer_head) + encode(CONTEXT_0, attributes[_header_length(attributes):])
        signer += b"".join(self.signer_middle) + encode(OCTET_STRING, self.signature)
        if self.unsigned_attributes:
            signer += encode(CONTEXT_1, b"".join(self.unsigned_attributes))
        signed = encode(SEQUENCE, b"".join(self.head) + encode(SET, encode(SEQUENCE, signer)))
        return encode(SEQUENCE, encode_oid("1.2.840.113549.1.7.2") + encode(CONTEXT_0, signed))


def _header_length(der):
    return 2 + (der[1] & 0x7F if der[1] & 0x80 else 0)


def attribute(oid, values):
    return encode(SEQUENCE, encode_oid(oid) + der_set(values))


def attribute_oid(encoded):
    node, _ = parse_one(encoded)
    return node.children()[0].encode()


# --- The program file ---------------------------------------------------------------------

SECURITY_ENTRY = 4
HEADER_BYTES = 4096  # the headers' fields read here lie in the file's first page


def _fold(total):
    """A (positive) sum of 16-bit words, known modulo 0xFFFF, folded with end-around carry
    as the checksum folds it: 1 to 0xFFFF."""
    return (total - 1) % 0xFFFF + 1


def _word_sum(data):
    """The sum of `data`'s little-endian 16-bit words (of an even length), modulo 0xFFFF."""
    return int.from_bytes(data, "little") % 0xFFFF


@dataclasses.dataclass
class SignedProgram:
    """A signed program file whose certificate table is rewritten in place: only its headers
    and its table are read, and its checksum is brought up to date from the one it has."""
    path: str
    head: bytes  # the first HEADER_BYTES of the file
    entry_offset: int  # of the security entry (offset, size) in the optional header
    checksum_offset: int
    record: bytes  # the certificate table

    @classmethod
    def read(cls, path):
        with open(path, "rb") as file:
            head = file.read(HEADER_BYTES)
            size = file.seek(0, 2)
            if head[:2] != b"MZ" or len(head) < 0x40:
                raise SignatureError("not a Windows program")
            pe = struct.unpack_from("<I", head, 0x3C)[0]
            if head[pe:pe + 4] != b"PE\0\0" or pe + 24 + 2 > len(head):
                raise SignatureError("not a Windows program")
            optional = pe + 24
            magic = struct.unpack_from("<H", head, optional)[0]
            directories = optional + {0x10B: 96, 0x20B: 112}.get(magic, -1 - optional)
            if directories < 0 or directories + 8 * (SECURITY_ENTRY + 1) > len(head):
                raise SignatureError("unknown optional header")
            entry = directories + 8 * SECURITY_ENTRY
            offset, length = struct.unpack_from("<II", head, entry)
            if length == 0:
                raise SignatureError("the program is not signed")
            if offset + length != size or offset % 8 != 0:
                raise SignatureError("the certificate table is not at the end of the file")
            file.seek(offset)
            record = file.read(length)
        count, revision, kind = struct.unpack_from("<IHH", record, 0)
        if kind != 2 or count > length or (count + 7) // 8 * 8 != length:
            raise SignatureError("the certificate table holds more than one PKCS #7 signature")
        return cls(path, head, entry, optional + 64, record)

    def table(self):
        return struct.unpack_from("<II", self.head, self.entry_offset)

    def signature_der(self):
        length = struct.unpack_from("<I", self.record, 0)[0]
        return self.record[8:length]

    def replace_signature(self, der):
        """Writes `der` as the certificate table, zero-padded to 8 bytes, its entry and the
        checksum: the old table's words leave the sum, the new ones join it."""
        offset, old_size = self.table()
        record = struct.pack("<IHH", 8 + len(der), 0x0200, 2) + der
        record += b"\0" * (-len(record) % 8)
        with open(self.path, "r+b") as file:
            file.seek(self.checksum_offset)
            checksum = struct.unpack("<I", file.read(4))[0]
            file.seek(self.entry_offset)
            old_entry = file.read(8)
            new_entry = struct.pack("<II", offset, len(record))
            if checksum == 0:
                raise SignatureError("the program has no checksum to bring up to date")
            total = (checksum - (offset + old_size)) - _word_sum(old_entry) - _word_sum(self.record)
            total += _word_sum(new_entry) + _word_sum(record)
            file.seek(offset)
            file.write(record)
            file.truncate()
            file.seek(self.entry_offset)
            file.write(new_entry)
            file.seek(self.checksum_offset)
            file.write(struct.pack("<I", _fold(total) + offset + len(record)))
        self.record = record


def sign_value(data, key_path):
    """The RSA signature (SHA-256, PKCS #1 v1.5) of `data` with the key in `key_path`."""
    return subprocess.run(["openssl", "dgst", "-sha256", "-sign", key_path], input=data,
                          capture_output=True, check=True).stdout
