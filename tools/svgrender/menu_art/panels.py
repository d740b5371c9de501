# The options, high-score and modal-window panels, their small pieces, the cursor and the plasma ball.
from common import *

# ---------------------------------------------------------------- options panel
OX, OY = 20, 113        # where the game draws the panel
# choice boxes in screen coordinates: (name, label, x, y, w)
CHOICES = [("Opt_1_1", "Window", 195, 226, 120), ("Opt_1_2", "Full", 370, 226, 90),
           ("Opt_2_1", "On", 170, 294, 70), ("Opt_2_2", "Off", 255, 294, 70),
           ("Opt_3_1", "On", 179, 363, 70), ("Opt_3_2", "Off", 264, 363, 70)]
CH = 30
ROWS = [224, 290, 361, 429]  # row selector tops (screen)
ROW_H = 40

def choice(label, w, lit):
    b = []
    if lit:
        b.append(f'<rect x="0" y="0" width="{w}" height="{CH}" fill="#2fe3ff"/>')
        b.append(f'<rect x="2" y="2" width="{w-4}" height="{CH-4}" fill="url(#plateA)"/>')
        b.append(f'<rect x="2" y="2" width="{w-4}" height="{(CH-4)//2}" fill="#ffffff" fill-opacity="0.12"/>')
        b.append(chrome_text(w / 2, 22, label, 20, fill='url(#hot)', outline='#3a1200', ow=1.0, style='normal', filt='glowO'))
    else:
        b.append(f'<rect x="0" y="0" width="{w}" height="{CH}" fill="#2a3452"/>')
        b.append(f'<rect x="1" y="1" width="{w-2}" height="{CH-2}" fill="#060914"/>')
        b.append(text(w / 2, 22, label, 20, fill='#66738e', weight='bold', anchor='middle'))
    return '\n'.join(b)

for name, label, x, y, w in CHOICES:
    svg(name, w, CH, choice(label, w, True))

P = [panel_frame(760, 420, title="OPTIONS")]
titles = [("Full screen", 0, "Alt+Enter switches at any time"), ("Music", 1, "Menu and in-game music"),
          ("Sound", 2, "Sound effects"), ("Add text", 3, None)]
for t, r, hint in titles:
    top = ROWS[r] - OY
    P.append(f'<rect x="14" y="{top}" width="732" height="{ROW_H}" rx="4" fill="#0f1636"/>')
    P.append(chrome_text(30, top + 25, t, 21, ow=1.2, anchor='start', style='normal'))
    if hint:
        P.append(text(735, top + 24, hint, 14, fill='#7f8db0', style='italic', anchor='end'))
for name, label, x, y, w in CHOICES:
    P.append(f'<g transform="translate({x-OX},{y-OY})">{choice(label, w, False)}</g>')
# the add-text field: the game writes the text at (291, 425) in bold orange
P.append(f'<rect x="{262}" y="{315}" width="{474}" height="{38}" fill="#2a3452"/>')
P.append(f'<rect x="{263}" y="{316}" width="{472}" height="{36}" fill="#03040a"/>')
P.append(text(380, 392, "Choose \u201cAdd text\u201d, type up to 12 letters or digits, press Enter.",
              14, fill='#9aa6c4', anchor='middle'))
P.append(text(380, 409, "The text goes with every score you send to the world table.",
              14, fill='#9aa6c4', anchor='middle'))
svg('Opt_Bg', 760, 420, '\n'.join(P))

# row selectors: a thin frame, and a glowing one around the highlighted row
svg('OptB_I', 760, ROW_H, f'<rect x="10.5" y="1.5" width="739" height="{ROW_H-3}" rx="5" fill="none" stroke="#3c4c74" stroke-width="1"/>')
svg('OptB_A', 760, ROW_H,
    f'<rect x="10" y="2" width="740" height="{ROW_H-4}" rx="5" fill="none" stroke="#2fe3ff" stroke-width="2.5" filter="url(#glow)"/>'
    f'<path d="M4,{ROW_H/2-8} L10,{ROW_H/2} L4,{ROW_H/2+8} Z" fill="#ff9a1a"/>'
    f'<path d="M756,{ROW_H/2-8} L750,{ROW_H/2} L756,{ROW_H/2+8} Z" fill="#ff9a1a"/>')

# ---------------------------------------------------------------- high-score panel
H = [panel_frame(760, 385, title="HIGH SCORES")]
for label, x in (("RANK", 38), ("NAME", 204), ("SCORE", 446)):
    H.append(text(x, 104, label, 14, fill='#2fe3ff', weight='bold', anchor='middle', extra='letter-spacing="2"'))
