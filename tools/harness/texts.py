"""The installer's texts as its catalogue reads them from the carried translations."""

from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]


def translations(source_dir, code):
    """key -> text of one carried translation file, read the way the installer reads it."""
    path = Path(source_dir) / "resources" / "lang" / (code + ".txt")
    lines = path.read_text(encoding="utf-8-sig").split("\n")
    texts = {}
    in_body = False
    for line in lines:
        if not in_body:
            in_body = "translations:" in line
            continue
        if ":" not in line or line.count('"') < 2:
            continue
        key = line.split(":", 1)[0].strip()
        first = line.index('"')
        texts[key] = line[first + 1:line.index('"', first + 1)].strip()
    return texts


def fill(text, *values):
    """Placeholders as the catalogue fills them: backslash-n becomes a line feed, then %1.. in one pass."""
    if not values:
        return text
    text = text.replace("\\n", "\n")
    out, i = [], 0
    while i < len(text):
        for n, value in enumerate(values, 1):
            mark = "%%%d" % n
            if text.startswith(mark, i):
                out.append(value)
                i += len(mark)
                break
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


ENGLISH = translations(ROOT, "en-US")


def T(key, *values):
    """The English text of key with its values filled in."""
    return fill(ENGLISH[key], *values)


def T_in(code, key, *values):
    """The text of key in the carried translation code, with its values filled in."""
    return fill(translations(ROOT, code)[key], *values)
