#!/usr/bin/env python3
"""The README's table of platform differences matches the table of scenarios:
one row for each step that a platform's convention changes, with its reason.

Usage: check-differences.py SCENARIOS.json README.md"""
import json
import sys

scenarios_path, readme_path = sys.argv[1:3]
with open(scenarios_path, encoding="utf-8") as file:
    table = json.load(file)
with open(readme_path, encoding="utf-8") as file:
    readme = file.read()

section = readme.split("## Where the windows differ", 1)[1].split("\n## ", 1)[0]
# The section's first table; another may follow it.
table_lines = section.split("\n|", 1)[1].split("\n\n", 1)[0].splitlines()
rows = ["|" + table_lines[0]] + table_lines[1:]
rows = [line for line in rows
        if line.startswith("|") and not line.startswith("|---") and not line.startswith("| what")]

reasons = [difference["why"]
           for scenario in table["scenarios"]
           for step in scenario["steps"]
           for difference in step.get("differs", {}).values()]

problems = [f"not in the README's table: {why}" for why in reasons
            if not any(f"| {why} |" in row for row in rows)]
if len(rows) != len(set(reasons)):
    problems.append(f"the README's table has {len(rows)} rows, the scenarios {len(set(reasons))} differences")
for problem in problems:
    print(problem)
print(f"{len(set(reasons)) - len(problems) if not problems else 0} passed, {len(problems)} failed")
sys.exit(1 if problems else 0)
