#!/usr/bin/env python3
"""check-manifest.py FILE...

Fails unless each FILE (a program, whose manifest is read from its resources,
or a manifest's own XML) carries the manifest both programs need:
  - one manifest resource, type 24 id 1 (the one the loader reads);
  - requestedExecutionLevel level="requireAdministrator" uiAccess="false", once,
    inside trustInfo/security/requestedPrivileges;
  - the trustInfo namespace urn:schemas-microsoft-com:asm.v3 declared exactly
    once (a second declaration makes Windows XP SP2 restart, none makes XP
    refuse the program);
  - supportedOS entries for Windows Vista, 7, 8, 8.1 and 10, and no others;
  - no dependency on Common Controls 6 (it restyles the standard controls).
Each fault is named.
"""
import importlib.util
import os
import sys
import xml.parsers.expat

RT_MANIFEST = 24
ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
COMPATIBILITY = "urn:schemas-microsoft-com:compatibility.v1"
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "10",
}


def read_resources(path):
    """The resource reader of compare-resources.py, beside this script."""
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "compare-resources.py")
    spec = importlib.util.spec_from_file_location("compare_resources", here)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module.read_resources(path)


def manifest_of(path, faults):
    """The manifest's bytes: the file itself, or the program's manifest resource."""
    data = open(path, "rb").read()
    if not data.startswith(b"MZ"):
        return data
    manifests = {k: v for k, v in read_resources(path).items() if k[0] == RT_MANIFEST}
    if not manifests:
        faults.append("no manifest resource")
        return None
    if len(manifests) > 1:
        faults.append(f"{len(manifests)} manifest resources, not one")
    ids = sorted({k[1] for k in manifests}, key=str)
    if ids != [1]:
        faults.append(f"manifest resource id {', '.join(map(str, ids))}, not 1")
    return next(iter(manifests.values()))


def check(text, faults):
    """Appends to faults every rule the manifest text breaks."""
    declared = []  # namespace URIs in the order of their declarations
    stack = []  # (namespace, local name) of the open elements
    levels = []  # attributes of every requestedExecutionLevel, with its place
    supported = []
    dependencies = []

    def start_ns(prefix, uri):
        declared.append(uri)

    def start(name, attributes):
        uri, _, local = name.rpartition(" ")
        stack.append((uri, local))
        if (uri, local) == (ASM_V3, "requestedExecutionLevel"):
            levels.append((dict(attributes), [p[1] for p in stack[:-1]]))
        elif (uri, local) == (COMPATIBILITY, "supportedOS"):
            supported.append(attributes.get("Id", "").lower())
        elif local == "assemblyIdentity" and any(p[1] == "dependentAssembly" for p in stack):
            dependencies.append(attributes.get("name", ""))

    parser = xml.parsers.expat.ParserCreate(namespace_separator=" ")
    parser.StartNamespaceDeclHandler = start_ns
    parser.StartElementHandler = start
    parser.EndElementHandler = lambda name: stack.pop()
    try:
        parser.Parse(text, True)
    except xml.parsers.expat.ExpatError as error:
        faults.append(f"not well-formed XML: {error}")
        return

    count = declared.count(ASM_V3)
    if count != 1:
        faults.append(f"namespace {ASM_V3} declared {count} times, not once")
    if len(levels) != 1:
        faults.append(f"{len(levels)} requestedExecutionLevel elements in {ASM_V3}, not one")
    for attributes, path in levels:
        if path != ["assembly", "trustInfo", "security", "requestedPrivileges"]:
            faults.append(f"requestedExecutionLevel inside {'/'.join(path)}, not "
                          "assembly/trustInfo/security/requestedPrivileges")
        if attributes.get("level") != "requireAdministrator":
            faults.append(f"level {attributes.get('level')!r}, not 'requireAdministrator'")
        if attributes.get("uiAccess") != "false":
            faults.append(f"uiAccess {attributes.get('uiAccess')!r}, not 'false'")
    if sorted(supported) != sorted(SUPPORTED_OS):
        named = ", ".join(SUPPORTED_OS.get(i, i) for i in supported) or "none"
        faults.append(f"supportedOS entries for {named}, not for Vista, 7, 8, 8.1 and 10 once each")
    for name in dependencies:
        if name.lower() == "microsoft.windows.common-controls":
            faults.append("depends on Common Controls 6")


def main(paths):
    if not paths:
        print(__doc__, file=sys.stderr)
        return 2
    status = 0
    for path in paths:
        faults = []
        text = manifest_of(path, faults)
        if text is not None:
            check(text, faults)
        name = os.path.basename(path)
        print(f"{name}: manifest " + ("as required" if not faults else "REJECTED"))
        for fault in faults:
            print(f"  {name}: {fault}", file=sys.stderr)
        status |= bool(faults)
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
