# Shared SVG building blocks for the menu art of library 1.
# These scripts wrote assets/res1/*.svg; the SVG files are the sources the data build
# renders, and may be edited by hand. Run make_all.py again to restyle all of them.
import os
import re
ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..', '..'))
OUT = os.path.join(ROOT, 'assets', 'res1')
RES2 = os.path.join(ROOT, 'assets', 'res2')

SANS = "Liberation Sans"
SERIF = "Liberation Serif"
NARROW = "Liberation Sans Narrow"

def esc(t):
    return t.replace('&', '&amp;').replace('<', '&lt;').replace('>', '&gt;')

DEFS = '''
  <linearGradient id="chrome" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#ffffff"/>
    <stop offset="0.38" stop-color="#d6dee8"/>
    <stop offset="0.5" stop-color="#6a7686"/>
    <stop offset="0.56" stop-color="#3c4656"/>
    <stop offset="0.75" stop-color="#9aa8ba"/>
    <stop offset="1" stop-color="#f4f8fc"/>
  </linearGradient>
  <linearGradient id="gold" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#fffbe8"/>
    <stop offset="0.4" stop-color="#ffe08a"/>
    <stop offset="0.5" stop-color="#c07414"/>
    <stop offset="0.58" stop-color="#8a4a08"/>
    <stop offset="0.8" stop-color="#ffb845"/>
    <stop offset="1" stop-color="#fff4cc"/>
  </linearGradient>
  <linearGradient id="hot" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#ffffff"/>
    <stop offset="0.45" stop-color="#fff0a0"/>
    <stop offset="1" stop-color="#ffa81c"/>
  </linearGradient>
  <linearGradient id="steel" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#eef3f8"/>
    <stop offset="0.45" stop-color="#8793a3"/>
    <stop offset="0.55" stop-color="#4a5464"/>
    <stop offset="1" stop-color="#c4ccd8"/>
  </linearGradient>
  <linearGradient id="plate" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#1c2446"/>
    <stop offset="0.5" stop-color="#0e1430"/>
    <stop offset="1" stop-color="#070a1a"/>
  </linearGradient>
  <linearGradient id="plateA" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#23407a"/>
    <stop offset="0.5" stop-color="#142a5c"/>
    <stop offset="1" stop-color="#0a1636"/>
  </linearGradient>
  <linearGradient id="panel" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#141c3c"/>
    <stop offset="1" stop-color="#080b1c"/>
  </linearGradient>
  <linearGradient id="neonbar" x1="0" y1="0" x2="1" y2="0">
    <stop offset="0" stop-color="#2fe3ff" stop-opacity="0"/>
    <stop offset="0.15" stop-color="#2fe3ff"/>
    <stop offset="0.85" stop-color="#2fe3ff"/>
    <stop offset="1" stop-color="#2fe3ff" stop-opacity="0"/>
  </linearGradient>
  <filter id="glow" x="-20%" y="-60%" width="140%" height="220%">
    <feGaussianBlur in="SourceAlpha" stdDeviation="3" result="b"/>
    <feFlood flood-color="#2fe3ff"/>
    <feComposite in2="b" operator="in" result="g"/>
    <feMerge><feMergeNode in="g"/><feMergeNode in="g"/><feMergeNode in="SourceGraphic"/></feMerge>
  </filter>
  <filter id="glowO" x="-20%" y="-60%" width="140%" height="220%">
    <feGaussianBlur in="SourceAlpha" stdDeviation="3" result="b"/>
    <feFlood flood-color="#ff8a1a"/>
    <feComposite in2="b" operator="in" result="g"/>
    <feMerge><feMergeNode in="g"/><feMergeNode in="g"/><feMergeNode in="SourceGraphic"/></feMerge>
  </filter>
  <filter id="soft" x="-10%" y="-10%" width="120%" height="120%">
    <feGaussianBlur stdDeviation="2"/>
  </filter>
  <filter id="shadow" x="-10%" y="-30%" width="120%" height="160%">
    <feGaussianBlur in="SourceAlpha" stdDeviation="2" result="b"/>
    <feOffset dx="2" dy="2" result="o"/>
    <feFlood flood-color="#000000" flood-opacity="0.85"/>
    <feComposite in2="o" operator="in" result="s"/>
    <feMerge><feMergeNode in="s"/><feMergeNode in="SourceGraphic"/></feMerge>
  </filter>
'''

def svg(name, w, h, body, extra_defs=''):
    s = (f'<?xml version="1.0" encoding="UTF-8"?>\n'
         f'<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" '
         f'width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n'
         f'<defs>{DEFS}{extra_defs}</defs>\n{body}\n</svg>\n')
    with open(os.path.join(OUT, name + '.svg'), 'w') as f:
        f.write(s)

def text(x, y, t, size, fill='#ffffff', family=SANS, weight='normal', style='normal',
         anchor='start', extra=''):
    return (f'<text x="{x}" y="{y}" font-family="{family}" font-size="{size}" '
            f'font-weight="{weight}" font-style="{style}" text-anchor="{anchor}" fill="{fill}" {extra}>'
            f'{esc(t)}</text>')

