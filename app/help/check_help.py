#!/usr/bin/env python3
"""Checks the help pages before they are built into the application.

    python3 app/help/check_help.py [--kivra PATH/TO/kivra]

Without options it checks what can go wrong when the pages are edited by hand: a keyword
without its page in one language, a file missing from help.qrc (the help window would show
nothing), a broken link or anchor, a picture that is missing, has no alt text or is of the
other language, unbalanced tags, text that is not clean UTF-8, a listing or
byte example whose instructions do not add up, and the two languages drifting apart in their
examples. (The compiler's tests hold the table of instruction codes to compiler/opcodes.h.)

With --kivra it also runs every example through `kivra check` and compares the documented
bytes, listings and messages with what the compiler really gives, in both languages.
"""

import argparse
import html.parser
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
LANGS = ('en', 'tr')
KEYWORDS = ('END CURON MICROS SPEED ACCEL INITV DISP LOCATE DIR CUROFF JUMP IFINP IFVRB VRB '
            'VRBINC VRBDEC PRM DELAY WAIT WAIS MOVE RUN STOP TABLE REFPOS MOVT INT RET ENBINT '
            'DISINT LIM SPAN OUT FILTER').split()
TOPICS = ('index', 'language', 'messages', 'codes', 'guide')
# Files under app/help/ that are not pages and are not built into the application.
NOT_RESOURCES = {'help.qrc', 'check_help.py'}
VOID = {'meta', 'link', 'br', 'hr', 'img', 'input', 'col'}
# Double-encoded UTF-8 (ş read as Latin-1 and encoded again shows as "ÅŸ").
MOJIBAKE = re.compile('[\u00c2-\u00c5][\u0080-\u00bf\u0152-\u0178\u02c6-\u2122]')


class Page(html.parser.HTMLParser):
    def __init__(self, path):
        super().__init__(convert_charrefs=True)
        self.path = path
        self.problems = []
        self.stack = []
        self.links = []
        self.images = []      # (src, alt)
        self.anchors = set()
        self.title = ''
        self.lang = None
        self.charset = False
        self.tables = []      # (class, rows of cell texts)
        self.pres = []        # (class, text)
        self._text = None     # text being collected for a cell, a <pre> or the title
        self._row = None
        with open(path, 'rb') as f:
            raw = f.read()
        try:
            text = raw.decode('utf-8')
        except UnicodeDecodeError as e:
            self.problems.append('not UTF-8: %s' % e)
            text = raw.decode('utf-8', 'replace')
        if MOJIBAKE.search(text):
            self.problems.append('double-encoded text near %r' % MOJIBAKE.search(text).group(0))
        self.feed(text)
        self.close()
        for tag in self.stack:
            self.problems.append('<%s> is never closed' % tag)

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag not in VOID:
            self.stack.append(tag)
        if tag == 'html':
            self.lang = a.get('lang')
        elif tag == 'meta' and 'utf-8' in (a.get('content', '') + a.get('charset', '')).lower():
            self.charset = True
        elif tag == 'a':
            if 'href' in a:
                self.links.append(a['href'])
            if 'name' in a:
                self.anchors.add(a['name'])
        elif tag == 'img':
            self.images.append((a.get('src', ''), a.get('alt', '')))
        elif tag == 'table':
            self.tables.append((a.get('class', ''), []))
        elif tag == 'tr':
            self._row = []
        elif tag in ('td', 'th', 'pre', 'title'):
            self._text = []
            if tag == 'pre':
                self._pre_class = a.get('class', '')
        elif tag == 'br' and self._text is not None:
            self._text.append('\n')
        if 'id' in a:
            self.anchors.add(a['id'])

    def handle_endtag(self, tag):
        if tag in VOID:
            return
        if not self.stack or self.stack[-1] != tag:
            self.problems.append('</%s> does not close <%s>' % (tag, self.stack[-1] if self.stack else 'nothing'))
            if tag in self.stack:
                while self.stack.pop() != tag:
                    pass
            return
        self.stack.pop()
        if tag in ('td', 'th') and self._row is not None:
            self._row.append(''.join(self._text).strip())
            self._text = None
        elif tag == 'tr' and self.tables:
            self.tables[-1][1].append(self._row)
            self._row = None
        elif tag == 'pre':
            self.pres.append((self._pre_class, ''.join(self._text)))
            self._text = None
        elif tag == 'title':
            self.title = ''.join(self._text).strip()
            self._text = None

    def handle_data(self, data):
        if self._text is not None:
            self._text.append(data)

    def table(self, cls):
        """Body rows of every table of the class, header rows left out."""
        return [r for c, rows in self.tables if c == cls for r in rows[1:]]


