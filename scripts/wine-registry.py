#!/usr/bin/env python3
"""Writes the registry settings of the test prefix as a UTF-16LE .reg file with a BOM
(the only form regedit reads Japanese names from)."""
import sys

# X11 Driver "Managed"="N": Xvfb runs no window manager, and a window Wine hands to one
# waits up to two seconds for it each time it is shown or hidden (every dialog and message
# box of a test); unmanaged windows appear and go at once.

text = r'''Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS UI Gothic"="IPAGothic"
"MS Gothic"="IPAGothic"
"MS PGothic"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"winedbg.exe"=""
"winemenubuilder.exe"=""
'''
sys.stdout.buffer.write(b'\xff\xfe' + text.replace('\n', '\r\n').encode('utf-16-le'))
