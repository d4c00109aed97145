"""The .pyi stubs name what the package has: every public function, class,
property and method in the stubs exists at run time and the other way round."""

import ast
import pathlib

import qrsuite

PACKAGE = pathlib.Path(qrsuite.__file__).parent


def stub_members(file_name):
    tree = ast.parse((PACKAGE / file_name).read_text())
    members = {}
    for node in tree.body:
        if isinstance(node, ast.ClassDef):
            members[node.name] = {n.name for n in node.body if isinstance(n, ast.FunctionDef)} | {
                n.target.id for n in node.body if isinstance(n, ast.AnnAssign)}
        elif isinstance(node, ast.FunctionDef):
            members[node.name] = None
    return members


def public(cls):
    return {name for name in dir(cls) if not name.startswith("_")}


def test_stubs_match_the_package():
    stubs = {**stub_members("_qrsuite.pyi"), **stub_members("__init__.pyi")}
    for name in qrsuite.__all__:
        assert name in stubs, name
        if stubs[name] is not None:
            runtime = public(getattr(qrsuite, name)) - {"count", "index"}  # tuple methods of the named tuple
            assert {m for m in stubs[name] if not m.startswith("_")} == runtime, name
