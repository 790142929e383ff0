#!/usr/bin/env python3
"""Checks the GLSL of Tolvane against what every OpenGL 3.3 driver must accept.

Usage: check_shaders.py [--glslang PATH] [--programs FILE] ROOT

ROOT holds the Shader/ folder; FILE lists the programs (name, stage files
and, for a variant of a program, its defines as -DNAME). Each stage file is
first assembled as the program's loader does it (src/render/ShaderSource.cpp):
every `#include "name"` line is replaced by the file it names, relative to
the including file, between #line directives that give each file its own
source string number, and a variant's "#define NAME" lines follow the
#version line. Every check below runs on that text, and a fault is reported
at the file and line it came from.
Checks, each fault printed as "file:line: ..." or "program: ...":
  * every included file exists, includes nothing that includes it back and
    has no #version line of its own; every .glsl file under Shader/ is
    included by some stage;
  * every stage file starts with "#version 330", so that the reference
    compiler judges it by the rules of GLSL 3.30 and nothing later;
  * every shader under Shader/ compiles alone and within every program that
    lists it, which is linked (a variant with its defines), with
    glslangValidator (the Khronos reference front end) given the OpenGL 3.3
    minimum limits;
  * what the linker of glslang skips: each input of a stage is an output of
    the stage before it, of the same type and interpolation;
  * every geometry shader fits the 3.3 minimum output budget counted as a
    strict driver does: each output a whole vec4 slot, gl_Position counted
    whether written or not;
  * every output of a geometry shader is written again before each
    EmitVertex(), after which GLSL leaves them all undefined (checked in the
    text: the writes must lie in the block of the EmitVertex() call);
  * the components a program without fragment stage feeds back.
Exit status: 0 clean, 1 faults, 77 when glslangValidator is missing (the
checks that need no compiler still run).
"""
import argparse
import os
import posixpath
import re
import shutil
import subprocess
import sys
import tempfile

# Guaranteed minimums of OpenGL 3.3 core, under glslang's names. glslang
# enforces the ones that bear on the language (max_vertices, the draw
# buffers, the vertex attributes); the budgets below are counted here.
GL33_LIMITS = {
    "MaxVertexAttribs": 16,
    "MaxVertexUniformComponents": 1024,
    "MaxVaryingFloats": 60,
    "MaxVaryingComponents": 60,
    "MaxVertexTextureImageUnits": 16,
    "MaxCombinedTextureImageUnits": 48,
    "MaxTextureImageUnits": 16,
    "MaxFragmentUniformComponents": 1024,
    "MaxDrawBuffers": 8,
    "MaxClipDistances": 8,
    "MaxVertexOutputComponents": 64,
    "MaxGeometryInputComponents": 64,
    "MaxGeometryOutputComponents": 128,
    "MaxFragmentInputComponents": 128,
    "MaxGeometryTextureImageUnits": 16,
    "MaxGeometryOutputVertices": 256,
    "MaxGeometryTotalOutputComponents": 1024,
    "MaxGeometryUniformComponents": 1024,
    "MaxTransformFeedbackInterleavedComponents": 64,
}
STAGE_ORDER = {".vert": 0, ".geom": 1, ".frag": 2}
VERSION = re.compile(r"^#version\s+330(\s+core)?\s*$")
# Geometry outputs built into GLSL 3.30, in vec4 slots when written.
BUILT_IN_OUTPUTS = {"gl_PointSize": 1, "gl_ClipDistance": GL33_LIMITS["MaxClipDistances"], "gl_Layer": 1,
                    "gl_PrimitiveID": 1}
INTERPOLATION = ("flat", "smooth", "noperspective")
INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]+"([^"]+)"[ \t]*(//.*)?$')
INCLUDED_SUFFIX = ".glsl"


class IncludeFault(Exception):
    pass


