"""The interface's colours: one table, so the panels, buttons and digits agree."""
C = {
    'surface': '#23272C',       # panel surface (graphite)
    'highlight': '#343A41',     # 1-px top highlight of a panel
    'shade': '#15181B',         # 1-px bottom shade of a panel
    'faceTop': '#2E343B',       # raised button face, top of its gradient
    'faceBottom': '#23282E',
    'rim': '#4A525B',
    'pressed': '#181B1F',
    'pressedRim': '#3A4148',
    'disabledFace': '#262A2F',
    'disabledRim': '#31363C',
    'disabledIcon': '#555C64',
    'icon': '#E8EAEC',
    'accent': '#35C4E6',
    'amber': '#FFB43C',
    'unlit': '#100B04',         # unlit segments: about 6 % of the amber over black
    'groove': '#111417',
    'grooveLight': '#343A41',
    'brightEnd': '#5D666F',     # light end of the brightness groove
    'tick': '#4A525B',
    'label': '#7D8690',         # engraved captions
    'thumbTop': '#6A747F',
    'thumbBottom': '#4E5761',
    'thumbRim': '#98A2AC',
    'thumbGrip': '#2E343B',
}
