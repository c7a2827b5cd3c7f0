# Run by blender_import.sh inside Blender: imports the GLB named after "--"
# and exits 1 unless a material has a Normal Map node whose colour input is
# fed by an image texture that holds a picture.
import sys

import numpy

# Blender 3.4's importer still reads numpy.bool, which numpy 1.24 removed.
if "bool" not in numpy.__dict__:
    numpy.bool = bool

import bpy

glb = sys.argv[sys.argv.index("--") + 1]
bpy.ops.wm.read_factory_settings(use_empty=True)
bpy.ops.import_scene.gltf(filepath=glb)

found = any(link.from_node.type == "TEX_IMAGE" and link.from_node.image is not None
            and link.from_node.image.size[0] > 0
            for material in bpy.data.materials if material.use_nodes
            for node in material.node_tree.nodes if node.type == "NORMAL_MAP"
            for link in node.inputs["Color"].links)
print("blender_import: normal map fed by an image:", found)
sys.exit(0 if found else 1)