def assemble(root, relative, files, defines=()):
    """(text, origins) of a stage file with its includes in place and
    `defines` after its #version line, as the program's loader builds it,
    and for each line of the text the (file, line) it came from; fills
    `files` by source string number, as far as it got when it raises
    IncludeFault."""
    lines, origins = [], []
    pending = list(defines)

    def append(current, chain):
        number = len(files)
        files.append(current)
        with open(os.path.join(root, current), encoding="utf-8") as source:
            own = source.read().split("\n")
        if own and own[-1] == "":
            own.pop()
        for line_number, line in enumerate(own, 1):
            if number > 0 and re.match(r"\s*#\s*version\b", line):
                raise IncludeFault(f"{current}:{line_number}: an included file has no #version line of its own; "
                                   f"the including file's comes first")
            match = INCLUDE.match(line)
            if not match:
                lines.append(line)
                origins.append((current, line_number))
                if number == 0 and pending and re.match(r"\s*#\s*version\b", line):
                    lines.extend([f"#define {name}" for name in pending] + [f"#line {line_number + 1} 0"])
                    origins.extend([(current, line_number)] * (len(pending) + 1))
                    pending.clear()
                continue
            included = posixpath.normpath(posixpath.join(posixpath.dirname(current), match.group(1)))
            if included in chain:
                cycle = chain[chain.index(included):] + [included]
                raise IncludeFault(f"{current}:{line_number}: include cycle {' -> '.join(cycle)}")
            if not os.path.isfile(os.path.join(root, included)):
                raise IncludeFault(f"{current}:{line_number}: includes '{match.group(1)}', but there is no "
                                   f"{included}")
            lines.append(f"#line 1 {len(files)}")
            origins.append((current, line_number))
            append(included, chain + [included])
            lines.append(f"#line {line_number + 1} {number}")
            origins.append((current, line_number))

    append(relative, [relative])
    if pending:  # no #version line: nothing has to come first
        lines[:0] = [f"#define {name}" for name in pending] + ["#line 1 0"]
        origins[:0] = [(relative, 1)] * (len(pending) + 1)
    return "\n".join(lines) + "\n", origins


class Variable:
    def __init__(self, name, type_name, interpolation, slots, components, where):
        self.name, self.type, self.interpolation = name, type_name, interpolation
        self.slots, self.components, self.where = slots, components, where


def without_comments(text):
    """The text with comments blanked out; lines keep their numbers."""
    def blank(match):
        return re.sub(r"[^\n]", " ", match.group(0))
    return re.sub(r"/\*.*?\*/|//[^\n]*", blank, text, flags=re.S)


def assigns(name, text):
    """Whether text stores into the variable, whole or a part of it."""
    return re.search(r"\b%s\b(\s*\[[^]]*\])*(\s*\.\w+)?\s*=(?!=)" % name, text) is not None


def line_of(text, offset):
    return text.count("\n", 0, offset) + 1


def type_shape(type_name):
    """(columns, rows) of a GLSL 3.30 type; a column takes one vec4 slot."""
    if type_name in ("float", "int", "uint", "bool"):
        return 1, 1
    match = re.fullmatch(r"[biu]?vec([234])", type_name)
    if match:
        return 1, int(match.group(1))
    match = re.fullmatch(r"mat([234])(?:x([234]))?", type_name)
    if match:
        return int(match.group(1)), int(match.group(2) or match.group(1))
    raise ValueError(f"unknown type {type_name}")


def global_statements(text):
    """(offset, statement) for each declaration outside function bodies."""
    statement, start, index = "", 0, 0
    while index < len(text):
        char = text[index]
        if char == "{":
            depth, end = 1, index + 1
            while end < len(text) and depth:
                depth += {"{": 1, "}": -1}.get(text[end], 0)
                end += 1
            if statement.rstrip().endswith(")"):  # a function body
                statement, index, start = "", end, end
                continue
            statement += text[index:end]  # an interface block or a struct
            index = end
            continue
        if char == ";":
            yield start, statement
            statement, start = "", index + 1
        else:
            statement += char
        index += 1


