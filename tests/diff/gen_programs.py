#!/usr/bin/env python3
"""Prints one random ゆめもり program for a seed (UTF-8, on standard output).

The same seed always gives the same program. The programs are meant for comparing the two
ways build/yume runs a script (with kept plans, and with --no-plans, tests/diff/run_diff.py),
and they show their intermediate results with 表示 so that any difference becomes visible.
They mix, nested in varied ways:
  - assignments (は and =), expressions with every operator and parentheses, fractions,
    negative, hexadecimal and exponent numbers, numbers whose text is not the one a
    calculation writes (007, 1.0, +5, -0, 15 digits and more), comparisons of numbers with
    texts either way round, && ||, "&" chains of texts and numbers (also over two lines),
    texts with {...} parts, texts that look like numbers, empty texts, full-width writing;
  - typed variables (数値として扱う, 文字列として扱う), a variable made a dictionary and back;
  - user functions with argument patterns (none to three arguments), called as statements,
    with 呼ぶ, and as values inside expressions, texts and arguments of other calls; the first
    argument left out; locals (some hiding a global of the same name), 引数得る, 引数取得,
    戻る early and at the end, それ as the result; recursion down a bounded argument;
  - もし on one line, on following lines and with blocks in parentheses, chains of 違えば
    もし, なら and でなければ, conditions as expressions and with particles (Aが3以上 かつ
    ...), the "?" form, 条件分岐 with case lines; ここから ... ここまで;
  - 回, 繰り返す, 反復 (lines, tables, dictionaries) and ループ, nested, with 抜ける and
    続ける inside もし, 回数; 飛ぶ forward, backward, out of a loop and inside its block;
  - elements of comma-separated tables (read and written, one and two indices), items of
    dictionaries and of name=value texts, 行数, 文字数, ハッシュキー列挙;
  - string and arithmetic commands, as statements (arguments also in another order, or the
    first one left out) and with parentheses inside expressions; ゆめもりする;
  - a share of programs that end in an error (12%), and some that run on after errors under
    エラーを無視 (6%) or through an error label (3%), with errors inside loops and functions.

Every program terminates quickly: loop counts are small literals (or counters of enclosing
loops), ループ and backward jumps run on counters of their own, recursion goes down a bounded
argument, functions only call functions defined before them, commands that write back into
a variable never get a loop counter, and a cost estimate keeps the statements executed to a
few thousand. Texts cannot grow without bound: an expression that builds a text takes in at
most one variable's text (numbers are short, and functions read globals only in numbers).
No dialogs, files, clock, random numbers or waiting.

    gen_programs.py SEED            print the program for SEED
    gen_programs.py SEED --mode M   force the error mode (plain, fatal, ignore, label)
"""

import argparse
import random
import sys

# Texts used as literals: plain words, texts that look like numbers in many ways, empty.
TEXTS = [
    "abc", "あいう", "x", "表ソ", "ab,cd", "a,b,c", "007", "1,000", " 12 ", "１２", "",
    "3.5", "-2", "0", "10", "9", "12円", "1e5", "1.0e5", "$1F", "ならば", "Ａｂ", "a=1",
    "k1", "キー", "  ", "0.0", "+4",
]
# Short texts for keys, separators and replacement.
KEYS = ["a", "b", "k1", "キー", "x", "1", "07"]
PIECES = ["a", "b", ",", "1", "あ", "x", "0", " "]

# Functions: name, and the particles of its argument pattern.
FUNC_NAMES = ["混ぜる", "組む", "重ねる", "比べる", "積む", "調べる", "測る", "合わせる",
              "関甲", "関乙", "FA", "FB"]
REC_NAMES = ["階乗", "総和", "下る", "数え上げる"]
PATTERNS = {
    0: [[]],
    1: [["の"], ["を"], ["から"], ["で"]],
    2: [["と", "を"], ["に", "を"], ["を", "で"], ["の", "から"]],
    3: [["と", "を", "で"], ["を", "から", "まで"]],
}

SCALARS = ["A", "B", "C", "D", "E", "X", "Y", "甲", "乙", "値", "結果", "S1"]
TABLES = ["T1", "T2", "表"]
DICTS = ["辞書", "D1"]
FOR_COUNTERS = ["I", "J", "K", "M"]

ERROR_STATEMENTS = [
    "未定義の命令",
    "「a」と「b」を、表示",
    "「a」と、「b」を、表示",
    "(1+)を、表示",
    "回数は、3",
    "表示は、3",
    "3Aは、1",
    "「x」=1",
    "Xは、1+割る(5,0)",
    "「abc」を、0で、割る",
    "無い名前の、ハッシュキー列挙",
    "無い名前から、Bへ、単語コピー",
    "それを、ローカル変数",
    "無いラベルへ、飛ぶ",
    "MID(「abc」)を、表示",
    "Zは、0^(-1)",
    "「」の、「,」までを、切り取る",
    "未定義の名前の、「<」から、「>」までの、範囲を切り取る",
    "「x」と、「y」と、「z」の、MOD",
    "『未定義の命令』を、ゆめもりする",
    "5の、無い関数",
]
# Errors after which no phrase is left on the argument stack: an error label can show them
# (a phrase left over would make the label's own statements fail, and the label run again).
LABEL_ERRORS = [
    "未定義の命令",
    "回数は、3",
    "表示は、3",
    "3Aは、1",
    "「x」=1",
    "Xは、1+割る(5,0)",
    "「abc」を、0で、割る",
    "無い名前の、ハッシュキー列挙",
    "無いラベルへ、飛ぶ",
    "Zは、0^(-1)",
    "5の、無い関数",
]


HALF = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz+-*/=<>()&#$%^!|. "
FULL = "０１２３４５６７８９ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ" \
       "ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ＋－＊／＝＜＞（）＆＃＄％＾！｜．　"
TO_FULL = str.maketrans(HALF, FULL)


def outside_texts(s):
    """Yields (index, character, depth) for the characters of s outside 「」 and 『』 texts;
    depth counts the parentheses open there."""
    in_text = None
    depth = 0
    for i, c in enumerate(s):
        if in_text:
            if c == in_text:
                in_text = None
            continue
        if c == "「":
            in_text = "」"
        elif c == "『":
            in_text = "』"
        else:
            if c == "(":
                depth += 1
            elif c == ")":
                depth -= 1
            yield i, c, depth


def top_level_amps(s):
    """Positions of the single "&" of s outside texts and parentheses."""
    out = []
    for i, c, depth in outside_texts(s):
        if c == "&" and depth == 0 and s[i - 1:i] != "&" and s[i + 1:i + 2] != "&":
            out.append(i)
    return out


def full_width(s):
    """s with its letters, digits and operators outside texts written full-width (the
    preparation of the script turns them back)."""
    chars = list(s)
    for i, c, _ in outside_texts(s):
        chars[i] = c.translate(TO_FULL)
    return "".join(chars)


class Func:
    def __init__(self, name, particles, recursive):
        self.name = name
        self.particles = particles
        self.recursive = recursive
        self.cost = 1
        self.lines = []
        self.starts = []
        self.ends_open = False

    @property
    def arity(self):
        return len(self.particles)


class Ctx:
    """Where a statement is generated: in the main program or in a function, inside which
    loops, which variables it may read and write."""

    def __init__(self, func=None, callable_funcs=(), scalars=(), writable=(), tables=(),
                 dicts=(), num_vars=()):
        self.func = func
        self.callable = list(callable_funcs)
        self.scalars = list(scalars)        # readable plain variables
        self.num_vars = list(num_vars)      # variables read only where a number is made of them
        self.writable = list(writable)      # plain variables it may assign
        self.tables = list(tables)          # comma-separated table variables (bounded rows)
        self.dicts = list(dicts)            # dictionaries (bounded keys)
        self.loops = []                     # kinds of the enclosing loops, innermost last
        self.counters = []                  # loop counter variables readable here
        self.in_local_block = False
        self.depth = 0                      # block nesting

    def child(self):
        c = Ctx(self.func, self.callable, self.scalars, self.writable, self.tables, self.dicts,
                self.num_vars)
        c.loops = list(self.loops)
        c.counters = list(self.counters)
        c.in_local_block = self.in_local_block
        c.depth = self.depth + 1
        return c


