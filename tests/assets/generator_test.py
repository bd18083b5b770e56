#!/usr/bin/python3
"""The artwork generators' words: the pictures that stand for words have
them, a new build gives the same bytes, and a missing font engine or font
stops the build naming the package that brings it.

    generator_test.py   (ART_BUILD_DIR: the build's assets folder;
                         ART_PACKAGE: the skin package the build made)
"""

import os
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
ASSETS = os.path.join(REPO, 'assets')
sys.path.insert(0, ASSETS)

import arttext  # noqa: E402
from art_words import COMPANION_WORDS, SETTINGS_WORDS, lines  # noqa: E402
from artlib import Canvas  # noqa: E402

BUILD = os.environ.get('ART_BUILD_DIR', os.path.join(REPO, 'build', 'assets'))
PACKAGE = os.environ.get('ART_PACKAGE', os.path.join(REPO, 'build', 'bin', 'halvet.ui'))

# Pictures that stand for words: the settings pages' titles, the health
# page's tabs and hint panels, the list pages' buttons, and the name in the
# first-run chooser's title band.
MUST_CARRY_WORDS = {
    'settings': ['titleset', 'TitleTimerAlert', 'TitleTimerShutDown', 'titleeye', 'tabeye', 'tabneck',
                 'btn_add', 'btn_manager', 'btn_return', 'bg_rest_hint', 'bg_rest_hint2'],
    'companion': [135],
}


def built_file(picture):
    if isinstance(picture, int):
        return os.path.join(BUILD, 'art', 'res', '%d.png' % picture)
    if picture.endswith('.png'):
        return os.path.join(BUILD, 'art', 'halvet', picture)
    return os.path.join(BUILD, 'mirelo_art', 'res', picture + '.png')


def run(args, **kw):
    return subprocess.run([sys.executable] + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kw)


class WordsTable(unittest.TestCase):
    def test_every_picture_that_stands_for_words_has_its_text(self):
        for name in MUST_CARRY_WORDS['settings']:
            self.assertTrue(''.join(lines(SETTINGS_WORDS.get(name, ''))).strip(), name)
        for rid in MUST_CARRY_WORDS['companion']:
            self.assertTrue(''.join(lines(COMPANION_WORDS.get(rid, ''))).strip(), rid)

    def test_every_text_belongs_to_a_picture_of_the_build(self):
        for picture in list(SETTINGS_WORDS) + list(COMPANION_WORDS):
            self.assertTrue(os.path.isfile(built_file(picture)), 'no picture %s in the build' % picture)


class Drawing(unittest.TestCase):
    def setUp(self):
        arttext.require()

    def test_a_line_wider_than_its_room_stops_the_build(self):
        cv = Canvas(60, 20)
        width = arttext.text_width('定时提醒', 13)
        arttext.draw_text(cv, 0, '定时提醒', 13, (0, 0, 0, 1), middle=10, room=width)
        with self.assertRaisesRegex(arttext.ArtTextError, '定时提醒'):
            arttext.draw_text(cv, 0, '定时提醒', 13, (0, 0, 0, 1), middle=10, room=width - 1)

    def test_words_are_anti_aliased_into_the_canvas(self):
        cv = Canvas(40, 20)
        arttext.draw_text(cv, 2, '设置', 16, (0, 0, 1, 1), middle=10)
        alphas = set(round(cv.px[i + 3], 3) for i in range(0, len(cv.px), 4))
        self.assertIn(1.0, alphas)
        self.assertTrue([a for a in alphas if 0.0 < a < 1.0], 'no partly covered pixels')
        self.assertTrue(all(cv.px[i] == 0.0 for i in range(0, len(cv.px), 4)), 'colour kept premultiplied')


class Build(unittest.TestCase):
    def test_the_same_inputs_give_the_same_bytes(self):
        with tempfile.TemporaryDirectory() as tmp:
            for script, out, extra in (('mirelo_art.py', 'mirelo_art', []),
                                       ('generate_art.py', 'art', ['--package', os.path.join(tmp, 'halvet.ui')])):
                result = run([os.path.join(ASSETS, script), '--out', os.path.join(tmp, out)] + extra)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertIn(arttext.FONT_PACKAGE, result.stdout.decode('utf-8'), 'font version in the log')
                for folder in ('res', 'halvet'):
                    mine = os.path.join(tmp, out, folder)
                    if not os.path.isdir(mine):
                        continue
                    for name in sorted(os.listdir(mine)):
                        with open(os.path.join(mine, name), 'rb') as a, \
                                open(os.path.join(BUILD, out, folder, name), 'rb') as b:
                            self.assertTrue(a.read() == b.read(), '%s/%s differs' % (out, name))
            with open(os.path.join(tmp, 'halvet.ui'), 'rb') as a, \
                    open(PACKAGE, 'rb') as b:
                self.assertTrue(a.read() == b.read(), 'halvet.ui differs')

    def test_without_pillow_the_build_stops_naming_the_package(self):
        with tempfile.TemporaryDirectory() as tmp:
            os.makedirs(os.path.join(tmp, 'PIL'))
            with open(os.path.join(tmp, 'PIL', '__init__.py'), 'w') as f:
                f.write('raise ImportError("no Pillow here")\n')
            env = dict(os.environ, PYTHONPATH=tmp)
            result = run([os.path.join(ASSETS, 'mirelo_art.py'), '--out', os.path.join(tmp, 'out')], env=env)
            self.assertEqual(result.returncode, 1)
            self.assertIn(arttext.PILLOW_PACKAGE, result.stderr.decode('utf-8'))
            self.assertFalse(os.path.exists(os.path.join(tmp, 'out')), 'no pictures without words')

    def test_without_the_font_the_build_stops_naming_the_package(self):
        with self.assertRaisesRegex(arttext.ArtTextError, arttext.FONT_PACKAGE):
            arttext.require('/nonexistent/wqy-microhei.ttc')


if __name__ == '__main__':
    unittest.main(verbosity=2)