def listing_of(out):
    """The listing part of the lines `kivra check --listing` prints: from its header on.
    The compiler ends the header with blanks."""
    for i, line in enumerate(out):
        if line.rstrip() == 'Adr  Code':
            return out[i:]
    return []


class Checker:
    def __init__(self):
        self.problems = []
        self.pages = {}
        self.compared = 0  # programs run through the compiler

    def fail(self, where, what):
        self.problems.append('%s: %s' % (os.path.relpath(where, ROOT) if os.path.isabs(where) else where, what))

    # -- files and resources -------------------------------------------------------------

    def check_files(self):
        for lang in LANGS:
            for name in KEYWORDS + list(TOPICS):
                if not os.path.isfile(os.path.join(HERE, lang, name + '.html')):
                    self.fail(os.path.join(HERE, lang), 'missing page %s.html' % name)
        en = set(os.listdir(os.path.join(HERE, 'en'))) if os.path.isdir(os.path.join(HERE, 'en')) else set()
        tr = set(os.listdir(os.path.join(HERE, 'tr'))) if os.path.isdir(os.path.join(HERE, 'tr')) else set()
        for name in sorted(en ^ tr):
            self.fail(HERE, '%s exists in only one language' % name)

    def resource_files(self):
        found = set()
        for dirpath, dirnames, filenames in os.walk(HERE):
            dirnames[:] = [d for d in dirnames if not d.startswith('.') and d != '__pycache__']
            for f in filenames:
                rel = os.path.relpath(os.path.join(dirpath, f), HERE).replace(os.sep, '/')
                if rel not in NOT_RESOURCES and not f.startswith('.'):
                    found.add(rel)
        return found

    def check_qrc(self):
        qrc = os.path.join(HERE, 'help.qrc')
        try:
            tree = ET.parse(qrc)
        except (OSError, ET.ParseError) as e:
            self.fail(qrc, 'cannot be read: %s' % e)
            return
        listed = []
        for res in tree.getroot().iter('qresource'):
            if res.get('prefix') != '/help':
                self.fail(qrc, 'prefix %r instead of "/help"' % res.get('prefix'))
            listed += [f.text.strip() for f in res.iter('file')]
        for f in sorted({f for f in listed if listed.count(f) > 1}):
            self.fail(qrc, '%s is listed twice' % f)
        found = self.resource_files()
        for f in sorted(found - set(listed)):
            self.fail(qrc, '%s is not listed, so the application cannot show it' % f)
        for f in sorted(set(listed) - found):
            self.fail(qrc, '%s is listed but does not exist' % f)
        rcc = shutil.which('rcc') or next((p for p in ('/usr/lib/qt6/libexec/rcc', '/usr/lib/qt6/bin/rcc')
                                           if os.access(p, os.X_OK)), None)
        if rcc:
            r = subprocess.run([rcc, '--list', qrc], cwd=HERE, capture_output=True, text=True)
            if r.returncode != 0:
                self.fail(qrc, 'rcc refuses it: %s' % r.stderr.strip())

    # -- pages and links -----------------------------------------------------------------

    def load_pages(self):
        for lang in LANGS:
            d = os.path.join(HERE, lang)
            for f in sorted(os.listdir(d)) if os.path.isdir(d) else []:
                if f.endswith('.html'):
                    p = Page(os.path.join(d, f))
                    self.pages[(lang, f)] = p
                    for what in p.problems:
                        self.fail(p.path, what)
                    if p.lang != lang:
                        self.fail(p.path, 'lang attribute is %r, not %r' % (p.lang, lang))
                    if not p.charset:
                        self.fail(p.path, 'no meta tag declaring utf-8')
                    if not p.title:
                        self.fail(p.path, 'no title')

    def check_links(self):
        for (lang, name), page in self.pages.items():
            targets = set()
            for href in page.links:
                if re.match(r'^[a-z]+:', href) or href.startswith('/'):
                    self.fail(page.path, 'link %s leaves the help; only relative links work in the help window' % href)
                    continue
                file_part, _, anchor = href.partition('#')
                target = os.path.normpath(os.path.join(os.path.dirname(page.path), file_part)) if file_part else page.path
                targets.add(target)
                if not os.path.isfile(target):
                    self.fail(page.path, 'broken link %s' % href)
                    continue
                if anchor:
                    key = (os.path.basename(os.path.dirname(target)), os.path.basename(target))
                    other = self.pages.get(key)
                    if other is None or anchor not in other.anchors:
                        self.fail(page.path, 'link %s names an anchor that does not exist' % href)
            if name != 'index.html' and os.path.join(HERE, lang, 'index.html') not in targets:
                self.fail(page.path, 'no link back to the contents')
            other_lang = 'tr' if lang == 'en' else 'en'
            if os.path.join(HERE, other_lang, name) not in targets:
                self.fail(page.path, 'no link to the same page in the other language')
        for lang in LANGS:
            index = self.pages.get((lang, 'index.html'))
            if index is None:
                continue
            linked = {os.path.basename(h.partition('#')[0]) for h in index.links if '/' not in h}
            for name in KEYWORDS + list(TOPICS[1:]):
                if name + '.html' not in linked:
                    self.fail(index.path, 'the contents do not link %s.html' % name)

    def check_images(self):
        """Every picture is a PNG under images/ that exists, says what it shows, and is the
        picture of the page's own language."""
        for (lang, name), page in self.pages.items():
            for src, alt in page.images:
                target = os.path.normpath(os.path.join(os.path.dirname(page.path), src))
                if not src.startswith('../images/') or not src.endswith('.png'):
                    self.fail(page.path, 'picture %s is not a PNG under images/' % src)
                elif not os.path.isfile(target):
                    self.fail(page.path, 'picture %s does not exist (scripts/help-pictures makes them)' % src)
                elif not src.endswith('-%s.png' % lang):
                    self.fail(page.path, 'picture %s is not of the page\'s language' % src)
                if not alt.strip():
                    self.fail(page.path, 'picture %s has no alt text' % src)
            other = self.pages.get(('tr' if lang == 'en' else 'en', name))
            if lang == 'en' and other is not None:
                mine = [re.sub(r'-en\.png$', '', s) for s, _ in page.images]
                theirs = [re.sub(r'-tr\.png$', '', s) for s, _ in other.images]
                if mine != theirs:
                    self.fail(other.path, 'pictures differ from the English page')

    # -- byte code -----------------------------------------------------------------------

    def load_lengths(self):
        """Instruction lengths from the instruction-code page: {code: length}, 2F as 7."""
        lengths = {}
        page = self.pages.get(('en', 'codes.html'))
        for row in page.table('codes') if page else []:
            if len(row) >= 2 and re.fullmatch(r'[0-9A-F]{2}', row[0]):
                m = re.match(r'\d+', row[1])
                lengths[int(row[0], 16)] = int(m.group(0)) if m else 0
        if len(lengths) < 0x3B:
            self.fail(os.path.join(HERE, 'en', 'codes.html'), 'the table of instruction codes is incomplete')
        self.lengths = lengths

    def instruction_length(self, code, a):
        op = code[a]
        if op == 0x2F:
            at = lambda i: code[i] if i < len(code) else 0xFF
            if at(a + 2) == 0:
                return 13 if at(a + 8) == 0 else 10
            return 10 if at(a + 5) == 0 else 7
        return self.lengths.get(op, 0) or 1

    def split(self, code):
        """Instruction lengths of a byte string, or None when the last one runs past the end."""
        a, out = 0, []
        while a < len(code):
            n = self.instruction_length(code, a)
            out.append(n)
            a += n
        return out if a == len(code) else None

    def check_listing(self, page, text):
        lines = [l.rstrip() for l in text.strip('\n').split('\n')]
        if not lines or lines[0] != 'Adr  Code':
            self.fail(page.path, 'listing does not start with "Adr  Code"')
            return
        try:
            v = lines.index('Vector :')
        except ValueError:
            self.fail(page.path, 'listing has no "Vector :" line')
            return
        a = 0
        for line in lines[1:v]:
            m = re.fullmatch(r'(\d{3,4}) :((?:[0-9A-F]{2} )*[0-9A-F]{2})', line)
            if not m:
                self.fail(page.path, 'listing line %r is not an address and bytes' % line)
                return
            code = [int(b, 16) for b in m.group(2).split()]
            if int(m.group(1)) != a:
                self.fail(page.path, 'listing line %r should stand at address %03d' % (line, a))
            if self.instruction_length(code + [0xFF] * 13, 0) != len(code):
                self.fail(page.path, 'listing line %r does not hold one whole instruction' % line)
            a += len(code)
        if lines[v - 1][-3:] != ':FF':
            self.fail(page.path, 'listing does not end with the end marker FF')
        records = lines[v + 1:]
        if [r[:5] for r in records] != ['%03d :' % i for i in range(1, 7)] or \
                any(not re.fullmatch(r'\d{3} :([0-9A-F]{2} ){4}[0-9A-F]{2}', r) for r in records):
            self.fail(page.path, 'listing does not end with six vector records of five bytes')

    def check_code(self):
        for (lang, name), page in self.pages.items():
            for cls, text in page.pres:
                if cls == 'listing':
                    self.check_listing(page, text)
            for row in page.table('bytes'):
                if len(row) != 2 or not re.fullmatch(r'([0-9A-F]{2} )*[0-9A-F]{2}', row[1]):
                    self.fail(page.path, 'byte example %r is not hexadecimal bytes' % (row,))
                elif self.split([int(b, 16) for b in row[1].split()]) is None:
                    self.fail(page.path, 'the bytes of %r are not whole instructions' % row[0])

    def check_languages_agree(self):
        """Both languages show the same byte code and the same message examples."""
        for (lang, name), page in self.pages.items():
            other = self.pages.get(('tr', name))
            if lang != 'en' or other is None:
                continue
            if page.table('bytes') != other.table('bytes'):
                self.fail(other.path, 'byte examples differ from the English page')
            listings = lambda p: [t for c, t in p.pres if c == 'listing']
            if listings(page) != listings(other):
                self.fail(other.path, 'listings differ from the English page')
            en_msgs, tr_msgs = page.table('messages'), other.table('messages')
            if [r[-1] for r in en_msgs] != [r[-1] for r in tr_msgs]:
                self.fail(other.path, 'the messages table differs from the English page in its rows or examples')

    # -- against the compiler ------------------------------------------------------------

    def compile(self, kivra, lang, program):
        with tempfile.NamedTemporaryFile('wb', suffix='.kv3', delete=False) as f:
            f.write(program.replace('\n', '\r\n').encode('cp1254'))
        try:
            r = subprocess.run([kivra, 'check', '--lang', lang, '--listing', f.name], capture_output=True)
        finally:
            os.unlink(f.name)
        self.compared += 1
        out = r.stdout.decode('utf-8', 'replace').replace('\r', '').split('\n')
        return out, listing_of(out)

    @staticmethod
    def code_of(listing):
        code = []
        for line in listing[1:]:
            if line.startswith('Vector'):
                break
            code += line.split(':', 1)[1].split()
        return ' '.join(code[:-1])  # without the end marker

    def check_with_compiler(self, kivra):
        for (lang, name), page in self.pages.items():
            for row in page.table('bytes'):
                _, listing = self.compile(kivra, lang, row[0] + '\nEND;\n')
                got = self.code_of(listing)
                if got != row[1]:
                    self.fail(page.path, '%r compiles to %r, not %r' % (row[0], got or 'nothing', row[1]))
            program = None
            for cls, text in page.pres:
                if cls == 'program':
                    program = text
                elif cls == 'listing' and program is not None:
                    _, listing = self.compile(kivra, lang, program)
                    want = [l.rstrip() for l in text.strip('\n').split('\n')]
                    if [l.rstrip() for l in listing if l.strip()] != want:
                        self.fail(page.path, 'the listing of the example program differs from the compiler\'s')
                elif cls == 'messagelist' and program is not None:
                    out, _ = self.compile(kivra, lang, program)
                    entry = lambda l: l.startswith(('* ', '  --->', 'Total', 'Toplam'))
                    want = [l.rstrip() for l in text.split('\n') if entry(l)]
                    got = [l.rstrip() for l in out if entry(l)]
                    if got != want:
                        self.fail(page.path, 'the sample message list differs from the compiler\'s: %r' % got)
            for row in page.table('messages'):
                message, example = row[0], row[-1]
                if example in ('', '\u2014'):
                    continue
                program = example if re.search(r'^\s*END\b', example, re.M | re.I) else example + '\nEND;'
                out, _ = self.compile(kivra, lang, program + '\n')
                if message.strip() not in [l.strip() for l in out]:
                    self.fail(page.path, '%r does not give %r' % (example, message))

    def run(self, kivra):
        self.check_files()
        self.check_qrc()
        self.load_pages()
        self.check_links()
        self.check_images()
        self.load_lengths()
        self.check_code()
        self.check_languages_agree()
        if kivra:
            self.check_with_compiler(kivra)
            if self.compared == 0:
                self.fail(HERE, 'no example was compared with the compiler')
        return self.problems


def main():
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('--kivra', help='the kivra command-line tool, to compare the examples with the compiler')
    args = ap.parse_args()
    checker = Checker()
    problems = checker.run(args.kivra)
    for p in problems:
        print(p)
    compared = ', %d programs compared with the compiler' % checker.compared if args.kivra else ''
    print('%d pages checked%s, %d problems' % (len(checker.pages), compared, len(problems)))
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