class Shader:
    def __init__(self, root, relative, defines=()):
        self.relative = relative
        self.stage = os.path.splitext(relative)[1]
        self.include_fault, self.files = None, []
        try:
            self.raw, self.origins = assemble(root, relative, self.files, defines)
        except IncludeFault as fault:
            # Checked as it stands, include lines and all; never compiled.
            self.include_fault = str(fault)
            with open(os.path.join(root, relative), encoding="utf-8") as source:
                self.raw = source.read()
            self.origins = [(relative, number) for number in range(1, self.raw.count("\n") + 2)]
        self.text = without_comments(self.raw)
        code = re.sub(r"(?m)^[ \t]*#.*$", "", self.text)  # no directives among the declarations
        self.inputs, self.outputs, self.layout_out = {}, {}, ""
        for offset, statement in global_statements(code):
            self._declare(statement, line_of(code, offset + len(statement) - len(statement.lstrip())))

    def where(self, line):
        """"file:line" of a line of the assembled text."""
        return "%s:%d" % self.origins[min(line, len(self.origins)) - 1]

    def included(self):
        return set(self.files[1:])

    def _declare(self, statement, line):
        match = re.fullmatch(r"\s*(?:layout\s*\(([^)]*)\)\s*)?((?:\w+\s+)*?)(in|out)\b(.*)", statement, re.S)
        if not match:
            return
        layout, qualifiers, direction, rest = match.groups()
        qualifiers = qualifiers.split()
        if not rest.strip():  # layout(...) out; the primitive and vertex count
            if direction == "out":
                self.layout_out = layout or ""
            return
        interpolation = next((q for q in qualifiers if q in INTERPOLATION), "smooth")
        table = self.inputs if direction == "in" else self.outputs
        block = re.fullmatch(r"\s*\w+\s*\{(.*)\}\s*\w*\s*(\[\s*\d*\s*\])?\s*", rest, re.S)
        members = block.group(1).split(";") if block else [rest]
        for member in members:
            words = member.split(None, 1)
            if len(words) < 2:
                continue
            type_name = words[0]
            for declarator in words[1].split(","):
                found = re.fullmatch(r"\s*(\w+)\s*(?:\[\s*(\d*)\s*\])?\s*", declarator)
                if not found:
                    raise ValueError(f"{self.where(line)}: cannot read the declaration '{statement.strip()}'")
                name, size = found.groups()
                # A geometry input is an array over the primitive's vertices.
                count = int(size) if size and not (self.stage == ".geom" and direction == "in") else 1
                columns, rows = type_shape(type_name)
                table[name] = Variable(name, type_name, interpolation, columns * count, columns * rows * count,
                                       self.where(line))

    def version_fault(self):
        for number, line in enumerate(self.text.splitlines(), 1):
            if line.strip():
                if VERSION.match(line.strip()):
                    return None
                return f"{self.where(number)}: must start with '#version 330 core', not '{line.strip()}'"
        return f"{self.relative}: empty"

    def max_vertices(self):
        found = re.search(r"max_vertices\s*=\s*(\d+)", self.layout_out)
        return int(found.group(1)) if found else None

    def vertex_outputs(self):
        """A geometry shader's outputs, name -> vec4 slots, and those it writes:
        its own and the built-ins it writes; gl_Position costs its slot even
        unwritten, as a driver for transform feedback alone may count it."""
        slots = {name: variable.slots for name, variable in self.outputs.items()}
        slots["gl_Position"] = 1
        written = set(self.outputs)
        for name, size in list(BUILT_IN_OUTPUTS.items()) + [("gl_Position", 1)]:
            if assigns(name, self.text):
                slots[name] = size
                written.add(name)
        return slots, written


