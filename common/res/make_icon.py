# Draws the programs' icon: a 4 x 4 mosaic of tiles in the 16-colour VGA palette,
# as a 32 x 32 and a 16 x 16 image of 4 bits per pixel. Writes product.ico.
import struct
# The 16 colours of the standard VGA palette (r, g, b).
PAL = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),
       (128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]
def image(n):
    # A mosaic of square tiles in four colours with dark grout lines.
    tile = n // 4
    colours = [12, 11, 6, 15, 4, 14, 12, 11, 11, 12, 15, 6, 14, 4, 11, 12]
    px = [[0]*n for _ in range(n)]
    for y in range(n):
        for x in range(n):
            if x % tile == 0 or y % tile == 0 or x == n-1 or y == n-1:
                px[y][x] = 4  # navy grout
            else:
                px[y][x] = colours[(y // tile) * 4 + (x // tile)]
    return px
def entry(n):
    px = image(n)
    hdr = struct.pack('<IiiHHIIiiII', 40, n, 2*n, 1, 4, 0, 0, 0, 0, 16, 0)
    pal = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PAL)
    rowb = ((n*4 + 31)//32)*4
    xor = b''
    for y in reversed(range(n)):
        row = bytearray(rowb)
        for x in range(n):
            v = px[y][x]
            row[x//2] |= (v << 4) if x % 2 == 0 else v
        xor += bytes(row)
    andb = ((n + 31)//32)*4
    mask = bytes(andb * n)  # every pixel opaque
    return hdr + pal + xor + mask
imgs = [entry(32), entry(16)]
out = struct.pack('<HHH', 0, 1, len(imgs))
off = 6 + 16*len(imgs)
for n, data in zip((32, 16), imgs):
    out += struct.pack('<BBBBHHII', n, n, 16, 0, 1, 4, len(data), off)
    off += len(data)
out += b''.join(imgs)
open('product.ico', 'wb').write(out)
