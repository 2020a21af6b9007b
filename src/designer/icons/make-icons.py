# Draws the plugin's 32x32 toolbox icons as plain PNG files.
import struct, zlib
W = H = 32
def png(name, px):
    raw = b''.join(b'\x00' + b''.join(bytes(px[y][x]) for x in range(W)) for y in range(H))
    def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    data = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', W, H, 8, 6, 0, 0, 0)) \
        + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    open(name, 'wb').write(data)
def canvas(): return [[(0, 0, 0, 0) for _ in range(W)] for _ in range(H)]
def rect(px, x0, y0, x1, y1, c, fill=True):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if fill or x in (x0, x1) or y in (y0, y1): px[y][x] = c
BLUE=(40,90,170,255); LIGHT=(225,235,250,255); WHITE=(255,255,255,255); GREY=(120,120,120,255)
GREEN=(40,140,60,255); RED=(190,40,40,255); YELLOW=(240,200,40,255); DARK=(30,30,30,255)
# ListWizard: a window with a list of rows and a command bar.
p = canvas(); rect(p,1,2,30,29,LIGHT); rect(p,1,2,30,29,BLUE,False); rect(p,1,2,30,7,BLUE)
for i,y in enumerate(range(10,27,4)): rect(p,4,y,18,y+1,DARK if i else GREEN)
rect(p,21,10,27,26,WHITE); rect(p,21,10,27,26,GREY,False); png('listwizard.png', p)
# SmallListWizard: a small printed sheet.
p = canvas(); rect(p,7,3,24,28,WHITE); rect(p,7,3,24,28,BLUE,False)
for y in range(8,25,4): rect(p,10,y,21,y,DARK)
rect(p,17,20,28,29,GREEN); png('smalllistwizard.png', p)
# ListWizardAuthUnit: a padlock.
p = canvas(); rect(p,10,4,21,15,GREY,False); rect(p,11,5,20,14,GREY,False); rect(p,6,14,25,29,YELLOW)
rect(p,6,14,25,29,DARK,False); rect(p,15,19,16,25,DARK); png('listwizardauthunit.png', p)
# vW_QueryContainer: a search box over an entry list.
p = canvas(); rect(p,2,3,29,9,WHITE); rect(p,2,3,29,9,BLUE,False); rect(p,2,12,29,29,WHITE); rect(p,2,12,29,29,GREY,False)
for y in (15,19,23): rect(p,5,y,22,y+1,DARK)
rect(p,24,4,28,8,BLUE); png('vw_querycontainer.png', p)
# vQuickPick: a text box with a magnifier.
p = canvas(); rect(p,1,11,20,22,WHITE); rect(p,1,11,20,22,BLUE,False); rect(p,4,15,11,17,DARK)
for y in range(H):
    for x in range(W):
        d = (x-23)**2 + (y-9)**2
        if 20 <= d <= 42: p[y][x] = RED
for i in range(8): rect(p,26+i//2,13+i,27+i//2,13+i,RED)
png('vquickpick.png', p)
