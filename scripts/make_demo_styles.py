#!/usr/bin/env python3
"""Writes the registry file of the demo styles that scripts/run.sh puts into its Wine prefix
on first use: three invented styles, one of them standard, with key definitions holding
Japanese strings, so that a new user sees a working program at once."""
import sys

STYLE_LIST = (r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Ime\Japan"
              r"\IME98\StyleList")
SETTINGS = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Ime\Japan\IME98\MSIME"

STYLES = {
    "Kana": {
        "Henkan": ["変換", "次候補"],
        "Muhenkan": ["無変換", "カタカナ"],
        "Space": ["全角スペース"],
    },
    "Romaji": {
        "Henkan": ["変換"],
        "Escape": ["取消", "確定"],
    },
    "Tenkey": {
        "Enter": ["確定", "改行"],
    },
}
STANDARD = "Romaji"


def multi_string(strings):
    data = "".join(text + "\0" for text in strings) + "\0"
    raw = data.encode("utf-16-le")
    return "hex(7):" + ",".join("%02x" % byte for byte in raw)


def string_value(text):
    raw = (text + "\0").encode("utf-16-le")
    return "hex(1):" + ",".join("%02x" % byte for byte in raw)


def main(path):
    lines = ["Windows Registry Editor Version 5.00", ""]
    for style, values in STYLES.items():
        lines.append("[%s\\%s]" % (STYLE_LIST, style))
        for name, strings in values.items():
            lines.append('"%s"=%s' % (name, multi_string(strings)))
        lines.append("")
        lines.append("[%s\\%s\\Options]" % (STYLE_LIST, style))
        lines.append('"Level"=dword:00000002')
        lines.append("")
    lines.append("[%s]" % SETTINGS)
    lines.append('"style"=%s' % string_value(STANDARD))
    lines.append("")
    with open(path, "w", newline="\r\n") as output:
        output.write("\n".join(lines))


if __name__ == "__main__":
    main(sys.argv[1])
