"""The Enchant provider through python3-enchant (run by enchant_test.sh, which
sets up the module folder, the ordering file and the dictionary).

Usage: enchant_test.py WORDLOOM DICTIONARY
"""
import os
import subprocess
import sys
import unittest

import enchant

WORDLOOM = sys.argv[1]
DICTIONARY = sys.argv[2]


def tool_corrections(word):
    """The corrections `wordloom -a` gives for word, in its order."""
    env = dict(os.environ, LD_PRELOAD="")
    out = subprocess.run([WORDLOOM, "-a", "-d", DICTIONARY], input=word + "\n",
                         capture_output=True, text=True, check=True, env=env).stdout
    answer = out.splitlines()[1]
    assert answer.startswith("& "), answer
    return answer.split(": ", 1)[1].split(", ")


class ProviderTest(unittest.TestCase):
    def setUp(self):
        self.broker = enchant.Broker()
        self.dict = self.broker.request_dict("en_US")

    def test_the_ordering_file_puts_wordloom_first(self):
        self.assertEqual(self.dict.provider.name, "wordloom")
        self.assertIn(("en_GB", "wordloom"),
                      [(tag, p.name) for tag, p in self.broker.list_dicts()])
        self.assertIn("wordloom", [p.name for p in self.broker.describe()])
        if any(p.name == "hunspell" for p in self.broker.describe()) and \
                self.broker.dict_exists("en_US"):
            self.broker.set_ordering("en_US", "hunspell,wordloom")
            hunspell_first = self.broker.request_dict("en_US")
            if hunspell_first.provider.name != "wordloom":
                self.assertEqual(hunspell_first.provider.name, "hunspell")

    def test_checks_known_words_and_misspellings(self):
        for word in ["receive", "The", "PARIS", "Paris", "doesn’t", "e-mail"]:
            self.assertTrue(self.dict.check(word), word)
        for word in ["recieve", "brwon", "paris", "dosn’t"]:
            self.assertFalse(self.dict.check(word), word)

    def test_suggests_best_first_as_the_tool_does(self):
        for word in ["recieve", "Teh", "brwon", "dosn’t"]:
            suggestions = self.dict.suggest(word)
            self.assertEqual(suggestions, tool_corrections(word), word)
        self.assertEqual(self.dict.suggest("recieve")[0], "receive")
        self.assertEqual(self.dict.suggest("Recieve")[0], "Receive")

    def test_personal_words_last_and_session_words_do_not(self):
        self.assertFalse(self.dict.check("Pythonloom"))
        self.dict.add("Pythonloom")
        self.assertTrue(self.dict.check("Pythonloom"))
        self.dict.add_to_session("Sessionloom")
        self.assertTrue(self.dict.check("Sessionloom"))
        fresh = enchant.Broker().request_dict("en_US")
        self.assertTrue(fresh.check("Pythonloom"))
        self.assertFalse(fresh.check("Sessionloom"))
        self.assertEqual(fresh.suggest("Pythonlom")[0], "Pythonloom")

    def test_a_language_without_a_dictionary(self):
        self.assertFalse(self.broker.dict_exists("xx_YY"))
        with self.assertRaises(enchant.errors.DictNotFoundError):
            self.broker.request_dict("xx_YY")

    def test_each_region_its_own_dictionary_others_the_languages(self):
        british = self.broker.request_dict("en_GB")
        self.assertEqual(british.provider.name, "wordloom")
        self.assertTrue(british.check("colour"))
        self.assertFalse(self.dict.check("colour"))
        self.assertTrue(self.dict.check("color"))
        self.assertEqual(self.broker.request_dict("en").provider.name, "wordloom")
        self.assertTrue(self.broker.request_dict("en").check("color"))
        self.broker.set_ordering("en_AU", "wordloom")
        self.assertEqual(self.broker.request_dict("en_AU").provider.name, "wordloom")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