H.append('<rect x="16" y="109" width="530" height="2" fill="#2a3a66"/>')
for k in range(10):
    cy = 125 + 26 * k  # rows are drawn centred on these lines
    fill = '#0d1434' if k % 2 == 0 else '#111a40'
    H.append(f'<rect x="16" y="{cy-12}" width="530" height="24" fill="{fill}"/>')
    # a medal strip for the first three ranks, beside the number
    if k < 3:
        col = ('#ffd24a', '#d8e0ea', '#d98a4a')[k]
        H.append(f'<rect x="16" y="{cy-12}" width="4" height="24" fill="{col}"/>')
# trophy on the right
T = '''
<g transform="translate(650,205)">
  <path d="M-70,-110 L70,-110 L62,-60 C50,-20 20,0 0,4 C-20,0 -50,-20 -62,-60 Z" fill="url(#gold)" stroke="#2a1400" stroke-width="3"/>
  <path d="M-66,-98 C-104,-98 -104,-48 -58,-40" fill="none" stroke="#2a1400" stroke-width="10"/>
  <path d="M-66,-98 C-104,-98 -104,-48 -58,-40" fill="none" stroke="url(#gold)" stroke-width="6"/>
  <path d="M66,-98 C104,-98 104,-48 58,-40" fill="none" stroke="#2a1400" stroke-width="10"/>
  <path d="M66,-98 C104,-98 104,-48 58,-40" fill="none" stroke="url(#gold)" stroke-width="6"/>
  <rect x="-10" y="2" width="20" height="40" fill="url(#gold)" stroke="#2a1400" stroke-width="3"/>
  <rect x="-48" y="40" width="96" height="20" rx="3" fill="url(#gold)" stroke="#2a1400" stroke-width="3"/>
  <rect x="-60" y="58" width="120" height="28" rx="3" fill="url(#steel)" stroke="#02030a" stroke-width="3"/>
  <path d="M-40,-100 C-44,-70 -36,-45 -20,-28" fill="none" stroke="#ffffff" stroke-opacity="0.7" stroke-width="5" stroke-linecap="round"/>
</g>'''
H.append(T)
H.append(chrome_text(650, 320, "TOP 10", 30, ow=1.5, spacing=2))
H.append(text(650, 346, "Beat a score to", 14, fill='#9aa6c4', anchor='middle'))
H.append(text(650, 364, "enter your name", 14, fill='#9aa6c4', anchor='middle'))
svg('HS_Bg', 760, 385, '\n'.join(H))

# ---------------------------------------------------------------- modal window
W = [panel_frame(380, 220, r=16)]
W.append('<rect x="60" y="20" width="260" height="3" fill="url(#neonbar)" filter="url(#glow)"/>')
W.append('<rect x="60" y="197" width="260" height="3" fill="url(#neonbar)" filter="url(#glow)"/>')
svg('Window', 380, 220, '\n'.join(W))

# Yes / No: pattern 0 highlighted, pattern 1 normal, side by side
for name in ("Yes", "No"):
    body = (f'<g>{slant_button(70, 36, name, 20, True, s=10)}</g>'
            f'<g transform="translate(70,0)">{slant_button(70, 36, name, 20, False, s=10)}</g>')
    svg(name, 140, 36, body)

# text cursor
svg('Cursor', 14, 4, '<rect x="0" y="0" width="14" height="4" fill="#ffe6a0"/>'
                     '<rect x="0" y="1" width="14" height="2" fill="#ffb020"/>')

# plasma ball of the still scene
plasma_defs = '''
  <radialGradient id="pl" cx="0.5" cy="0.5" r="0.5">
    <stop offset="0" stop-color="#ffffff"/>
    <stop offset="0.25" stop-color="#c8f8ff"/>
    <stop offset="0.55" stop-color="#39c8ff"/>
    <stop offset="0.8" stop-color="#1a50e0"/>
    <stop offset="1" stop-color="#1a50e0" stop-opacity="0"/>
  </radialGradient>'''
svg('Plasma', 32, 32,
    '<circle cx="16" cy="16" r="15" fill="url(#pl)"/>'
    '<path d="M16,3 L18,10 L14,13 L17,16 M29,16 L22,17 L20,14 M5,22 L11,19 L13,21 M22,28 L19,21" '
    'stroke="#e8fcff" stroke-width="1.4" fill="none" stroke-linecap="round"/>', plasma_defs)
