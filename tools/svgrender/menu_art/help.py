# The three help pages: controls; weapons and bonuses; enemies and scoring.
from common import *

W, H = 760, 385
HEAD = 88   # content starts below the title

def page(title, body):
    return panel_frame(W, H, title=title) + '\n' + body

def key(x, y, label, w=None, size=15):
    w = w or max(30, 12 + len(label) * 10)
    return (f'<g><rect x="{x}" y="{y}" width="{w}" height="28" rx="5" fill="#05070f"/>'
            f'<rect x="{x+1}" y="{y+1}" width="{w-2}" height="25" rx="4" fill="url(#steel)"/>'
            f'<rect x="{x+4}" y="{y+3}" width="{w-8}" height="17" rx="3" fill="#dde4ee"/>'
            + text(x + w / 2, y + 17, label, size, fill='#0a0e1a', weight='bold', anchor='middle') + '</g>'), w

def keys(x, y, labels, sep=None):
    out = []
    for i, l in enumerate(labels):
        if i and sep:
            out.append(text(x + 2, y + 19, sep, 15, fill='#9aa6c4', weight='bold'))
            x += 8 + 9 * len(sep)
        k, w = key(x, y, l)
        out.append(k)
        x += w + 5
    return '\n'.join(out), x

def section(x, y, t):
    return (text(x, y, t, 17, fill='#2fe3ff', weight='bold', extra='letter-spacing="1.5"') +
            f'<rect x="{x}" y="{y+6}" width="320" height="1.5" fill="#2fe3ff" fill-opacity="0.6"/>')

def desc(x, y, t, size=16, fill='#e6ecf6', weight='normal'):
    return text(x, y, t, size, fill=fill, weight=weight)

# ------------------------------------------------------------ page 1: controls
B = []
B.append(section(30, HEAD + 10, "IN FLIGHT"))
rows = [
    ([["\u2191", "\u2193", "\u2190", "\u2192"]], "Steer the ship", "or the joystick or the mouse"),
    ([["Space", "Ctrl"]], "Fire (hold down)", "or any mouse button"),
    ([["P"]], "Pause", "press P again to fly on"),
    ([["Esc"]], "Leave the game", "asks before it ends the game"),
    ([["Alt", "Enter"]], "Full screen / window", "works everywhere"),
]
y = HEAD + 26
for (klist, what, note) in rows:
    labels = klist[0]
    k, x_end = keys(30, y, labels, sep='+' if labels == ["Alt", "Enter"] else None)
    B.append(k)
    B.append(desc(200, y + 13, what, 17, weight='bold'))
    B.append(desc(200, y + 30, note, 14, fill='#9aa6c4'))
    y += 48
B.append(section(410, HEAD + 10, "IN THE MENUS"))
mrows = [
    (["\u2191", "\u2193"], "Choose an item", "or point at it with the mouse"),
    (["Enter"], "Select it", "or click"),
    (["Y", "N"], "Answer Yes or No", "or click the button"),
    (["Esc"], "Go back", ""),
    (["\u2190", "\u2192"], "Turn these pages", "first pick Prev or Next (\u2191)"),
]
y = HEAD + 26
for labels, what, note in mrows:
    k, x_end = keys(410, y, labels)
    B.append(k)
    B.append(desc(540, y + 13, what, 17, weight='bold'))
    if note:
        B.append(desc(540, y + 30, note, 14, fill='#9aa6c4'))
    y += 48
svg('Help1', W, H, page("HOW TO FLY", '\n'.join(B)))

# ------------------------------------------------------------ page 2: weapons and bonuses
# ------------------------------------------------------------ page 2: weapons and bonuses
# The capsules are copied in from the game's own pictures (assets/res2), so the page
# shows exactly what the player meets; run this again after they change.
ITEMS = [
    ('BonusLaserGun', "Laser", "fast bolts; yours whenever nothing else is"),
    ('BonusLaserGun_2x', "Double laser", "two bolts a shot"),
    ('BonusPlasmaGun', "Plasma", "heavy balls, twice a laser's damage"),
    ('BonusPlasmaGun_3x', "Triple plasma", "three balls in a fan"),
    ('BonusRocketGun', "Rockets", "dive onto turrets, hit hard"),
    ('BonusRocketGun_2x', "Double rockets", "one straight, one diving"),
    ('BonusRailGun', "Rail gun", "a beam through every ship in line"),
    ('BonusShield', "Shield", "5 s: enemy shots and drones bounce off"),
    ('BonusMegaBomb', "Mega bomb", "strikes every enemy in sight"),
    ('BonusLife', "Extra ship", "one more life, three at most"),
]
B = []
for i, (picture, name, what) in enumerate(ITEMS):
    col, row = i % 2, i // 2
    x = 24 + col * 366
    y = HEAD + 2 + row * 50
    B.append(inline_svg(os.path.join(RES2, picture + '.svg'), x, y, 40, 40, f'b{i}_'))
    B.append(desc(x + 52, y + 17, name, 17, weight='bold'))
    B.append(desc(x + 52, y + 35, what, 14, fill='#b4bed6'))