def geometry_faults(shader):
    faults = []
    vertices = shader.max_vertices()
    if vertices is None:
        return [f"{shader.relative}: declares no max_vertices"]
    outputs, written = shader.vertex_outputs()
    per_vertex = 4 * sum(outputs.values())
    total = vertices * per_vertex
    print(f"{shader.relative}: {vertices} vertices x {len(outputs)} outputs in {sum(outputs.values())} vec4 slots "
          f"= {total} of {GL33_LIMITS['MaxGeometryTotalOutputComponents']} components")
    if per_vertex > GL33_LIMITS["MaxGeometryOutputComponents"]:
        faults.append(f"{shader.relative}: {per_vertex} output components per vertex, more than the "
                      f"{GL33_LIMITS['MaxGeometryOutputComponents']} of GL_MAX_GEOMETRY_OUTPUT_COMPONENTS in OpenGL 3.3")
    if total > GL33_LIMITS["MaxGeometryTotalOutputComponents"]:
        fitting = GL33_LIMITS["MaxGeometryTotalOutputComponents"] // per_vertex
        faults.append(f"{shader.relative}: max_vertices = {vertices} times {per_vertex} components "
                      f"({', '.join(sorted(outputs))}, each a whole vec4) is {total}, more than the "
                      f"{GL33_LIMITS['MaxGeometryTotalOutputComponents']} of GL_MAX_GEOMETRY_TOTAL_OUTPUT_COMPONENTS "
                      f"in OpenGL 3.3; at most {fitting} vertices fit")
    # Each EmitVertex() needs every output written in its own block since the
    # block opened or since the EmitVertex() before it.
    text = shader.text
    for emit in re.finditer(r"\bEmitVertex\s*\(\s*\)", text):
        depth, start = 0, 0
        for index in range(emit.start() - 1, -1, -1):
            depth += {"}": 1, "{": -1}.get(text[index], 0)
            if depth < 0:
                start = index
                break
        previous = list(re.finditer(r"\bEmitVertex\s*\(\s*\)", text[start:emit.start()]))
        if previous:
            start += previous[-1].end()
        region = text[start:emit.start()]
        missing = [name for name in sorted(written)
                   if not assigns(name, region)]
        if missing:
            faults.append(f"{shader.where(line_of(text, emit.start()))}: EmitVertex() without writing "
                          f"{', '.join(missing)} in its block first; every output is undefined after the "
                          f"previous EmitVertex()")
    return faults


def interface_faults(program, shaders):
    faults = []
    for before, after in zip(shaders, shaders[1:]):
        for name, wanted in after.inputs.items():
            given = before.outputs.get(name)
            if given is None:
                faults.append(f"{program}: {wanted.where} reads '{name}', "
                              f"which {before.relative} does not write")
            elif (given.type, given.interpolation) != (wanted.type, wanted.interpolation):
                faults.append(f"{program}: {wanted.where} takes '{name}' as "
                              f"{wanted.interpolation} {wanted.type}, {given.where} gives "
                              f"{given.interpolation} {given.type}; GLSL 3.30 wants both alike")
    if shaders[-1].stage != ".frag":
        fed_back = sum(variable.components for variable in shaders[-1].outputs.values())
        limit = GL33_LIMITS["MaxTransformFeedbackInterleavedComponents"]
        print(f"{program}: feeds back {fed_back} of {limit} interleaved components")
        if fed_back > limit:
            faults.append(f"{program}: feeds back {fed_back} components, more than the {limit} of "
                          f"GL_MAX_TRANSFORM_FEEDBACK_INTERLEAVED_COMPONENTS in OpenGL 3.3")
    return faults


def read_programs(path):
    """(name, stage files, defines) of each program listed."""
    programs = []
    with open(path, encoding="utf-8") as listing:
        for line in listing:
            fields = line.split("#", 1)[0].split()
            if fields:
                defines = [field[2:] for field in fields[1:] if field.startswith("-D")]
                stages = [field for field in fields[1:] if not field.startswith("-D")]
                programs.append((fields[0], stages, defines))
    return programs


def glslang_config(glslang, directory):
    """glslang's own limits, with those of OpenGL 3.3 in their place."""
    defaults = subprocess.run([glslang, "-c"], capture_output=True, text=True, check=True).stdout
    lines = []
    for line in defaults.splitlines():
        fields = line.split()
        if len(fields) == 2 and fields[0] in GL33_LIMITS:
            line = f"{fields[0]} {GL33_LIMITS[fields[0]]}"
        lines.append(line)
    path = os.path.join(directory, "gl33.conf")
    with open(path, "w", encoding="utf-8") as config:
        config.write("\n".join(lines) + "\n")
    return path


