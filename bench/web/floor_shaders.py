#!/usr/bin/python3
"""Writes the floor page's floor-shaders.js: the OpenGL ES 2.0 renderer's
vertex and fragment shaders, taken from its source, so that the floor page
compiles exactly the game's.
    floor_shaders.py ge/gles2/Shaders.cpp OUT.js"""
import json
import re
import sys

source = open(sys.argv[1]).read()
shaders = {}
for name in ("vertex", "fragment"):
    found = re.search(name + r'Source = R"\((.*?)\)";', source, re.S)
    if found is None:
        raise SystemExit(f"floor_shaders: no {name} shader in {sys.argv[1]}")
    shaders[name] = found.group(1)
with open(sys.argv[2], "w") as out:
    out.write("'use strict';\nwindow.floorShaders = " + json.dumps(shaders, indent=1) + ";\n")
