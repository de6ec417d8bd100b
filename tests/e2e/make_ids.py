#!/usr/bin/env python3
"""Writes the numbers the end-to-end scripts send and look for as shell
variables, read from the headers the program is built from, so that no
script restates one.

usage: make_ids.py OUTPUT --headers H... [--sdk-headers H... --sdk-names NAME...]

Every integer `#define NAME value` and `constexpr ... NAME = value;` of the
--headers is written; of the Windows headers only the names asked for.
A name defined twice with different values, or an asked-for name that is
missing or not a number, fails the build.
"""
import argparse
import ast
import re
import sys

DEFINE = re.compile(r"^\s*#\s*define\s+([A-Za-z_]\w*)[ \t]+(.+?)\s*$", re.M)
CONSTEXPR = re.compile(r"\bconstexpr\b[^;={}()]*?\b([A-Za-z_]\w*)\s*=\s*([^;{}]+);")
NAME = re.compile(r"\b[A-Za-z_]\w*\b")
LITERAL = re.compile(r"\b(0[xX][0-9a-fA-F]+|\d+)[uUlL]*\b")


def strip_comments(text):
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    return re.sub(r"//[^\n]*", "", text)


def definitions(path):
    text = strip_comments(open(path, encoding="utf-8", errors="replace").read())
    found = {}
    for pattern in (DEFINE, CONSTEXPR):
        for name, value in pattern.findall(text):
            found.setdefault(name, value.strip())
    return found


def evaluate(name, table, seen=()):
    """The integer value of name, following the names its expression uses."""
    if name in seen or name not in table:
        return None
    expr = LITERAL.sub(lambda m: str(int(m.group(1), 0)), table[name])
    for used in set(NAME.findall(expr)):
        value = evaluate(used, table, seen + (name,))
        if value is None:
            return None
        expr = re.sub(rf"\b{used}\b", str(value), expr)
    try:
        tree = ast.parse(expr.replace("/", "//"), mode="eval")
    except SyntaxError:
        return None
    allowed = (ast.Expression, ast.BinOp, ast.UnaryOp, ast.Constant, ast.operator, ast.unaryop)
    if not all(isinstance(node, allowed) for node in ast.walk(tree)):
        return None
    value = eval(compile(tree, name, "eval"))  # only integer arithmetic is left
    return value if isinstance(value, int) else None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("output")
    parser.add_argument("--headers", nargs="+", required=True)
    parser.add_argument("--sdk-headers", nargs="*", default=[])
    parser.add_argument("--sdk-names", nargs="*", default=[])
    args = parser.parse_args()

    table, origin, errors = {}, {}, []
    for path in args.sdk_headers:
        for name, value in definitions(path).items():
            table.setdefault(name, value)
    own = []
    for path in args.headers:
        for name, value in definitions(path).items():
            if name in origin and table[name] != value:
                errors.append(f"{name} is {origin[name]}'s {table[name]} and {path}'s {value}")
                continue
            if name not in origin:
                own.append(name)
            table[name], origin[name] = value, path

    lines = []
    for name in args.sdk_names:
        value = evaluate(name, table)
        if value is None:
            errors.append(f"{name}: not an integer in {' '.join(args.sdk_headers)}")
        lines.append(f"{name}={value}")
    for name in own:
        value = evaluate(name, table)
        if value is not None:  # include guards, strings and types are not ids
            lines.append(f"{name}={value}")
    if errors:
        sys.exit("make_ids.py: " + "\n  ".join(errors))

    with open(args.output, "w", encoding="utf-8") as out:
        out.write("# Written by tests/e2e/make_ids.py at build time from\n")
        for path in args.sdk_headers + args.headers:
            out.write(f"#   {path}\n")
        out.write("# Change the headers, not this file.\n")
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