class RefBudget:
    """How many variable texts an expression that builds a text may still take in."""

    def __init__(self, n=1):
        self.n = n

    def take(self):
        if self.n > 0:
            self.n -= 1
            return True
        return False


class Gen:
    def __init__(self, seed, mode=None):
        self.r = random.Random(seed)
        self.seed = seed
        r = self.r.random()
        if mode is None:
            mode = "plain"
            if r < 0.12:
                mode = "fatal"
            elif r < 0.18:
                mode = "ignore"
            elif r < 0.21:
                mode = "label"
        self.mode = mode
        self.funcs = []
        self.labels = 0
        self.while_counters = 0
        self.cost_extra = 0   # cost of the calls inside the expression being generated

    # ----------------------------------------------------------------- small helpers
    def chance(self, p):
        return self.r.random() < p

    def pick(self, seq):
        return self.r.choice(seq)

    def weighted(self, items):
        total = sum(w for _, w in items)
        x = self.r.random() * total
        for item, w in items:
            x -= w
            if x < 0:
                return item
        return items[-1][0]

    # ----------------------------------------------------------------- literals
    def num_literal(self, allow_negative=True):
        r = self.r.random()
        if r < 0.45:
            s = str(self.r.randint(0, 12))
        elif r < 0.55:
            s = str(self.r.choice([16, 25, 99, 100, 255, 1000, 65536]))
        elif r < 0.72:
            s = "%d.%s" % (self.r.randint(0, 20), self.pick(["5", "25", "1", "75", "333", "05"]))
        elif r < 0.8:
            s = "$" + self.pick(["FF", "1A", "10", "0", "7f", "3"])
        elif r < 0.83:
            s = self.pick(["1.5E3", "2.0e-3", "1.25E2", "1.5e+3"])
        elif r < 0.86:
            # where the way a number is written out changes: 15 digits, exponents, 2^31, 2^53
            s = self.pick(["999999999999999", "1000000000000000", "1E15", "0.00001", "0.000001",
                           "123456789012345678", "9007199254740993", "4294967296", "2147483648",
                           "0.1", "1E-5", "100000000000000.5"])
        elif r < 0.89:
            # numbers kept as written: leading zeros, trailing zeros, a sign, full-width digits
            s = self.pick(["007", "0.50", "1.0", "５", "１２", "０７", "10.0", "3.10"])
            if allow_negative:
                s = self.pick([s, "+5", "-0", "+0.5"])
        else:
            s = str(self.r.randint(1, 9))
            if allow_negative:
                s = "-" + s
        return s

    def text_literal(self, s=None):
        if s is None:
            s = self.pick(TEXTS)
        if self.chance(0.06):
            return "『%s』" % s
        return "「%s」" % s

    @staticmethod
    def phrase_value(x):
        """A value written at the start of a phrase: a number with an exponent but no fraction
        (1E15) is read there as 1 followed by a word, so it goes in parentheses."""
        if x and x[0] in "+-$0123456789" and ("E" in x or "e" in x):
            return "(%s)" % x
        return x

    def small_int(self, lo=0, hi=5):
        return str(self.r.randint(lo, hi))

    def bounded_index(self, ctx):
        """An index that stays small: a literal, a counter, 回数 of an enclosing loop."""
        opts = [self.small_int(0, 4)]
        if ctx.counters:
            c = self.pick(ctx.counters)
            opts.append("(%s)" % c)
            opts.append("(%s%%4)" % c)
        if ctx.loops:
            opts.append("(回数-1)")
        return self.pick(opts)

    # ----------------------------------------------------------------- expressions
    def var_ref(self, ctx, refs):
        """A plain variable (or element, or item) read in a text context, or a literal when
        the expression may take in no more variable texts."""
        if not refs.take():
            return self.text_literal() if self.chance(0.5) else self.num_literal(False)
        opts = []
        if ctx.scalars:
            opts.append(("s", 6))
        if ctx.tables:
            opts.append(("t", 2))
        if ctx.dicts:
            opts.append(("d", 2))
        if not opts:
            return self.num_literal(False)
        k = self.weighted(opts)
        if k == "s":
            return self.pick(ctx.scalars)
        if k == "t":
            t = self.pick(ctx.tables)
            if self.chance(0.5):
                return "%s#%s" % (t, self.index_text(ctx))
            return "%s#%s#%s" % (t, self.index_text(ctx), self.index_text(ctx))
        d = self.pick(ctx.dicts)
        return "(%s)" % self.item_read(ctx, d)

    def index_text(self, ctx):
        r = self.r.random()
        if r < 0.4:
            return self.small_int(0, 3)
        if r < 0.7 or not ctx.counters:
            return "(%s)" % self.num_expr(ctx, 1)
        return "(%s)" % self.pick(ctx.counters)

    def item_read(self, ctx, d):
        r = self.r.random()
        if r < 0.5:
            return "%sの「%s」" % (d, self.pick(KEYS))
        if r < 0.7:
            return "%sの%s" % (d, self.pick(KEYS[:3]))
        if ctx.scalars:
            return "%sの%s" % (d, self.pick(ctx.scalars))
        return "%sの「%s」" % (d, self.pick(KEYS))

    def call_text(self, ctx, refs, f=None):
        if f is None:
            f = self.pick(ctx.callable)
        self.cost_extra += f.cost
        if f.arity == 0 and self.chance(0.5):
            return f.name      # a label used as a value runs
        args = [self.arg_expr(ctx, refs, f) for _ in range(f.arity)]
        return "%s(%s)" % (f.name, ",".join(args))

    def arg_expr(self, ctx, refs, f):
        if f.recursive:
            return self.rec_arg(ctx)
        if self.chance(0.5):
            return self.num_expr(ctx, 1)
        return self.atom(ctx, refs, 1)

    def rec_arg(self, ctx):
        opts = [self.small_int(0, 5), self.small_int(0, 5), "%d.5" % self.r.randint(0, 3)]
        if ctx.loops:
            opts.append("回数")
        for c in ctx.counters:
            if c.startswith("W") or c in FOR_COUNTERS:
                opts.append("(%s%%5)" % c)
        return self.pick(opts)

    def command_call(self, ctx, refs, depth):
        """A command called with parentheses, as a value."""
        r = self.r.random()
        num = lambda: self.num_expr(ctx, depth + 1)
        if r < 0.2:
            return "MID(%s,%s,%s)" % (self.atom(ctx, refs, depth + 1), self.small_int(0, 4),
                                      self.small_int(0, 4))
        if r < 0.3:
            return "%s(%s,%s)" % (self.pick(["LEFT", "RIGHT"]), self.atom(ctx, refs, depth + 1),
                                  self.small_int(0, 4))
        if r < 0.4:
            return "%s(%s)" % (self.pick(["LEN", "文字数"]), self.atom(ctx, refs, depth + 1))
        if r < 0.47:
            return "POS(%s,%s)" % (self.atom(ctx, refs, depth + 1),
                                   self.text_literal(self.pick(PIECES)))
        if r < 0.75:
            return "%s(%s)" % (self.pick(["INT", "ROUND", "ABS", "FLOOR", "CEIL", "TRUNC",
                                          "整数"]), num())
        if r < 0.8:
            return "HEX(%s)" % self.small_int(0, 300)
        if r < 0.88:
            return "計算(「%s」)" % self.pick(["1+2", "2*3-1", "１＋２", "10/4", "1+", "7%3",
                                            "(1+2)*3", ""])
        if r < 0.94:
            return "足す(%s,%s)" % (self.target_operand(ctx), num())
        return "MID(%s,%s,%s)" % (self.text_literal(), num(), num())

    def atom(self, ctx, refs, depth):
        """One term; text-building context (refs counts variable texts)."""
        opts = [("num", 4), ("text", 4), ("var", 6), ("paren", 2), ("cmd", 2), ("tmpl", 2),
                ("sore", 1)]
        if ctx.callable and depth < 4:
            opts.append(("call", 2))
        if ctx.loops:
            opts.append(("kaisu", 2))
        if ctx.counters:
            opts.append(("counter", 2))
        k = self.weighted(opts)
        if k == "num":
            n = self.num_literal()
            return "(%s)" % n if n.startswith("-") and self.chance(0.5) else n
        if k == "text":
            return self.text_literal()
        if k == "var":
            return self.var_ref(ctx, refs)
        if k == "paren":
            if depth > 3:
                return self.num_literal(False)
            return "(%s)" % self.num_expr(ctx, depth + 1)
        if k == "cmd":
            if depth > 3:
                return self.text_literal()
            return self.command_call(ctx, refs, depth)
        if k == "tmpl":
            return self.template(ctx, refs, depth)
        if k == "sore":
            # それ may hold a copy of any variable's text
            return "それ" if refs.take() else self.text_literal()
        if k == "call":
            return self.call_text(ctx, refs)
        if k == "kaisu":
            return "回数"
        return self.pick(ctx.counters)

    def template(self, ctx, refs, depth):
        """A 「」 text with embedded {...} parts (no quotes inside the braces)."""
        parts = []
        for _ in range(self.r.randint(1, 3)):
            r = self.r.random()
            if r < 0.35:
                parts.append(self.pick(["A=", "[", "]", "-", "あ", ":", " ", "x"]))
            elif r < 0.6 and ctx.scalars and refs.take():
                parts.append("{%s}" % self.pick(ctx.scalars))
            elif r < 0.8 and depth < 3:
                parts.append("{%s}" % self.plain_num_expr(ctx, depth + 1))
            elif r < 0.85:
                parts.append("{改行}")
            elif ctx.loops and r < 0.92:
                parts.append("{回数}")
            elif ctx.callable and depth < 3:
                f = self.pick(ctx.callable)
                self.cost_extra += f.cost
                args = [self.rec_arg(ctx) if f.recursive else self.small_int(0, 9)
                        for _ in range(f.arity)]
                parts.append("{%s(%s)}" % (f.name, ",".join(args)))
            else:
                parts.append(self.pick(["a", "1", "表"]))
        return "「%s」" % "".join(parts)

    def plain_num_expr(self, ctx, depth):
        """An arithmetic expression without quotes (for use inside {...} of a text)."""
        names = ctx.scalars + ctx.counters + ctx.num_vars
        if self.chance(0.6):
            a = self.pick(names) if names and self.chance(0.6) else self.small_int(0, 20)
            b = self.pick(names) if names and self.chance(0.4) else self.small_int(1, 9)
            return "%s%s%s" % (a, self.pick(["+", "-", "*", "/", "%", ">", "=", "<>"]), b)
        if ctx.counters and self.chance(0.5):
            return self.pick(ctx.counters)
        return self.small_int(0, 20)

    def num_operand(self, ctx, depth):
        """An operand of an arithmetic or comparison operator: its variables may be any text,
        since the result is a number."""
        r = self.r.random()
        if r < 0.3:
            n = self.num_literal()
            return "(%s)" % n if n.startswith("-") and self.chance(0.3) else n
        if r < 0.55 and (ctx.scalars or ctx.counters or ctx.num_vars):
            return self.pick(ctx.scalars + ctx.counters + ctx.counters + ctx.num_vars)
        if r < 0.65:
            return self.text_literal()
        if r < 0.72 and depth < 4:
            return "(%s)" % self.num_expr(ctx, depth + 1)
        if r < 0.77:
            # calculated numbers whose text is not what was written
            return self.pick(["(10^15)", "(10^15-1)", "(2^53+1)", "(1/3*3)", "(0.1+0.2)",
                              "(-0.0*1)", "(2^31)", "(-2^31)", "(2^63)", "(1/3)", "(-0)",
                              "(007)", "(+5)", "(1.0)", "(0.50)", "(1E3)", "(10/4)", "(7/7)"])
        return self.atom(ctx, RefBudget(1), depth + 1)

    def num_expr(self, ctx, depth=0):
        """An expression whose value is a number (or a comparison): always with an operator,
        so that it never just copies a variable's text."""
        n = self.r.randint(2, 3) if depth < 3 else 2
        s = self.num_operand(ctx, depth)
        for _ in range(n - 1):
            op = self.weighted([("+", 6), ("-", 4), ("*", 4), ("/", 2), ("%", 2), ("^", 1),
                                ("=", 1), ("<>", 1), ("<", 1), (">=", 1), ("==", 1),
                                ("&&", 1), ("||", 1)])
            if op == "^":
                s = "(%s)^%s" % (s, self.pick(["0", "1", "2", "2", "3"]))
                continue
            if op == "-" and self.chance(0.15):
                s = "%s--%s" % (s, self.small_int(1, 9))
                continue
            if op == "*" and self.chance(0.15):
                s = "%s*-%s" % (s, self.small_int(1, 9))
                continue
            s = "%s%s%s" % (s, op, self.num_operand(ctx, depth + 1))
        return s

    def cmp_expr(self, ctx, depth=0):
        """A comparison, in numeric or text mode, with the operands either way round."""
        op = self.weighted([("=", 4), ("<>", 3), ("<", 3), (">", 3), ("<=", 2), (">=", 2),
                            ("=&", 1), ("!&", 1), ("==", 1), ("!=", 1), ("><", 1), ("=>", 1),
                            ("=<", 1)])
        left = self.num_operand(ctx, depth + 1)
        r = self.r.random()
        if r < 0.35:
            right = self.text_literal()
        elif r < 0.7:
            right = self.num_literal()
            if right.startswith("-"):
                right = "(%s)" % right
        else:
            right = self.num_operand(ctx, depth + 1)
        if self.chance(0.3):
            left, right = right, left
        s = "%s%s%s" % (left, op, right)
        if self.chance(0.2):
            s = "%s%s%s" % (s, self.pick(["&&", "||"]), self.cmp_expr(ctx, depth + 2)
                            if depth < 2 else "1")
        return s

    def value_expr(self, ctx, depth=0, refs=None):
        """What an assignment or 表示 takes: a number expression, a comparison, a text or an
        "&" chain mixing texts and numbers."""
        if refs is None:
            refs = RefBudget(1)
        r = self.r.random()
        if r < 0.3:
            return self.num_expr(ctx, depth)
        if r < 0.42:
            return self.cmp_expr(ctx, depth)
        if r < 0.55:
            return self.atom(ctx, refs, depth)
        # "&" chain
        n = self.r.randint(2, 4)
        parts = []
        for _ in range(n):
            k = self.r.random()
            if k < 0.3:
                parts.append(self.text_literal())
            elif k < 0.45:
                parts.append("(%s)" % self.num_expr(ctx, depth + 1))
            elif k < 0.55 and ctx.loops:
                parts.append("回数")
            else:
                parts.append(self.atom(ctx, refs, depth + 1))
        s = "&".join(parts)
        if self.chance(0.15):
            # an operator after the chain makes the whole an expression
            s = "%s%s%s" % (s, self.pick(["+", "=", "<>", "*"]), self.num_literal(False))
        return s

    def condition(self, ctx):
        """A もし condition: an expression, or the particle form (Aが3以上 かつ ...)."""
        r = self.r.random()
        if r < 0.45:
            return self.cmp_expr(ctx)
        if r < 0.55:
            return self.num_expr(ctx, 1)
        if r < 0.65:
            return self.atom(ctx, RefBudget(1), 2)
        parts = [self.particle_cond(ctx)]
        while self.chance(0.3) and len(parts) < 3:
            parts.append(self.pick(["かつ", "または"]))
            parts.append(self.particle_cond(ctx))
        return "、".join(parts)

    def particle_cond(self, ctx):
        names = ctx.scalars + ctx.counters
        left = self.pick(names) if names else "回数"
        right = self.pick([self.num_literal(False), self.small_int(0, 9), self.text_literal()])
        suffix = self.pick(["以上", "以下", "と等しい", "", ""])
        return "%sが、%s%s" % (left, right, suffix)

    # ----------------------------------------------------------------- statements
    def print_stmt(self, ctx, what=None, single=False):
        r = self.r.random()
        if what is not None:
            if r < 0.5:
                return "%sを、表示" % what
            if r < 0.8:
                return "「%s=」&%sを、表示" % (what, what)
            return "「%s={%s}」を、表示" % (what, what)
        if r < 0.35:
            return "(%s)を、表示" % self.value_expr(ctx)
        if r < 0.55:
            return "%sを、表示" % self.phrase_value(self.atom(ctx, RefBudget(1), 1))
        if r < 0.7:
            return "「%s」&(%s)を、表示" % (self.pick(["=", "v:", "結果"]), self.value_expr(ctx))
        if r < 0.8:
            return "%sと、表示" % self.template(ctx, RefBudget(1), 1)
        if r < 0.9:
            # numbers at the start of a phrase are combined as they are read
            return "%sを、表示" % self.pick(["1+2*3", "10-4/2", "-3+1", "$10*2", "7%4+1",
                                           "2.5*2", "1+2", "3"])
        if single:
            return "%sを、表示" % self.template(ctx, RefBudget(1), 1)
        return "%sを、表示。それを、表示" % self.template(ctx, RefBudget(1), 1)

    def assign_stmt(self, ctx):
        if not ctx.writable:
            return [self.print_stmt(ctx)]
        v = self.pick(ctx.writable)
        e = self.value_expr(ctx)
        form = self.r.random()
        if form < 0.55:
            s = "%sは、%s" % (v, e)
        elif form < 0.9:
            s = "%s=%s" % (v, e)
        else:
            s = "%s = %s" % (v, e)
        cut = top_level_amps(s)
        if cut and self.chance(0.1):
            # an "&" at the end of a line joins the next line
            at = self.pick(cut) + 1
            s = s[:at] + "\n" + s[at:]
        elif self.chance(0.04):
            s = full_width(s)
        out = [s]
        if self.chance(0.6):
            out.append(self.print_stmt(ctx, v))
        return out

    def update_stmt(self, ctx):
        """A variable changed from its own value (a growing accumulator, kept small)."""
        if not ctx.writable:
            return [self.print_stmt(ctx)]
        v = self.pick(ctx.writable)
        r = self.r.random()
        if r < 0.25:
            s = "%s=%s+%s" % (v, v, self.pick([self.small_int(1, 9), "回数" if ctx.loops else "1",
                                               self.num_literal()]))
        elif r < 0.4:
            s = "%sは、%s-%s" % (v, v, self.small_int(1, 5))
        elif r < 0.5:
            s = "%s=%s*%s" % (v, v, self.pick(["2", "-1", "1.5", "0.5"]))
        elif r < 0.65:
            s = "%s=%s&%s" % (v, v, self.pick([self.text_literal(self.pick(PIECES)),
                                               "回数" if ctx.loops else "1", self.small_int()]))
        elif r < 0.75:
            s = "%sに、%sを、足す" % (v, self.pick([self.small_int(1, 9),
                                                 self.text_literal(self.pick(PIECES)), "2.5"]))
        elif r < 0.82:
            s = "%sから、%sを、引く" % (v, self.small_int(1, 9))
        elif r < 0.88:
            s = "%sに、%sを、掛ける" % (v, self.pick(["2", "-1", "0.5", "3"]))
        elif r < 0.94:
            s = "%sを、%sで、割る" % (v, self.pick(["2", "-4", "3", "0.5"]))
        else:
            s = "%s=%s%%%s" % (v, v, self.small_int(2, 9))
        return [s, self.print_stmt(ctx, v)]

    def elem_stmt(self, ctx):
        if not ctx.tables:
            return [self.print_stmt(ctx)]
        t = self.pick(ctx.tables)
        e = self.value_expr(ctx)
        r = self.r.random()
        if r < 0.4:
            s = "%s#%sは、%s" % (t, self.bounded_index(ctx), e)
        elif r < 0.75:
            s = "%s#%s#%sは、%s" % (t, self.bounded_index(ctx), self.bounded_index(ctx), e)
        elif r < 0.9:
            s = "%s#%s=%s" % (t, self.bounded_index(ctx), e)
        else:
            s = "%s#%s#%s=%s" % (t, self.small_int(0, 3), self.small_int(0, 3), e)
        out = [s]
        r = self.r.random()
        if r < 0.4:
            out.append("%sを、表示" % t)
        elif r < 0.6:
            out.append("%s#%sを、表示" % (t, self.index_text(ctx)))
        elif r < 0.75:
            out.append("%sの、行数。それを、表示" % t)
        elif r < 0.85:
            out.append("(%s#%s#%s)を、表示" % (t, self.index_text(ctx), self.index_text(ctx)))
        return out

    def dict_stmt(self, ctx):
        if ctx.writable and (not ctx.dicts or self.chance(0.15)):
            # an item of a plain variable: its lines of name=value (the value takes in no
            # variable text, or the variable could double at every round)
            v = self.pick(ctx.writable)
            e = self.value_expr(ctx, 1, RefBudget(0))
            return ["%sの「%s」は、%s" % (v, self.pick(KEYS), e),
                    self.pick(["(%sの「%s」)を、表示" % (v, self.pick(KEYS)),
                               "「[」&%s&「]」を、表示" % v,
                               "%sの、ハッシュキー列挙。それを、表示" % v])]
        if not ctx.dicts:
            return [self.print_stmt(ctx)]
        d = self.pick(ctx.dicts)
        e = self.value_expr(ctx)
        r = self.r.random()
        if r < 0.45:
            s = "%sの「%s」は、%s" % (d, self.pick(KEYS), e)
        elif r < 0.65:
            s = "%sの、%sは、%s" % (d, self.pick(KEYS[:3]), e)
        elif r < 0.8 and ctx.loops:
            s = "%sの(「k」&回数)は、%s" % (d, e)
        else:
            s = "%sの「%s」は、%s" % (d, self.pick(KEYS), self.text_literal())
        out = [s]
        r = self.r.random()
        if r < 0.35:
            out.append("(%s)を、表示" % self.item_read(ctx, d))
        elif r < 0.5:
            out.append("%sの、ハッシュキー列挙。それを、表示" % d)
        elif r < 0.6:
            out.append("%sを、表示" % d)
        elif r < 0.7:
            out.append("「[」&(%s)&「]」を、表示" % self.item_read(ctx, d))
        return out

    def type_stmt(self, ctx):
        if not ctx.writable:
            return [self.print_stmt(ctx)]
        v = self.pick(ctx.writable)
        cmd = self.pick(["数値として扱う", "文字列として扱う", "数値扱う", "文字列として扱う"])
        if self.chance(0.1):
            # a plain variable becomes a dictionary of its name=value lines, then plain again
            return ["%sを、辞書として扱う" % v, "(%sの「a」)を、表示" % v,
                    "%sの「x」は、%s" % (v, self.num_literal()), "%sを、表示" % v,
                    "%sを、文字列として扱う" % v, "「%s=」&%sを、表示" % (v, v)]
        out = ["%sを、%s" % (v, cmd)]
        if self.chance(0.5):
            out.append("%sは、%s" % (v, self.text_literal()))
        out += self.probe_lines(ctx, v)
        return out

    def probe_lines(self, ctx, v):
        """Lines that show a value and, through conditions, whether it is a text or a number."""
        r = self.r.random()
        if r < 0.4:
            return ["もし、%sならば、「%s真」を、表示。違えば、「%s偽」を、表示" % (v, v, v)]
        if r < 0.7:
            return ["(%s+1)&「/」&(%s=%s)&「/」&%sを、表示" %
                    (v, v, self.pick(["7", "「7」", "0", "「」", "「007」"]), v)]
        return ["「%s=」&%s&「 」&(%s>%s)を、表示" % (v, v, v, self.pick(["9", "「9」", "-1"]))]

    def str_cmd_stmt(self, ctx):
        src = self.phrase_value(self.atom(ctx, RefBudget(1), 2)) if self.chance(0.6) \
            else self.text_literal()
        r = self.r.random()
        if r < 0.18:
            a = self.pick(PIECES)
            b = self.pick([p for p in PIECES + [""] if len(p) <= len(a)])
            s = "%sの、「%s」を、「%s」に、置換" % (src, a, b)
        elif r < 0.27:
            s = "%sの中で、%sから、%sつ、切り出す" % (src, self.small_int(0, 4),
                                                  self.small_int(0, 4))
        elif r < 0.3:
            s = "%sつ、%sから、%sの中で、切り出す" % (self.small_int(0, 4), self.small_int(0, 4),
                                                  src)
        elif r < 0.4:
            s = "%sの中で、「%s」が、何文字目" % (src, self.pick(PIECES))
        elif r < 0.5:
            s = "%sの、%s" % (src, self.pick(["文字数", "行数", "バイト数", "前後の空白削除"]))
        elif r < 0.58:
            s = "%sで、「%s」の、出現回数" % (src, self.pick(PIECES))
        elif r < 0.64:
            s = "%sと、%sで、文比較" % (src, self.text_literal())
        elif r < 0.7:
            s = "%sを、%s桁で、右寄せ" % (src, self.small_int(0, 6))
        elif r < 0.76:
            s = "%sを、%s桁の、ゼロで埋める" % (src, self.small_int(0, 6))
        elif r < 0.8:
            s = "%sを、%s度、リフレイン" % (self.text_literal(self.pick(PIECES)),
                                          self.small_int(0, 4))
        elif r < 0.86:
            s = "%sで、%s個目の、「%s」を、「%s」に、単置換" % (src, self.small_int(1, 3),
                                                        self.pick(PIECES), self.pick(PIECES))
        elif r < 0.92 and ctx.writable:
            v = self.pick(ctx.writable)
            return ["%sの、「%s」までを、切り取る" % (v, self.pick([",", "a", "1"])),
                    "「[{それ}][{%s}]」を、表示" % v]
        else:
            s = "%sを、計算" % self.text_literal(self.pick(["1+2*3", "(1+2)*3", "２＊４", "1+",
                                                          "10%4", "abc"]))
        return [s, self.pick(["それを、表示", "「[」&それ&「]」を、表示",
                              "もし、それならば、「真」を、表示。違えば、「偽」を、表示"])]

    def target_operand(self, ctx):
        """The first argument of a command that writes back into a variable named there (足す,
        引く, 掛ける, 割る): a variable this context may change, or a value in parentheses."""
        if ctx.writable and self.chance(0.5):
            return self.pick(ctx.writable)
        return "(%s)" % self.num_expr(ctx, 2)

    def math_cmd_stmt(self, ctx):
        a = self.target_operand(ctx)
        r = self.r.random()
        if r < 0.15:
            s = "%sに、%sを、足す" % (a, self.num_operand(ctx, 2))
        elif r < 0.25:
            s = "%sから、%sを、引く" % (a, self.num_operand(ctx, 2))
        elif r < 0.35:
            s = "%sに、%sを、掛ける" % (a, self.small_int(-3, 5))
        elif r < 0.45:
            s = "%sを、%sで、割る" % (a, self.pick(["2", "3", "-4", "0.5", "8"]))
        elif r < 0.55:
            s = "%sと、%sの、%s" % (a, self.pick(["3", "-3", "7", "2.5"]), self.pick(["MOD", "余り"]))
        elif r < 0.65:
            s = "%sを、整数" % a
        elif r < 0.75:
            s = "%sを、%s位で、%s" % (a, self.small_int(-2, 3), self.pick(["四捨五入", "切り捨て"]))
        elif r < 0.8:
            # the first argument left out: それ
            s = "%sを、%s" % (self.small_int(1, 9), self.pick(["足す", "引く", "掛ける"]))
        elif r < 0.86:
            # the arguments in another order: bound by their particles
            s = self.pick(["%sを、%sに、足す", "%sを、%sから、引く", "%sで、%sを、割る"]) % (
                self.pick(["2", "3", "「1」"]), a)
        else:
            s = "%sを、計算" % self.text_literal(self.pick(["1/3", "2^10", "-7%3", "0.1+0.2"]))
        return [s, self.pick(["それを、表示", "「=」&それを、表示"])]

    def call_stmt(self, ctx):
        f = self.pick(ctx.callable)
        self.cost_extra += f.cost
        r = self.r.random()
        if f.arity == 0 and r < 0.6:
            s = self.pick(["%s", "%sを、呼ぶ", "「%s」を、呼ぶ", "%s()"]) % f.name
        elif r < 0.6:
            args = []
            for p in f.particles:
                if f.recursive:
                    a = self.rec_arg(ctx)
                    if not a[0].isdigit() and a != "回数":
                        a = "(%s)" % a if not a.startswith("(") else a
                else:
                    a = self.stmt_arg(ctx)
                args.append("%s%s" % (a, p))
            if f.arity > 1 and self.chance(0.15) and not f.recursive:
                # the first argument left out: それ takes its place
                args = args[1:]
            s = "%s、%s" % ("、".join(args), f.name)
        elif r < 0.8:
            s = self.call_text(ctx, RefBudget(1), f)
            self.cost_extra -= f.cost
        else:
            return ["%s=%s" % (self.pick(ctx.writable), self.call_text(ctx, RefBudget(1), f))
                    if ctx.writable else "(%s)を、表示" % self.call_text(ctx, RefBudget(1), f),
                    "それを、表示"]
        return [s, self.pick(["それを、表示", "「->」&それを、表示", "(それ&「」)を、表示"])]

    def stmt_arg(self, ctx):
        """A phrase value before its particle, in a statement: a literal, a variable, or an
        expression in parentheses."""
        r = self.r.random()
        if r < 0.3:
            return self.small_int(0, 9)
        if r < 0.5:
            return self.text_literal()
        if r < 0.75 and ctx.scalars:
            return self.pick(ctx.scalars)
        return "(%s)" % self.num_expr(ctx, 1)

    def error_stmt(self, ctx):
        wide = [f for f in ctx.callable if f.arity >= 2]
        if wide and self.chance(0.2):
            # a user function given arguments its pattern does not take
            f = self.pick(wide)
            return [self.pick(["「x」へ、%s", "%s(1)を、表示" if f.arity == 3 else "「x」へ、%s"])
                    % f.name]
        return [self.pick(LABEL_ERRORS if self.mode == "label" else ERROR_STATEMENTS)]

    def one_line_stmt(self, ctx, allow_exit=True):
        """A statement that fits after ならば、 on the same line (ends at 。). It never starts
        with "(": a block that starts with a parenthesis is that parenthesis."""
        while True:
            r = self.r.random()
            if ctx.loops and allow_exit and r < 0.15:
                return self.pick(["抜ける", "続ける"])
            if r < 0.4 and ctx.writable:
                v = self.pick(ctx.writable)
                return "%sは、%s" % (v, self.value_expr(ctx, 2))
            if r < 0.5 and ctx.func is not None:
                return "戻る"
            s = self.print_stmt(ctx, single=True)
            if not s.startswith("("):
                return s

    # ----------------------------------------------------------------- compound statements
    def block(self, ctx, budget, n, ind, starts=None):
        """Statements of a block; returns (lines, cost). starts, when given, receives the
        index of the first line of every statement."""
        lines = []
        cost = 0
        for _ in range(n):
            if cost >= budget:
                break
            sl, c = self.statement(ctx, budget - cost, ind)
            if starts is not None:
                starts.append(len(lines))
            lines += sl
            cost += c
        if not lines:
            lines = [ind + self.print_stmt(ctx)]
            cost = 1
        if starts is not None:
            starts.append(len(lines))
        return lines, cost

    def simple(self, ctx, ind, gen):
        self.cost_extra = 0
        sl = gen(ctx)
        c = len(sl) + self.cost_extra
        self.cost_extra = 0
        return [ind + s for s in sl], c

    def statement(self, ctx, budget, ind):
        opts = [("assign", 10), ("update", 4), ("print", 6), ("elem", 3), ("dict", 3),
                ("type", 1), ("strcmd", 4), ("mathcmd", 3)]
        if ctx.callable:
            opts.append(("call", 4))
        if ctx.depth < 3 and budget > 6:
            opts += [("if", 5), ("question", 2), ("case", 2), ("count", 3), ("for", 2),
                     ("list", 2), ("while", 2)]
            if not ctx.in_local_block:
                opts.append(("local", 1))
        if ctx.loops:
            opts.append(("exit", 2))
        if ctx.func is not None:
            opts.append(("return", 1))
        if self.mode == "ignore" or self.mode == "label":
            opts.append(("error", 3 if ctx.loops else 1))
        if ctx.func is None and ctx.writable:
            opts.append(("runtext", 1))
        if budget > 10 and ctx.depth < 3:
            opts.append(("jump", 1))
        for _ in range(20):
            k = self.weighted(opts)
            lines, cost = self.gen_kind(k, ctx, budget, ind)
            if cost <= budget:
                return lines, cost
        return self.simple(ctx, ind, lambda c: [self.print_stmt(c)])

    def gen_kind(self, k, ctx, budget, ind):
        if k == "assign":
            return self.simple(ctx, ind, self.assign_stmt)
        if k == "update":
            return self.simple(ctx, ind, self.update_stmt)
        if k == "print":
            return self.simple(ctx, ind, lambda c: [self.print_stmt(c)])
        if k == "elem":
            return self.simple(ctx, ind, self.elem_stmt)
        if k == "dict":
            return self.simple(ctx, ind, self.dict_stmt)
        if k == "type":
            return self.simple(ctx, ind, self.type_stmt)
        if k == "strcmd":
            return self.simple(ctx, ind, self.str_cmd_stmt)
        if k == "mathcmd":
            return self.simple(ctx, ind, self.math_cmd_stmt)
        if k == "call":
            return self.simple(ctx, ind, self.call_stmt)
        if k == "error":
            return self.simple(ctx, ind, lambda c: self.error_stmt(c) + ["エラーメッセージを、表示"])
        if k == "exit":
            return self.exit_stmt(ctx, ind)
        if k == "return":
            return self.return_stmt(ctx, ind)
        if k == "if":
            return self.if_stmt(ctx, budget, ind)
        if k == "question":
            return self.question_stmt(ctx, budget, ind)
        if k == "case":
            return self.case_stmt(ctx, budget, ind)
        if k == "local":
            return self.local_block(ctx, budget, ind)
        if k == "runtext":
            return self.simple(ctx, ind, self.run_text_stmt)
        if k == "jump":
            return self.jump_stmt(ctx, budget, ind)
        return self.loop_stmt(k, ctx, budget, ind)

    def run_text_stmt(self, ctx):
        """ゆめもりする: a text run as a program, the same text again and again, or a new text
        each time."""
        v = self.pick(ctx.writable)
        r = self.r.random()
        if r < 0.25:
            return ["『%s=%s+1』を、ゆめもりする" % (v, v), self.print_stmt(ctx, v)]
        if r < 0.45:
            return ["『「[」&%s&「]」を、表示』を、ゆめもりする" % v]
        if r < 0.65:
            n = "回数" if ctx.loops else self.small_int(0, 9)
            return ["(「%s=」&%s&「*2」)を、ゆめもりする" % (v, n), self.print_stmt(ctx, v)]
        if r < 0.8:
            return ["『2回(%s=%s&「x」)』を、ゆめもりする" % (v, v), self.print_stmt(ctx, v)]
        return ["プログラムは、『もし、%s>1ならば、「大」を、表示。違えば、「小」を、表示』" % v,
                "プログラムを、ゆめもりする"]

    def label_name(self, kind):
        self.labels += 1
        return "%s%d" % (kind, self.labels)

    def jump_stmt(self, ctx, budget, ind):
        """飛ぶ: forward over statements, backward a bounded number of times, out of a loop, or
        to a label inside the loop's own block."""
        r = self.r.random()
        i2 = ind + "  "
        if r < 0.3:
            name = self.label_name("先")
            cond, cc = self.cond_cost(ctx)
            head = self.pick(["もし、%sならば、%sへ、飛ぶ" % (cond, name), "%sへ、飛ぶ" % name])
            b, c = self.block(ctx, max(1, budget // 3),
                              self.r.randint(1, 2), ind)
            return [ind + head] + b + [ind + "*" + name], c + cc + 1
        if r < 0.55:
            name = self.label_name("上")
            rc = "R%d" % self.labels
            k = self.r.randint(1, 3)
            sub = ctx.child()
            sub.depth = ctx.depth
            sub.counters.append(rc)
            b, c = self.block(sub, max(1, budget // (k + 1)), self.r.randint(1, 2), ind)
            lines = [ind + "%s=0" % rc, ind + "*" + name] + b + \
                [ind + "%s=%s+1" % (rc, rc), ind + "もし、%s<%dならば、%sへ、飛ぶ" % (rc, k, name)]
            return lines, 1 + k * (c + 2)
        if r < 0.8:
            name = self.label_name("外")
            k = self.r.randint(1, 4)
            j = self.r.randint(1, 4)
            sub = ctx.child()
            sub.loops.append("count")
            b, c = self.block(sub, max(1, budget // (k + 2)), self.r.randint(1, 2), i2)
            b2, c2 = self.block(sub, max(1, budget // (k + 2)), self.r.randint(0, 2), i2)
            lines = [ind + "%d回(" % k] + b + [i2 + "もし、回数=%dならば、%sへ、飛ぶ" % (j, name)] + \
                b2 + [ind + ")", ind + self.print_stmt(ctx, single=True), ind + "*" + name,
                      ind + "「%s:{回数}」を、表示" % name]
            return lines, 3 + k * (c + c2 + 1)
        name = self.label_name("中")
        k = self.r.randint(1, 4)
        sub = ctx.child()
        sub.loops.append("count")
        cond, cc = self.cond_cost(sub)
        b, c = self.block(sub, max(1, budget // (k + 2)), self.r.randint(0, 2), i2)
        b2, c2 = self.block(sub, max(1, budget // (k + 2)), self.r.randint(1, 2), i2)
        lines = [ind + "%d回(" % k] + b + [i2 + "もし、%sならば、%sへ、飛ぶ" % (cond, name)] + b2 + \
            [i2 + "*" + name, i2 + "「%s:{回数}」を、表示" % name, ind + ")"]
        return lines, 1 + k * (c + c2 + cc + 3)

    def exit_stmt(self, ctx, ind):
        self.cost_extra = 0
        cond = self.condition(ctx)
        word = self.pick(["抜ける", "続ける"])
        r = self.r.random()
        if r < 0.5:
            s = ["もし、%sならば、%s" % (cond, word)]
        elif r < 0.7:
            s = ["もし、%sならば(%s)" % (cond, word)]
        elif r < 0.85:
            s = ["もし、%sならば(" % cond, "  %s" % self.print_stmt(ctx), "  " + word, ")"]
        else:
            s = ["(%s)? (%s)" % (cond, word)]
        c = 2 + self.cost_extra
        self.cost_extra = 0
        return [ind + x for x in s], c

    def return_stmt(self, ctx, ind):
        self.cost_extra = 0
        cond = self.condition(ctx)
        e = self.value_expr(ctx, 1)
        s = ["もし、%sならば(" % cond, "  それは、%s" % e, "  戻る", ")"]
        c = 3 + self.cost_extra
        self.cost_extra = 0
        return [ind + x for x in s], c

    def cond_cost(self, ctx):
        self.cost_extra = 0
        cond = self.condition(ctx)
        c = self.cost_extra
        self.cost_extra = 0
        return cond, c

    def if_stmt(self, ctx, budget, ind):
        sub = ctx.child()
        i2 = ind + "  "
        form = self.r.random()
        cond, cc = self.cond_cost(ctx)
        kw = self.weighted([("ならば", 6), ("なら", 1), ("でなければ", 1)])
        if form < 0.3:
            # one line, with or without 違えば
            then = self.one_line_stmt(sub)
            cost = 2 + cc
            line = "もし、%s%s、%s" % (cond, kw, then)
            if self.chance(0.5):
                line += "。違えば、%s" % self.one_line_stmt(sub)
            elif self.chance(0.1):
                line = "もし、%s違えば、%s" % (cond, then)
            return [ind + line], cost + 1 + self.cost_extra
        if form < 0.65:
            # blocks in parentheses, possibly a chain
            lines = []
            cost = cc
            head = "もし、%s%s(" % (cond, kw)
            b, c = self.block(sub, max(1, (budget - cost) // 2), self.r.randint(1, 3), i2)
            lines.append(ind + head)
            lines += b
            cost += c + 1
            while self.chance(0.35) and cost < budget:
                cond2, cc2 = self.cond_cost(ctx)
                lines.append(ind + ")違えば、もし、%sならば(" % cond2)
                b, c = self.block(sub, max(1, (budget - cost) // 3), self.r.randint(1, 2), i2)
                lines += b
                cost += c + cc2 + 1
            if self.chance(0.6):
                lines.append(ind + ")違えば(")
                b, c = self.block(sub, max(1, (budget - cost) // 2), self.r.randint(1, 3), i2)
                lines += b
                cost += c
            lines.append(ind + ")")
            return lines, cost
        if form < 0.85:
            # then and else on the following lines (one statement each)
            lines = [ind + "もし、%sならば" % cond, i2 + self.one_line_stmt(sub)]
            cost = 3 + cc
            if self.chance(0.6):
                lines += [ind + "違えば", i2 + self.one_line_stmt(sub)]
            return lines, cost + self.cost_extra
        # 違えば、もし on one line each
        cond2, cc2 = self.cond_cost(ctx)
        lines = [ind + "もし、%sならば(%s)違えば、もし、%sならば(%s)違えば(%s)" %
                 (cond, self.one_line_stmt(sub), cond2, self.one_line_stmt(sub),
                  self.one_line_stmt(sub))]
        return lines, 4 + cc + cc2 + self.cost_extra

    def question_stmt(self, ctx, budget, ind):
        sub = ctx.child()
        cond, cc = self.cond_cost(ctx)
        r = self.r.random()
        if r < 0.4:
            s = ["(%s)? (%s) 違えば (%s)" % (cond, self.one_line_stmt(sub),
                                           self.one_line_stmt(sub))]
        elif r < 0.6:
            s = ["(%s)? %s、%s" % (cond, self.pick(["ならば", "違えば", "でなければ", "なら"]),
                                  self.one_line_stmt(sub))]
        elif r < 0.75:
            s = ["(%s)? (%s)" % (cond, self.one_line_stmt(sub))]
        else:
            b, c = self.block(sub, max(1, budget // 2), self.r.randint(1, 3), "  ")
            b2, c2 = self.block(sub, max(1, budget // 2), self.r.randint(1, 2), "  ")
            s = ["(%s)? (" % cond] + b + [")違えば("] + b2 + [")"]
            return [ind + x for x in s], c + c2 + cc + 1
        return [ind + x for x in s], 3 + cc + self.cost_extra

    def case_stmt(self, ctx, budget, ind):
        sub = ctx.child()
        self.cost_extra = 0
        subj = self.pick([self.phrase_value(self.num_operand(ctx, 2)), self.small_int(0, 5),
                          self.text_literal(self.pick(["a", "b", "05", "5", "x"]))])
        if ctx.loops and self.chance(0.4):
            subj = "回数"
        lines = [ind + "%sで、条件分岐" % subj]
        cost = 1 + self.cost_extra
        values = ["1", "2", "3", "5", "「a」", "「b」", "「05」", "(2+3)", "3以上", "2以下",
                  "「x」"]
        for v in self.r.sample(values, self.r.randint(1, 4)) + (["その他"] if self.chance(0.6)
                                                              else []):
            if self.chance(0.7):
                lines.append(ind + "%sの時、%s" % (v, self.one_line_stmt(sub)))
                cost += 2 + self.cost_extra
                self.cost_extra = 0
            else:
                b, c = self.block(sub, max(1, budget // 4), self.r.randint(1, 2), ind + "  ")
                lines.append(ind + "%sの時(" % v)
                lines += b
                lines.append(ind + ")")
                cost += c + 1
        return lines, cost

    def local_block(self, ctx, budget, ind):
        sub = ctx.child()
        sub.in_local_block = True
        names = [v for v in ctx.writable] or ["A"]
        v = self.pick(names)
        lines = [ind + "ここから", ind + "  %sを、ローカル変数" % v,
                 ind + "  %sは、%s" % (v, self.value_expr(ctx, 2))]
        b, c = self.block(sub, max(1, budget - 3), self.r.randint(1, 3), ind + "  ")
        lines += b
        lines.append(ind + "ここまで")
        lines.append(ind + self.print_stmt(ctx, v))
        return lines, c + 5

    def loop_stmt(self, k, ctx, budget, ind):
        sub = ctx.child()
        i2 = ind + "  "
        if k == "count":
            n = self.r.randint(0, 4) if self.chance(0.9) else -1
            head_n = str(n)
            if ctx.counters and self.chance(0.2):
                c = self.pick(ctx.counters)
                head_n = "(%s%%3+1)" % c
                n = 3
            elif self.chance(0.1):
                head_n = "(%d+1)" % n
                n += 1
            sub.loops.append("count")
            iters = max(n, 0)
            per = max(1, (budget - 1) // max(iters, 1))
            form = self.r.random()
            if form < 0.2:
                line = self.one_line_stmt(sub, allow_exit=False)
                return [ind + "%s回、%s" % (head_n, line)], 1 + iters * 2
            if form < 0.3:
                line = self.one_line_stmt(sub, allow_exit=False)
                return [ind + "%s回" % head_n, i2 + line], 1 + iters * 2
            b, c = self.block(sub, per, self.r.randint(1, 4), i2)
            return [ind + "%s回(" % head_n] + b + [ind + ")"], 1 + iters * c
        if k == "for":
            free = [v for v in FOR_COUNTERS if v not in ctx.counters]
            if not free:
                return self.simple(ctx, ind, lambda c: [self.print_stmt(c)])
            v = free[0]
            a = self.r.randint(-2, 3)
            b = a + self.r.randint(-1, 4)
            a_text, b_text = str(a), str(b)
            if self.chance(0.15):
                a_text = "%d.7" % a if a >= 0 else str(a)
            if self.chance(0.15):
                b_text = "(%d+0)" % b
            iters = max(0, b - a + 1)
            sub.loops.append("for")
            sub.counters.append(v)
            per = max(1, (budget - 1) // max(iters, 1))
            b_lines, c = self.block(sub, per, self.r.randint(1, 4), i2)
            head = "%sを、%sから、%sまで、繰り返す" % (v, a_text, b_text)
            # in a function the counter is often a local variable
            decl = [ind + "%sを、ローカル変数" % v] if ctx.func is not None and \
                self.chance(0.5) else []
            if self.chance(0.8):
                return decl + [ind + head + "("] + b_lines + [ind + ")"], 1 + iters * c
            line = self.one_line_stmt(sub, allow_exit=False)
            return decl + [ind + head, i2 + line], 1 + iters * 2
        if k == "list":
            sub.loops.append("list")
            r = self.r.random()
            if r < 0.35:
                items = self.r.sample(["甲", "乙", "丙", "1", "22", "", "x,y", "007"],
                                      self.r.randint(0, 4))
                src = "「%s」" % "{改行}".join(items)
                iters = len(items)
            elif r < 0.65 and ctx.tables:
                src = self.pick(ctx.tables)
                iters = 8
            elif ctx.dicts:
                src = self.pick(ctx.dicts)
                iters = 10
            else:
                src = "「p{改行}q」"
                iters = 2
            per = max(1, (budget - 1) // max(iters, 1))
            b, c = self.block(sub, per, self.r.randint(1, 3), i2)
            first = [i2 + self.pick(["「{回数}:{それ}」を、表示", "それを、表示",
                                     "「<」&それ&「>」を、表示"])]
            return [ind + "%sを、反復(" % src] + first + b + [ind + ")"], 1 + iters * (c + 1)
        # while
        self.while_counters += 1
        w = "W%d" % self.while_counters
        n = self.r.randint(0, 4)
        cond = "%s<%d" % (w, n)
        extra_cost = 0
        if self.chance(0.25):
            self.cost_extra = 0
            cond += self.pick(["&&", "||0*"]) + "(%s)" % self.cmp_expr(ctx, 2)
            extra_cost = self.cost_extra
            self.cost_extra = 0
        sub.loops.append("while")
        sub.counters.append(w)
        per = max(1, (budget - 2) // max(n, 1))
        b, c = self.block(sub, per, self.r.randint(1, 3), i2)
        heads = ["(%s)で、ループ(" % cond]
        if "『" not in cond:
            heads.append("『%s』で、ループ(" % cond)
        head = self.pick(heads)
        lines = [ind + "%s=0" % w, ind + head, i2 + "%s=%s+1" % (w, w)] + b + [ind + ")"]
        if ctx.func is not None and self.chance(0.5):
            lines.insert(0, ind + "%sを、ローカル変数" % w)
        return lines, 2 + (n + 1) * (extra_cost + 1) + n * (c + 1)

    # ----------------------------------------------------------------- functions
    def make_function(self, index):
        names_used = {f.name for f in self.funcs}
        recursive = self.chance(0.3)
        pool = [n for n in (REC_NAMES if recursive else FUNC_NAMES) if n not in names_used]
        if not pool:
            recursive = False
            pool = [n for n in FUNC_NAMES if n not in names_used]
        name = self.pick(pool)
        if recursive:
            particles = self.pick(PATTERNS[1])
        else:
            particles = self.pick(PATTERNS[self.weighted([(0, 1), (1, 3), (2, 4), (3, 1)])])
        f = Func(name, particles, recursive)
        params = ["P%d" % (i + 1) for i in range(f.arity)]
        locals_ = ["Q1"]
        # sometimes a local hides a global of the same name
        shadow = self.pick(SCALARS[:5]) if self.chance(0.3) else None
        if shadow:
            locals_.append(shadow)
        lines = []
        for p in params + locals_:
            lines.append("%sを、ローカル変数" % p)
        if self.chance(0.2) and f.arity >= 2:
            lines.append("Q1に、引数取得")
            lines.append("「args=」&Q1を、表示")
            lines.append("Q1は、0")
        for i, p in enumerate(params):
            lines.append("%sに、%d番目の、引数得る" % (p, i + 1))
        if shadow:
            lines.append("%sは、%s" % (shadow, self.pick(["「局」", "100", "P1"])))
        # globals are read only where numbers are made of them, so that what a function
        # returns is never longer than one of its arguments plus a little
        ctx = Ctx(func=f, callable_funcs=[g for g in self.funcs], scalars=params + locals_,
                  writable=locals_, tables=[], dicts=[],
                  num_vars=self.pick([[], ["A"], ["B", "結果"], ["甲", "X", "値"]]))
        budget = 60
        f.starts = []
        if recursive:
            p = params[0]
            lines.append("もし、%s<=0ならば(" % p)
            lines.append("  それは、%s" % self.pick(["0", "1", "「底」", "Q1"]))
            lines.append("  戻る")
            lines.append(")")
            starts = []
            body, c = self.block(ctx, 8, self.r.randint(1, 3), "", starts)
            f.starts = [len(lines) + 1 + i for i in starts]
            lines += body
            r = self.r.random()
            if r < 0.4:
                lines.append("それは、%s%s%s(%s-1)" % (p, self.pick(["+", "*", "&「,」&"]), name, p))
            elif r < 0.7:
                lines.append("Q1は、%s(%s-1)" % (name, p))
                lines.append("「%s:」&%s&「=」&Q1を、表示" % (name, p))
                lines.append("それは、Q1+%s" % p)
            else:
                lines.append("(%s-1)%s、%s" % (p, particles[0], name))
                lines.append("Q1は、それ")
                lines.append("それは、Q1&「.」&%s" % p)
            lines.append("戻る")
            f.cost = 7 * (c + 8)
        else:
            starts = []
            body, c = self.block(ctx, budget, self.r.randint(1, 5), "", starts)
            f.starts = [len(lines) + 1 + i for i in starts]
            lines += body
            ret = self.value_expr(ctx, 1) if self.chance(0.85) else None
            if ret is not None:
                lines.append("それは、%s" % ret)
            # the last function may end without 戻る (it returns at the end of the text);
            # any other would run on into the next label
            f.ends_open = self.chance(0.3)
            lines.append("戻る")
            f.cost = c + len(params) * 2 + 5
        if particles:
            head = "*%s(%s)" % (name, ",".join("?" + p for p in particles))
        else:
            head = self.pick(["*%s", "*%s()", "*%s "]) % name
        f.lines = [head] + lines
        self.funcs.append(f)

    # ----------------------------------------------------------------- program
    def program(self):
        out = ["' 生成プログラム %d" % self.seed]
        nfuncs = self.weighted([(0, 1), (1, 2), (2, 3), (3, 2), (4, 1)])
        for i in range(nfuncs):
            self.make_function(i)

        scalars = self.r.sample(SCALARS, self.r.randint(3, 7))
        tables = self.r.sample(TABLES, self.r.randint(0, 2))
        dicts = self.r.sample(DICTS, self.r.randint(0, 2))
        if self.mode == "ignore":
            out.append("エラーを無視。")
        elif self.mode == "label":
            out.append("失敗時に、エラー処理設定。")
        for v in scalars:
            init = self.pick([self.num_literal(), self.text_literal(), self.num_literal(False),
                              self.text_literal()])
            out.append(self.pick(["%sは、%s", "%s=%s"]) % (v, init))
        for t in tables:
            rows = []
            for _ in range(self.r.randint(0, 3)):
                rows.append(",".join(self.r.choice(["1", "2", "x", "", "007", "3.5", "あ", "-5",
                                                    "$FF", "-0", " 7", "１２", "1e5"])
                                     for _ in range(self.r.randint(1, 3))))
            out.append("%sは、「%s」" % (t, "{改行}".join(rows)))
        for d in dicts:
            if self.chance(0.5):
                out.append("%sを、辞書として扱う" % d)
            else:
                out.append("%sの「%s」は、%s" % (d, self.pick(KEYS), self.num_literal(False)))
        ctx = Ctx(func=None, callable_funcs=self.funcs, scalars=scalars, writable=scalars,
                  tables=tables, dicts=dicts)
        budget = 2500
        nstmts = self.r.randint(8, 30)
        starts = []
        main, _ = self.block(ctx, budget, nstmts, "", starts)
        if self.mode == "fatal":
            # an error somewhere that ends the program: at the top level, or inside a block
            pos = self.pick(starts)
            err = self.error_stmt(ctx)[0]
            if self.chance(0.3) and self.funcs:
                f = self.pick(self.funcs)
                f.lines.insert(self.pick(f.starts), err)
                call = self.call_text(ctx, RefBudget(1), f)
                main.insert(pos, "(%s)を、表示" % call)
            elif self.chance(0.3):
                main.insert(pos, "2回(")
                main.insert(pos + 1, "  「回{回数}」を、表示")
                main.insert(pos + 2, "  " + err)
                main.insert(pos + 3, ")")
            else:
                main.insert(pos, err)
        elif self.mode in ("ignore", "label"):
            pos = self.pick(starts)
            main[pos:pos] = self.error_stmt(ctx) + ["エラーメッセージを、表示"]
        out += main
        if self.chance(0.15):
            out.append("0以上の、変数名列挙。それを、表示")
        out.append(self.pick(["終わる", "おわり", "終わる。"]))
        for i, f in enumerate(self.funcs):
            out.append("")
            lines = f.lines
            if i == len(self.funcs) - 1 and self.mode != "label" and f.ends_open:
                lines = lines[:-1]
            out += lines
        if self.mode == "label":
            # エラーを無視 first: an error in the label itself (a phrase left on the argument
            # stack by the error makes its statements fail) must not bring it back here
            out += ["", "*失敗時", "エラーを無視。", "「ラベル: 」&エラー行を、表示",
                    "失敗時に、エラー処理設定。", "エラーから復帰。"]
        return "\n".join(out) + "\n"


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("seed", type=int)
    ap.add_argument("--mode", choices=["plain", "fatal", "ignore", "label"])
    args = ap.parse_args()
    sys.stdout.buffer.write(Gen(args.seed, args.mode).program().encode("utf-8"))


if __name__ == "__main__":
    main()
