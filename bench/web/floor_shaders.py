#!/usr/bin/python3
"""Writes the floor page's floor-shaders.js: the OpenGL ES 2.0 renderer's
vertex and fragment shaders, taken from their files, so that the floor page
compiles exactly the game's.
    floor_shaders.py ge/gles2/Quad.vert ge/gles2/Quad.frag OUT.js"""
import json
import sys

shaders = {"vertex": open(sys.argv[1]).read(), "fragment": open(sys.argv[2]).read()}
with open(sys.argv[3], "w") as out:
    out.write("'use strict';\nwindow.floorShaders = " + json.dumps(shaders, indent=1) + ";\n")