def chrome_text(x, y, t, size, fill='url(#chrome)', outline='#05070f', ow=2.0, anchor='middle',
                family=SANS, weight='bold', style='italic', filt=None, spacing=0):
    f = f' filter="url(#{filt})"' if filt else ''
    sp = f' letter-spacing="{spacing}"' if spacing else ''
    common = (f'x="{x}" y="{y}" font-family="{family}" font-size="{size}" font-weight="{weight}" '
              f'font-style="{style}" text-anchor="{anchor}"{sp}')
    return (f'<g{f}><text {common} fill="none" stroke="{outline}" stroke-width="{ow*2}" '
            f'stroke-linejoin="round">{esc(t)}</text>'
            f'<text {common} fill="{fill}">{esc(t)}</text></g>')

def slant_path(w, h, s=14, m=1):
    return f'M{s+m},{m} L{w-m},{m} L{w-s-m},{h-m} L{m},{h-m} Z'

def slant_button(w, h, label, size, active, s=14):
    """A slanted chrome-framed plate with a chrome word; the active look glows."""
    outer = slant_path(w, h, s, 1)
    inner = slant_path(w, h, s, 4)
    b = []
    b.append(f'<path d="{outer}" fill="url(#steel)"/>')
    b.append(f'<path d="{inner}" fill="url({"#plateA" if active else "#plate"})" stroke="#000000" stroke-width="1"/>')
    # a gloss band on the top half
    b.append(f'<path d="M{s+5},5 L{w-5},5 L{w-5-s*0.45:.1f},{h*0.45:.1f} L{5+s*0.55:.1f},{h*0.45:.1f} Z" '
             f'fill="#ffffff" fill-opacity="{0.13 if active else 0.07}"/>')
    if active:
        b.append(f'<path d="{slant_path(w, h, s, 6)}" fill="none" stroke="#2fe3ff" stroke-width="2" filter="url(#glow)"/>')
        b.append(chrome_text(w / 2, h / 2 + size * 0.36, label, size, fill='url(#gold)', filt='glowO'))
    else:
        b.append(chrome_text(w / 2, h / 2 + size * 0.36, label, size))
    return '\n'.join(b)

def panel_frame(w, h, r=14, title=None, title_size=34):
    """An opaque dark panel with a chrome bevel frame and an optional chrome title."""
    b = []
    b.append(f'<rect x="1" y="1" width="{w-2}" height="{h-2}" rx="{r}" fill="url(#steel)"/>')
    b.append(f'<rect x="5" y="5" width="{w-10}" height="{h-10}" rx="{r-3}" fill="#04060e"/>')
    b.append(f'<rect x="7" y="7" width="{w-14}" height="{h-14}" rx="{r-4}" fill="url(#panel)"/>')
    b.append(f'<rect x="9.5" y="9.5" width="{w-19}" height="{h-19}" rx="{r-5}" fill="none" stroke="#2fe3ff" stroke-opacity="0.35" stroke-width="1"/>')
    # rivets in the corners
    for cx, cy in ((18, 18), (w - 18, 18), (18, h - 18), (w - 18, h - 18)):
        b.append(f'<circle cx="{cx}" cy="{cy}" r="3.5" fill="url(#steel)" stroke="#000" stroke-width="0.8"/>')
    if title:
        b.append(chrome_text(w / 2, 52, title, title_size, spacing=3))
        b.append(f'<rect x="{w*0.12:.0f}" y="64" width="{w*0.76:.0f}" height="3" fill="url(#neonbar)" filter="url(#glow)"/>')
    return '\n'.join(b)

def inline_svg(path, x, y, w, h, prefix):
    """Nests another SVG picture at (x, y) scaled to w x h, its ids made unique."""
    s = open(path).read()
    s = re.sub(r'<\?xml[^>]*\?>', '', s)
    s = re.sub(r'<!--.*?-->', '', s, flags=re.S)
    ids = re.findall(r'\bid="([^"]+)"', s)
    for i in ids:
        s = s.replace(f'id="{i}"', f'id="{prefix}{i}"').replace(f'url(#{i})', f'url(#{prefix}{i})') \
             .replace(f'href="#{i}"', f'href="#{prefix}{i}"')
    m = re.search(r'<svg\b[^>]*>', s)
    vb = re.search(r'viewBox="([^"]+)"', m.group(0))
    if vb:
        vbs = vb.group(1)
    else:
        ww = re.search(r'width="([\d.]+)', m.group(0)).group(1)
        hh = re.search(r'height="([\d.]+)', m.group(0)).group(1)
        vbs = f'0 0 {ww} {hh}'
    head = f'<svg x="{x}" y="{y}" width="{w}" height="{h}" viewBox="{vbs}">'
    return s[:m.start()] + head + s[m.end():]
