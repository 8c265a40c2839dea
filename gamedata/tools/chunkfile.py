"""Big-endian chunk files as the engine reads them: "CHNK", the byte count after it, then tagged
chunks of tag, payload size and payload. Strings are a 16-bit byte count and UTF-8 bytes."""

import struct


class Writer:
    """Collects the bytes of one payload or file."""

    def __init__(self):
        self.data = bytearray()

    def int16(self, value):
        self.data += struct.pack(">h", value)
        return self

    def int32(self, value):
        self.data += struct.pack(">i", value)
        return self

    def utf(self, text):
        encoded = text.encode("utf-8")
        self.int16(len(encoded))
        self.data += encoded
        return self

    def strings(self, texts):
        """A 16-bit count, then each text."""
        self.int16(len(texts))
        for text in texts:
            self.utf(text)
        return self

    def chunk(self, tag, payload):
        """Tag (four ASCII characters), payload size, payload."""
        self.data += tag.encode("ascii")
        self.int32(len(payload.data))
        self.data += payload.data
        return self


# The only payload version the engine's readers accept.
VERSION = 1


def versioned(body):
    payload = Writer().int16(VERSION)
    payload.data += body.data
    return payload


def save(path, chunks):
    """Writes the container around the chunks."""
    out = Writer()
    out.data += b"CHNK"
    out.int32(len(chunks.data))
    out.data += chunks.data
    with open(path, "wb") as f:
        f.write(out.data)