B.append(text(W / 2, H - 38, "Fly into a capsule to take it. A weapon lasts 15 seconds and replaces the one you hold;",
              14, fill='#ffd070', anchor='middle'))
B.append(text(W / 2, H - 21, "the shield adds to it. Shoot a capsule to push it forward.", 14, fill='#ffd070', anchor='middle'))
svg('Help2', W, H, page("WEAPONS AND BONUSES", '\n'.join(B)))

# ------------------------------------------------------------ page 3: enemies and scoring
# The enemies are copied in from the game's own pictures too.
ENEMIES = [
    ("Cosmo Storm", "fast fighter with lasers", 5, ["CosmoStorm"]),
    ("UFO", "weaving saucer with plasma", 10, ["UFO"]),
    ("Rocketer", "rocket carrier", 20, ["Rocketer"]),
    ("Truck", "heavy carrier that launches drones", 150, ["Truck"]),
    ("Destroyer", "small drone that rams you", 5, ["Destroyer"]),
    ("Mega", "the boss: rockets, plasma and rail", 500, ["Mega"]),
    ("Ground turrets", "plasma and rocket guns on the hills", 10,
     ["GroundGunTrunk", "GroundGunBase", "GroundRocketTrunk", "GroundRocketBase"]),
]
B = []
B.append(text(34, HEAD + 8, "ENEMY", 14, fill='#2fe3ff', weight='bold', extra='letter-spacing="2"'))
B.append(text(436, HEAD + 8, "POINTS", 14, fill='#2fe3ff', weight='bold', anchor='end', extra='letter-spacing="2"'))
for i, (name, what, pts, pictures) in enumerate(ENEMIES):
    y = HEAD + 14 + i * 38
    B.append(f'<rect x="20" y="{y}" width="420" height="36" rx="4" fill="{"#0d1434" if i % 2 == 0 else "#111a40"}"/>')
    if len(pictures) == 1:
        B.append(inline_svg(os.path.join(RES2, pictures[0] + '.svg'), 26, y + 2, 64, 32, f'e{i}_'))
    else:  # two turrets, each a barrel under its base
        for j, part in enumerate(pictures):
            B.append(inline_svg(os.path.join(RES2, part + '.svg'), 26 + (j // 2) * 34, y + 1, 30, 34, f'e{i}{j}_'))
    B.append(desc(100, y + 16, name, 16, weight='bold'))
    B.append(desc(100, y + 31, what, 13, fill='#b4bed6'))
    B.append(chrome_text(430, y + 26, str(pts), 22, fill='url(#gold)', ow=1, anchor='end', style='normal'))
# rules on the right
rx = 462
B.append(f'<rect x="{rx}" y="{HEAD}" width="280" height="{H-HEAD-22}" rx="6" fill="#0b1128" stroke="#2a3a66"/>')
RULES = [
    ("LEVELS", '#2fe3ff'),
    ("Level 1 asks for 10 kills, level 2", None), ("for 20, and so on. Then everything", None),
    ("on screen blows up and you warp", None), ("to the next level.", None),
    ("", None),
    ("SHIPS", '#2fe3ff'),
    ("You have three. One hit without the", None), ("shield costs a ship; so does ramming", None),
    ("an enemy or a turret.", None),
    ("", None),
    ("HIGH SCORES", '#2fe3ff'),
    ("A top-ten score asks for your name;", None), ("then you may send it to the world", None),
    ("high-score table.", None),
]
y = HEAD + 22
for t, col in RULES:
    if not t:
        y += 8
        continue
    if col:
        B.append(text(rx + 14, y, t, 15, fill=col, weight='bold', extra='letter-spacing="1.5"'))
    else:
        B.append(text(rx + 14, y, t, 14, fill='#e6ecf6'))
    y += 18
svg('Help3', W, H, page("ENEMIES AND SCORING", '\n'.join(B)))
