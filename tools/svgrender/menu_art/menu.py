# Main-menu items, the buttons of the other screens, the title and the maker's mark.
from common import *

# Main menu items
for i, label in enumerate(["New Game", "Options", "High Scores", "Help", "Web Site", "Exit"], 1):
    for act in (False, True):
        svg(f'MM_{i}_{"A" if act else "I"}', 390, 44, slant_button(390, 44, label, 28, act, s=18))

# Back / Prev / Next / Clear / World high scores
for stem, label, w, h, size in (("Back", "Back", 150, 44, 26), ("Prev", "\u25c2 Prev", 100, 40, 22),
                                ("Next", "Next \u25b8", 100, 40, 22), ("Clear_HS", "Clear", 160, 28, 20),
                                ("Visit_WHS", "World High Scores", 355, 38, 24)):
    for act in (False, True):
        svg(f'{stem}_{"A" if act else "I"}', w, h, slant_button(w, h, label, size, act, s=h * 0.35))

# The title
logo_defs = '''
  <linearGradient id="logochrome" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#ffffff"/>
    <stop offset="0.30" stop-color="#cfe0f2"/>
    <stop offset="0.49" stop-color="#7f93ad"/>
    <stop offset="0.50" stop-color="#27324a"/>
    <stop offset="0.62" stop-color="#55698a"/>
    <stop offset="0.85" stop-color="#c9d9ee"/>
    <stop offset="1" stop-color="#ffffff"/>
  </linearGradient>
  <linearGradient id="swoosh" x1="0" y1="0" x2="1" y2="0">
    <stop offset="0" stop-color="#ff3a0a"/>
    <stop offset="0.5" stop-color="#ffb020"/>
    <stop offset="1" stop-color="#ff3a0a"/>
  </linearGradient>
'''
L = []
# flame swoosh behind the letters
L.append('<path d="M40,104 C200,80 560,80 760,92 L744,104 C560,96 240,98 60,116 Z" fill="#1a0400"/>')
L.append('<path d="M46,106 C210,84 560,84 750,94 L738,101 C560,95 240,97 62,112 Z" fill="url(#swoosh)"/>')
common = ('x="392" y="98" font-family="Liberation Sans" font-size="104" font-weight="bold" '
          'font-style="italic" text-anchor="middle" letter-spacing="6"')
L.append(f'<text {common} fill="none" stroke="#2fe3ff" stroke-width="14" stroke-linejoin="round" filter="url(#glow)">VANTOREL</text>')
L.append(f'<text {common} fill="none" stroke="#03050c" stroke-width="8" stroke-linejoin="round">VANTOREL</text>')
L.append(f'<text {common} fill="url(#logochrome)">VANTOREL</text>')
L.append(f'<text {common} fill="none" stroke="#ffffff" stroke-opacity="0.55" stroke-width="1">VANTOREL</text>')
# star glints
for (x, y, r) in ((128, 22, 10), (652, 60, 8)):
    L.append(f'<path d="M{x},{y-r} L{x+2},{y-2} L{x+r},{y} L{x+2},{y+2} L{x},{y+r} L{x-2},{y+2} L{x-r},{y} L{x-2},{y-2} Z" fill="#ffffff"/>')
svg('UpLogo', 780, 125, '\n'.join(L), logo_defs)

# The maker's mark: an invented small studio, "Orvella Softworks"
D = []
D.append('<rect x="1" y="1" width="213" height="58" rx="9" fill="url(#steel)"/>')
D.append('<rect x="4" y="4" width="207" height="52" rx="7" fill="url(#plate)"/>')
# emblem: a comet through a hexagon
D.append('<path d="M30,8 L48,18 L48,42 L30,52 L12,42 L12,18 Z" fill="#0a1a36" stroke="url(#steel)" stroke-width="2.5"/>')
D.append('<path d="M14,44 Q26,34 38,24" stroke="#ff9a1a" stroke-width="4" stroke-linecap="round" fill="none"/>')
D.append('<circle cx="38" cy="23" r="6" fill="#fff3c0" stroke="#ff7a00" stroke-width="2"/>')
D.append(chrome_text(130, 30, "ORVELLA", 24, ow=1.2, spacing=2))
D.append(text(130, 47, "S O F T W O R K S", 11, fill='#7fe9ff', weight='bold', anchor='middle'))
svg('DownLogo', 215, 60, '\n'.join(D))