def compile_faults(glslang, config, directory, label, shaders):
    """glslangValidator on the assembled text of `shaders`, which lies under
    `directory` by the shaders' own names (the extension tells the stage).
    A position the compiler gives by source string number, "ERROR: 1:12:",
    is reported by the file that string came from."""
    by_path = {shader.relative: shader for shader in shaders}
    command = [glslang, config] + (["-l"] if len(shaders) > 1 else []) + list(by_path)
    result = subprocess.run(command, capture_output=True, text=True, cwd=directory)
    if result.returncode == 0:
        return []
    report, current = [], shaders[0]

    def position(match):
        string = int(match.group(2))
        if string >= len(current.files):
            return match.group(0)
        return f"{match.group(1)}: {current.files[string]}:{match.group(3)}:"

    for line in (result.stdout + result.stderr).splitlines():
        if line.strip() in by_path:  # the compiler names each file before its messages
            current = by_path[line.strip()]
        elif line.strip():
            report.append(re.sub(r"^(ERROR|WARNING): (\d+):(\d+):", position, line))
    return [f"{label}: glslangValidator refuses it:"] + ["    " + line for line in report]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--glslang", default=shutil.which("glslangValidator"))
    parser.add_argument("--programs", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "programs.txt"))
    parser.add_argument("root")
    arguments = parser.parse_args()
    root = arguments.root

    everything = sorted(os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")
                        for folder, _, names in os.walk(os.path.join(root, "Shader")) for name in names)
    files = [relative for relative in everything if os.path.splitext(relative)[1] in STAGE_ORDER]
    faults, shaders, included = [], {}, set()
    for relative in files:
        shader = Shader(root, relative)
        shaders[relative] = shader
        if shader.include_fault:
            faults.append(shader.include_fault)
        included |= shader.included()
        fault = shader.version_fault()
        if fault:
            faults.append(fault)
        if shader.stage == ".geom":
            faults += geometry_faults(shader)

    programs = read_programs(arguments.programs)
    linked = set()
    for name, stages, _ in programs:
        missing = [stage for stage in stages if stage not in shaders]
        if missing:
            faults.append(f"{name}: no such shader: {', '.join(missing)}")
            continue
        ordered = sorted(stages, key=lambda stage: STAGE_ORDER[os.path.splitext(stage)[1]])
        if ordered != stages or ordered[0][-5:] != ".vert":
            faults.append(f"{name}: list a vertex stage, then geometry, then fragment")
            continue
        linked.update(stages)
        faults += interface_faults(name, [shaders[stage] for stage in stages])
    for relative in files:
        if relative not in linked:
            faults.append(f"{relative}: in no program of {os.path.basename(arguments.programs)}, so never linked")
    for relative in everything:
        if relative.endswith(INCLUDED_SUFFIX) and relative not in included:
            faults.append(f"{relative}: included by no shader, so never compiled")

    if arguments.glslang:
        with tempfile.TemporaryDirectory() as scratch:
            config = glslang_config(arguments.glslang, scratch)
            assembled = os.path.join(scratch, "assembled")
            for shader in shaders.values():
                os.makedirs(os.path.dirname(os.path.join(assembled, shader.relative)), exist_ok=True)
                with open(os.path.join(assembled, shader.relative), "w", encoding="utf-8") as text:
                    text.write(shader.raw)
            # A file whose includes failed is reported already; compiled, it
            # would only add the compiler's view of the same fault.
            whole = {relative: shader for relative, shader in shaders.items() if not shader.include_fault}
            for relative, shader in whole.items():
                faults += compile_faults(arguments.glslang, config, assembled, relative, [shader])
            for name, stages, defines in programs:
                if not all(stage in whole for stage in stages):
                    continue
                if not defines:
                    faults += compile_faults(arguments.glslang, config, assembled, name,
                                             [whole[stage] for stage in stages])
                    continue
                # A variant's stages, assembled with its defines, in a folder of its own.
                variant = [Shader(root, stage, defines) for stage in stages]
                folder = os.path.join(scratch, "variants", name)
                for shader in variant:
                    os.makedirs(os.path.dirname(os.path.join(folder, shader.relative)), exist_ok=True)
                    with open(os.path.join(folder, shader.relative), "w", encoding="utf-8") as text:
                        text.write(shader.raw)
                faults += compile_faults(arguments.glslang, config, folder, name, variant)

    for fault in faults:
        print(fault)
    if faults:
        return 1
    if not arguments.glslang:
        print("glslangValidator not found (Debian package glslang-tools): the shaders were not compiled")
        return 77
    print(f"{len(files)} shaders compiled with {len(included)} included file{'' if len(included) == 1 else 's'}, "
          f"{len(programs)} programs linked for OpenGL 3.3")
    return 0


if __name__ == "__main__":
    sys.exit(main())
